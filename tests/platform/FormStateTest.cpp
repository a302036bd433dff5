#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// A small options dialog; `extended` adds a check box a later version brought.
struct OptionsDialog : QDialog {
    explicit OptionsDialog(bool extended) {
        setObjectName("FormOptions");
        auto* layout = new QVBoxLayout(this);
        Name = new QLineEdit("default name", this);
        Name->setObjectName("EditName");
        Wrap = new QCheckBox("Wrap", this);
        Wrap->setObjectName("CheckBoxWrap");
        Encoding = new QComboBox(this);
        Encoding->setObjectName("CBEncoding");
        Encoding->addItems({"raw", "ascii", "utf8"});
        Typed = new QComboBox(this);
        Typed->setObjectName("CBTyped");
        Typed->setEditable(true);
        Typed->addItems({"one", "two"});
        for (QWidget* w : {static_cast<QWidget*>(Name), static_cast<QWidget*>(Wrap),
                           static_cast<QWidget*>(Encoding), static_cast<QWidget*>(Typed)})
            layout->addWidget(w);
        if (extended) {
            Added = new QCheckBox("New option", this);
            Added->setObjectName("CheckBoxAdded");
            Added->setChecked(true);
            layout->addWidget(Added);
        }
    }
    QLineEdit* Name;
    QCheckBox* Wrap;
    QComboBox* Encoding;
    QComboBox* Typed;
    QCheckBox* Added = nullptr;
};

TEST(FormStateTest, RoundTripsEveryKindAndKeepsANewControlAsDesigned) {
    test::TempFolder folder;
    const QString ini = folder.Path("Settings.ini");
    {
        OptionsDialog saved(false);
        saved.Name->setText("site, with comma");
        saved.Wrap->setChecked(true);
        saved.Encoding->setCurrentIndex(2);
        saved.Typed->setEditText("typed by hand");
        SaveFormState(&saved, ini);
    }
    const TIniFile settings(ini);
    EXPECT_EQ(settings.ReadString("FormOptions", "EditName.Text"), "site, with comma");
    EXPECT_EQ(settings.ReadString("FormOptions", "CheckBoxWrap.Checked"), "true");
    EXPECT_EQ(settings.ReadString("FormOptions", "CBEncoding.ItemIndex"), "2");
    EXPECT_EQ(settings.ReadString("FormOptions", "CBEncoding.Text"), "utf8");

    OptionsDialog loaded(true);
    LoadFormState(&loaded, ini);
    EXPECT_EQ(loaded.Name->text(), "site, with comma");
    EXPECT_TRUE(loaded.Wrap->isChecked());
    EXPECT_EQ(loaded.Encoding->currentIndex(), 2);
    EXPECT_EQ(loaded.Typed->currentText(), "typed by hand");
    EXPECT_TRUE(loaded.Added->isChecked());  // no stored key: stays as designed
}

// Settings.ini as Qt's INI format wrote it before, with another dialog's section beside it.
TEST(FormStateTest, ReadsTheFileQtsFormatWroteAndKeepsOtherSections) {
    test::TempFolder folder;
    const QString ini = folder.Write(
        "Settings.ini",
        "[FormOptions]\nCBEncoding.ItemIndex=1\nCBEncoding.Text=ascii\nCBTyped.ItemIndex=0\n"
        "CBTyped.Text=\"a;b=c\"\nCheckBoxWrap.Checked=true\nEditName.Text=C:\\\\dir\\t\\\"x\\\"\n\n"
        "[TFormFTPSite]\nCBSiteName.Text=\" home \"\n");
    OptionsDialog loaded(false);
    LoadFormState(&loaded, ini);
    EXPECT_EQ(loaded.Name->text(), "C:\\dir\t\"x\"");
    EXPECT_TRUE(loaded.Wrap->isChecked());
    EXPECT_EQ(loaded.Encoding->currentIndex(), 1);
    EXPECT_EQ(loaded.Typed->currentText(), "a;b=c");

    loaded.Name->setText("  edge blanks  ");
    SaveFormState(&loaded, ini);
    OptionsDialog again(false);
    LoadFormState(&again, ini);
    EXPECT_EQ(again.Name->text(), "  edge blanks  ");
    EXPECT_EQ(TIniFile(ini).ReadString("TFormFTPSite", "CBSiteName.Text"), " home ");
}

TEST(FormStateTest, AMissingFileKeepsEveryValue) {
    test::TempFolder folder;
    OptionsDialog dialog(false);
    LoadFormState(&dialog, folder.Path("none.ini"));
    EXPECT_EQ(dialog.Name->text(), "default name");
    EXPECT_EQ(dialog.Encoding->currentIndex(), 0);
}

}  // namespace
}  // namespace plovane
