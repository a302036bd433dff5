#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "platform/IniFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"
#include "tidy/UnitTidyProperties.h"

namespace plovane {
namespace {

// Each test gets its own empty program folder, so "Settings.ini" starts absent.
class TidyPropertiesTest : public ::testing::Test {
protected:
    template <typename T>
    static T* Control(const QWidget& form, const char* name) {
        T* control = form.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void Click(const QWidget& form, const char* button) {
        QTest::mouseClick(Control<QPushButton>(form, button), Qt::LeftButton);
    }
    QVariant Stored(const QString& key) const {
        return TIniFile(ProgramFolderFile("Settings.ini")).ReadString("FormTidyProperties", key);
    }
    test::ScopedFilePlaces places;
};

TEST_F(TidyPropertiesTest, BuiltInValuesReachTidy) {
    TFormTidyProperties form;
    const TidyDoc doc = tidyCreate();
    ApplyTidyOptions(doc, form.Options());
    EXPECT_TRUE(tidyOptGetBool(doc, TidyUpperCaseTags));
    EXPECT_EQ(tidyOptGetInt(doc, TidyUpperCaseAttrs), 1u);
    EXPECT_TRUE(tidyOptGetBool(doc, TidyDropEmptyParas));
    EXPECT_TRUE(tidyOptGetBool(doc, TidyWord2000));
    EXPECT_TRUE(tidyOptGetBool(doc, TidyMakeBare));
    EXPECT_TRUE(tidyOptGetBool(doc, TidyMakeClean));
    EXPECT_FALSE(tidyOptGetBool(doc, TidyBreakBeforeBR));
    EXPECT_EQ(tidyOptGetInt(doc, TidyIndentContent), 0u);
    EXPECT_EQ(tidyOptGetInt(doc, TidyFixComments), 0u);
    EXPECT_FALSE(tidyOptGetBool(doc, TidyFixUri));
    EXPECT_FALSE(tidyOptGetBool(doc, TidyMark));
    EXPECT_FALSE(tidyOptGetBool(doc, TidyDropPropAttrs));
    EXPECT_TRUE(tidyOptGetBool(doc, TidyForceOutput));
    EXPECT_EQ(tidyOptGetInt(doc, TidyWrapLen), 0u);
    EXPECT_EQ(tidyOptGetInt(doc, TidyTabSize), 1u);
    EXPECT_STREQ(tidyOptGetEncName(doc, TidyInCharEncoding), "raw");
    EXPECT_STREQ(tidyOptGetEncName(doc, TidyOutCharEncoding), "raw");
    tidyRelease(doc);
}

TEST_F(TidyPropertiesTest, ShowsTheFirstPageWithThePreviewOutOfReach) {
    TFormTidyProperties form;
    auto* pages = Control<QTabWidget>(form, "PageControl");
    pages->setCurrentIndex(3);
    form.show();
    EXPECT_EQ(form.windowTitle(), "Tidy Options");
    EXPECT_EQ(pages->currentIndex(), 0);
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_EQ(pages->isTabVisible(i), i < 4) << pages->tabText(i).toStdString();
    EXPECT_FALSE(Control<QPushButton>(form, "ButtonPreview")->isEnabled());
    const auto tests = form.findChildren<QPushButton*>(QRegularExpression("^ButtonTest"));
    EXPECT_EQ(tests.size(), 4);
    for (const QPushButton* button : tests) EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(form, "ButtonOK")->isDefault());
    EXPECT_FALSE(Control<QCheckBox>(form, "cbTidyMark")->isVisible());
}

TEST_F(TidyPropertiesTest, CancelAfterChangesRestoresTheStoredOptions) {
    TFormTidyProperties form;
    form.show();
    Control<QCheckBox>(form, "CBIndent")->setChecked(true);
    Click(form, "ButtonOK");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(Stored("CBIndent.Checked").toBool());

    form.show();
    Control<QCheckBox>(form, "CBIndent")->setChecked(false);
    Control<QCheckBox>(form, "cbUppercaseTags")->setChecked(false);
    Control<QComboBox>(form, "CBOutputEncoding")->setCurrentText("ascii");
    Click(form, "ButtonCancel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());

    EXPECT_TRUE(Control<QCheckBox>(form, "CBIndent")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(form, "cbUppercaseTags")->isChecked());
    EXPECT_EQ(Control<QComboBox>(form, "CBOutputEncoding")->currentText(), "raw");
    const TidyResult run = RunTidy("<p>x</p>");  // the next run reads the window's controls
    EXPECT_TRUE(run.cleanedText.contains("<BODY>\n    <P>\n      x\n    </P>"))
        << run.cleanedText.toStdString();
}

TEST_F(TidyPropertiesTest, DefaultsThenOKStoresTheBuiltInValues) {
    {
        TIniFile settings(WritableProgramFile("Settings.ini"));
        settings.WriteBool("FormTidyProperties", "cbUppercaseTags.Checked", false);
        settings.WriteString("FormTidyProperties", "EditWrapWidth.Text", "40");
        settings.WriteInteger("FormTidyProperties", "CBInputEncoding.ItemIndex", 3);
        settings.WriteString("FormTidyProperties", "CBInputEncoding.Text", "utf8");
        settings.WriteInteger("FormTidyProperties", "CBTabSize.ItemIndex", 3);
        settings.WriteString("FormTidyProperties", "CBTabSize.Text", "4");
    }
    TFormTidyProperties form;
    EXPECT_FALSE(form.Options().upperCaseTags);  // the stored values were read at creation
    EXPECT_EQ(form.Options().inputEncoding, "utf8");
    form.show();
    Click(form, "ButtonDefaults");
    Click(form, "ButtonOK");
    EXPECT_TRUE(Stored("cbUppercaseTags.Checked").toBool());
    EXPECT_FALSE(Stored("CBIndent.Checked").toBool());
    EXPECT_EQ(Stored("EditWrapWidth.Text").toString(), "80");
    EXPECT_EQ(Stored("EditAltText.Text").toString(), "");
    EXPECT_EQ(Stored("CBInputEncoding.Text").toString(), "raw");
    EXPECT_EQ(Stored("CBInputEncoding.ItemIndex").toInt(), 2);
    EXPECT_EQ(Stored("CBTabSize.Text").toString(), "1");
    EXPECT_EQ(Stored("CBTabSize.ItemIndex").toInt(), 0);
}

TEST_F(TidyPropertiesTest, DestructionStoresTheControlsAgain) {
    {
        TFormTidyProperties form;
        Control<QCheckBox>(form, "CBFixURI")->setChecked(true);
    }
    EXPECT_TRUE(Stored("CBFixURI.Checked").toBool());
    TFormTidyProperties again;
    EXPECT_TRUE(again.Options().fixUri);
}

TEST_F(TidyPropertiesTest, WrapAndAltTextBoxesEnableTheirControls) {
    TFormTidyProperties form;
    form.show();
    const char* const wrapControls[] = {"EditWrapWidth", "udWrapWidth", "cbWrapAttributes", "CBWrapSections",
                                        "cbWrapASP",     "cbWrapPHP",   "cbWrapLiterals",   "cbWrapJSTE"};
    auto* wrap = Control<QCheckBox>(form, "cbEnableTextWrapping");
    for (const bool on : {true, false}) {
        if (wrap->isChecked() != on)
            QTest::mouseClick(wrap, Qt::LeftButton, {}, QPoint(5, wrap->height() / 2));
        for (const char* name : wrapControls)
            EXPECT_EQ(Control<QWidget>(form, name)->isEnabled(), on) << name;
    }
    auto* alt = Control<QCheckBox>(form, "CBAltText");
    EXPECT_FALSE(Control<QLineEdit>(form, "EditAltText")->isEnabled());
    alt->setChecked(true);
    EXPECT_TRUE(Control<QLineEdit>(form, "EditAltText")->isEnabled());
}

TEST_F(TidyPropertiesTest, NumberBoxesTakeDigitsOnlyAndStayInRange) {
    TFormTidyProperties form;
    form.show();
    Control<QCheckBox>(form, "cbEnableTextWrapping")->setChecked(true);
    auto* width = Control<QLineEdit>(form, "EditWrapWidth");
    width->clear();
    QTest::keyClicks(width, "9a-8");
    EXPECT_EQ(width->text(), "98");
    const auto arrows = Control<QWidget>(form, "udWrapWidth")->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    for (int i = 0; i < 4; ++i) QTest::mouseClick(arrows[0], Qt::LeftButton);
    EXPECT_EQ(width->text(), "100");
    width->setText("0");
    QTest::mouseClick(arrows[1], Qt::LeftButton);
    EXPECT_EQ(width->text(), "0");

    auto* tabSize = Control<QComboBox>(form, "CBTabSize");
    struct Case {
        const char* typed;
        const char* after;
        int runs;
    };
    for (const Case& c : {Case{"15", "12", 12}, Case{"0", "1", 1}, Case{"x6", "6", 6}, Case{"", "1", 1}}) {
        tabSize->lineEdit()->clear();
        QTest::keyClicks(tabSize->lineEdit(), c.typed);
        form.CBTabSizeExit();
        EXPECT_EQ(tabSize->currentText(), c.after) << c.typed;
        EXPECT_EQ(form.Options().tabSize, c.runs) << c.typed;
    }

    // The same check runs when the focus leaves the box.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Control<QTabWidget>(form, "PageControl")->setCurrentIndex(3);
    tabSize->setFocus();
    tabSize->lineEdit()->clear();
    QTest::keyClicks(tabSize, "40");
    EXPECT_EQ(tabSize->currentText(), "40");
    Control<QPushButton>(form, "ButtonDefaults")->setFocus();
    EXPECT_EQ(tabSize->currentText(), "12");
}

TEST_F(TidyPropertiesTest, AStoredEncodingWithNoEntryAbandonsTheRun) {
    {
        TIniFile settings(WritableProgramFile("Settings.ini"));
        settings.WriteInteger("FormTidyProperties", "CBOutputEncoding.ItemIndex", -1);
        settings.WriteString("FormTidyProperties", "CBOutputEncoding.Text", "");
        settings.WriteInteger("FormTidyProperties", "CBTabSize.ItemIndex", 99);
        settings.WriteString("FormTidyProperties", "CBTabSize.Text", "no number");
    }
    TFormTidyProperties form;
    test::ScopedPrompter prompter;
    EXPECT_FALSE(RunCommand([] { RunTidy("<p>x</p>"); }));
    EXPECT_EQ(prompter->Texts("error"), QStringList{"Invalid Output encoding"});
}

}  // namespace
}  // namespace plovane
