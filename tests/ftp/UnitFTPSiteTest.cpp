#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ftp/UnitFTPSite.h"
#include "platform/IniFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

const QByteArray HomeSite =
    "[Home]\nHostName=ftp.home.example\nUserName=me\nPassword=\nRemotePath=/www\nLocalPath=/tmp/site\n\n"
    "[Work]\nHostName=ftp.work.example\n\n";

class FtpSiteDialogTest : public ::testing::Test {
protected:
    QString SitesFile() const { return Places.Places().programFolder + QStringLiteral("/Sites.ini"); }
    void WriteSites(const QByteArray& text) const {
        QFile file(SitesFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static void TypeSiteName(TFormFTPSite& dialog, const QString& name) {
        dialog.CBSiteName->lineEdit()->clear();
        QTest::keyClicks(dialog.CBSiteName->lineEdit(), name);
    }
    static void FillFields(TFormFTPSite& dialog, const QString& marker) {
        dialog.EditHostName->setText(marker + QStringLiteral(".example"));
        dialog.EditUsername->setEditText(marker + QStringLiteral("-user"));
        dialog.EditPassword->setText(marker + QStringLiteral("-pass "));
        dialog.EditRemote->setText(QStringLiteral("/") + marker);
        dialog.EditLocal->setText(QStringLiteral("/local/") + marker);
    }

    test::ScopedFilePlaces Places;
    test::ScopedPrompter Prompter;
};

TEST_F(FtpSiteDialogTest, ButtonsFollowTheTrimmedNameAndTheFile) {
    WriteSites(HomeSite);
    TFormFTPSite dialog;
    dialog.show();
    EXPECT_EQ(dialog.CBSiteName->count(), 2);
    EXPECT_FALSE(dialog.ButtonConnect->isEnabled());

    struct Case {
        const char* name;
        bool save;
        bool remove;
    };
    for (const Case& c : {Case{"   ", false, false}, Case{"New site", true, false}, Case{"Home", true, true},
                          Case{"Home ", true, false}}) {
        TypeSiteName(dialog, QString::fromUtf8(c.name));
        EXPECT_EQ(dialog.ButtonSave->isEnabled(), c.save) << c.name;
        EXPECT_EQ(dialog.ButtonRemove->isEnabled(), c.remove) << c.name;
    }
}

TEST_F(FtpSiteDialogTest, AnExistingNameFillsEveryFieldAnUnknownOneKeepsThem) {
    WriteSites(HomeSite);
    TFormFTPSite dialog;
    dialog.show();
    FillFields(dialog, QStringLiteral("typed"));

    TypeSiteName(dialog, QStringLiteral("Home"));
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("ftp.home.example"));
    EXPECT_EQ(dialog.EditUsername->currentText(), QStringLiteral("me"));
    EXPECT_EQ(dialog.EditPassword->text(), QString());  // an empty password is filled in too
    EXPECT_EQ(dialog.EditRemote->text(), QStringLiteral("/www"));
    EXPECT_EQ(dialog.EditLocal->text(), QStringLiteral("/tmp/site"));

    // A section with missing keys empties the fields it lacks.
    TypeSiteName(dialog, QStringLiteral("Work"));
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("ftp.work.example"));
    EXPECT_EQ(dialog.EditRemote->text(), QString());

    FillFields(dialog, QStringLiteral("kept"));
    TypeSiteName(dialog, QStringLiteral("Nowhere"));
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("kept.example"));
    EXPECT_EQ(dialog.EditPassword->text(), QStringLiteral("kept-pass "));
}

TEST_F(FtpSiteDialogTest, SaveWritesTheKeysInOrderUnderTheUntrimmedNameForItsOwnerOnly) {
    TFormFTPSite dialog;
    dialog.show();
    TypeSiteName(dialog, QStringLiteral("Work  "));
    FillFields(dialog, QStringLiteral("w"));
    QTest::mouseClick(dialog.ButtonSave, Qt::LeftButton);

    QFile file(SitesFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        file.readAll(),
        QByteArray("[Work  ]\nHostName=w.example\nUserName=w-user\nPassword=\"w-pass \"\nRemotePath=/w\n"
                   "LocalPath=/local/w\n\n"));
    EXPECT_EQ(
        file.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
        QFile::Permissions());
    EXPECT_TRUE(dialog.ButtonRemove->isEnabled());
    EXPECT_EQ(dialog.CBSiteName->findText(QStringLiteral("Work  ")), 0);

    // Saving again overwrites key by key and keeps a single section.
    dialog.EditHostName->setText(QStringLiteral("other.example"));
    QTest::mouseClick(dialog.ButtonSave, Qt::LeftButton);
    EXPECT_EQ(dialog.CBSiteName->count(), 1);
    TFormFTPSite reread;
    TypeSiteName(reread, QStringLiteral("Work  "));
    EXPECT_EQ(reread.EditHostName->text(), QStringLiteral("other.example"));
}

TEST_F(FtpSiteDialogTest, AReadOnlyProgramFolderKeepsTheSitesInTheDataFolder) {
    const test::ScopedReadOnly readOnly(Places.Places().programFolder);
    TFormFTPSite dialog;
    dialog.show();
    for (const QString& site : {QStringLiteral("First"), QStringLiteral("Second")}) {
        TypeSiteName(dialog, site);
        FillFields(dialog, site);
        QTest::mouseClick(dialog.ButtonSave, Qt::LeftButton);
        EXPECT_TRUE(dialog.ButtonRemove->isEnabled()) << site.toStdString();  // read back from its new home
    }
    EXPECT_FALSE(QFile::exists(SitesFile()));
    EXPECT_EQ(dialog.CBSiteName->count(), 2);
    TypeSiteName(dialog, QStringLiteral("First"));
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("First.example"));
}

TEST_F(FtpSiteDialogTest, RemoveAsksThenEmptiesTheNameAndKeepsTheDetails) {
    WriteSites(HomeSite);
    TFormFTPSite dialog;
    dialog.show();
    TypeSiteName(dialog, QStringLiteral("Home"));

    Prompter->YesNo = {false, true};
    QTest::mouseClick(dialog.ButtonRemove, Qt::LeftButton);
    EXPECT_EQ(dialog.CBSiteName->currentText(), QStringLiteral("Home"));
    EXPECT_EQ(dialog.CBSiteName->count(), 2);

    QTest::mouseClick(dialog.ButtonRemove, Qt::LeftButton);
    EXPECT_EQ(Prompter->Texts("yesno"),
              QStringList(2, QStringLiteral("Delete \"Home\" from your FTP site database?")));
    EXPECT_EQ(dialog.CBSiteName->currentText(), QString());
    EXPECT_EQ(dialog.CBSiteName->count(), 1);
    EXPECT_FALSE(dialog.ButtonSave->isEnabled());
    EXPECT_FALSE(dialog.ButtonRemove->isEnabled());
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("ftp.home.example"));
    EXPECT_EQ(dialog.EditRemote->text(), QStringLiteral("/www"));
}

TEST_F(FtpSiteDialogTest, ConnectNeedsAHostNameAndHandsOverTheFieldsAsShown) {
    TFormFTPSite dialog;
    dialog.show();
    dialog.EditHostName->setText(QStringLiteral("   "));
    EXPECT_FALSE(dialog.ButtonConnect->isEnabled());
    FillFields(dialog, QStringLiteral("unsaved"));
    ASSERT_TRUE(dialog.ButtonConnect->isEnabled());  // no site name needed

    QTest::mouseClick(dialog.ButtonConnect, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.FtpSiteDetails.HostName, QStringLiteral("unsaved.example"));
    EXPECT_EQ(dialog.FtpSiteDetails.UserName, QStringLiteral("unsaved-user"));
    EXPECT_EQ(dialog.FtpSiteDetails.Password, QStringLiteral("unsaved-pass "));
    EXPECT_EQ(dialog.FtpSiteDetails.RemotePath, QStringLiteral("/unsaved"));
    EXPECT_EQ(dialog.FtpSiteDetails.LocalPath, QStringLiteral("/local/unsaved"));

    // Cancel leaves the details of the last Connect.
    dialog.show();
    dialog.EditHostName->setText(QStringLiteral("changed.example"));
    QTest::mouseClick(dialog.ButtonCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.FtpSiteDetails.HostName, QStringLiteral("unsaved.example"));
}

TEST_F(FtpSiteDialogTest, TheLastSiteNameComesBackAndFillsTheFields) {
    WriteSites(HomeSite);
    {
        TFormFTPSite dialog;
        TypeSiteName(dialog, QStringLiteral("Home"));
    }
    const TIniFile settings(Places.Places().programFolder + QStringLiteral("/Settings.ini"));
    EXPECT_EQ(settings.ReadSections(), QStringList{QStringLiteral("TFormFTPSite")});
    EXPECT_EQ(settings.ReadSection(QStringLiteral("TFormFTPSite")),
              QStringList{QStringLiteral("CBSiteName.Text")});
    EXPECT_EQ(settings.ReadString(QStringLiteral("TFormFTPSite"), QStringLiteral("CBSiteName.Text")),
              QStringLiteral("Home"));

    TFormFTPSite next;
    EXPECT_EQ(next.CBSiteName->currentText(), QStringLiteral("Home"));
    EXPECT_EQ(next.EditHostName->text(), QStringLiteral("ftp.home.example"));
    EXPECT_TRUE(next.ButtonRemove->isEnabled());
    EXPECT_TRUE(next.ButtonConnect->isEnabled());
}

TEST_F(FtpSiteDialogTest, AMangledFileGivesItsReadableSections) {
    WriteSites(QByteArray("Orphan=1\n\x01\xff\xfe garbage\n[Good]\nno equals sign\nHostName=h=1\n[\n[Bad\n"));
    TFormFTPSite dialog;
    EXPECT_EQ(dialog.CBSiteName->count(), 1);
    TypeSiteName(dialog, QStringLiteral("Good"));
    EXPECT_EQ(dialog.EditHostName->text(), QStringLiteral("h=1"));
}

}  // namespace
}  // namespace plovane
