// The frame's toolbars on a real page: their state, their routing to the page's menu commands, the
// font boxes, the Window menu toggles with the stored layout, and the Alt keys in the design view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QWebEngineView>
#include <QWidgetAction>

#include "engine/DHTMLEdit.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "platform/IniFile.h"
#include "platform/QelConsole.h"
#include "shell/FrameToolbars.h"
#include "shell/UnitMain.h"
#include "support/ScopedState.h"
#include "support/ScriptedPrompter.h"
#include "support/SelectionScripts.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

const char* const kDocumentBars[] = {"ToolbarEditTools",   "ToolbarFontFace", "ToolbarFontStyle",
                                     "ToolbarFontColor",   "ToolbarTable",    "ToolbarCoolTools",
                                     "ToolbarHTMLElements"};
const char* const kBoxes[] = {"CBFontStyle", "CBFontName", "CBFontSize", "CBFontColor"};

class ToolbarsTest : public ::testing::Test {
protected:
    void SetUp() override { StartFrame(); }
    void TearDown() override {
        for (TFormChild* page : Frame->Pages()) page->SkipCloseQuery();
        Frame.reset();
    }
    void StartFrame() {
        Frame = std::make_unique<TFormQuenlockPlovane2>();
        Frame->show();
    }
    TFormChild* Open(const char* body) {
        const QString path = Site.Write(QString("page%1.htm").arg(++Pages),
                                        QByteArray("<html><body>") + body + "</body></html>");
        TFormChild* page = Frame->OpenDocumentFile(path);
        WaitUntilReady(page->Design());
        return page;
    }
    QVariant Js(const QString& script) { return Frame->ActiveDesign()->Bridge().Evaluate(script); }
    // The caret inside the element's first text (at `offset`), or the element's whole text selected.
    void Caret(const char* id, int offset = 1) {
        Js(QString("(function () { const n = document.getElementById('%1').firstChild;"
                   " const r = document.createRange(); r.setStart(n, %2); r.collapse(true);"
                   " getSelection().removeAllRanges(); getSelection().addRange(r); return ''; })()")
               .arg(id)
               .arg(offset));
    }
    void Select(const char* id) { Js(test::SelectContentsScript(id)); }
    QString Html(const char* id) {
        return Js(QString("document.getElementById('%1').outerHTML").arg(id)).toString();
    }
    QAction* Item(const char* name) const { return Frame->findChild<QAction*>(name); }
    QComboBox* Box(const char* name) const { return Frame->findChild<QComboBox*>(name); }
    // The user picks the list entry.
    void Choose(const char* box, const QString& text) {
        QComboBox* combo = Box(box);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QList<QAction*> DocumentItems() const {
        QList<QAction*> items;
        for (const char* bar : kDocumentBars)
            for (QAction* action : Frame->findChild<QToolBar*>(bar)->actions())
                if (!action->isSeparator() && !qobject_cast<QWidgetAction*>(action)) items << action;
        return items;
    }

    test::ScopedCommandLine Line{CommandLine({"plovane", "-NoSplash"})};
    test::ScopedFilePlaces Places;
    test::ScopedPrompter Prompter;
    test::TempFolder Site;
    std::unique_ptr<TFormQuenlockPlovane2> Frame;
    int Pages = 0;
};

TEST_F(ToolbarsTest, WithoutAPageEveryDocumentItemIsDisabledAndTheBoxesTakeTheirParentsColour) {
    const auto expectReset = [this](const char* when) {
        for (QAction* action : DocumentItems())
            EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString() << " " << when;
        for (const char* name : {"TBSave", "TBPrevious", "TBNext", "TBCascade", "TBTile"})
            EXPECT_FALSE(Item(name)->isEnabled()) << name << " " << when;
        for (const char* name : kBoxes) {
            QComboBox* box = Box(name);
            EXPECT_FALSE(box->isEnabled()) << name << " " << when;
            EXPECT_EQ(box->palette().color(QPalette::Base),
                      box->parentWidget()->palette().color(QPalette::Window))
                << name << " " << when;
        }
    };
    EXPECT_EQ(DocumentItems().size(), 6 + 1 + 2 + 10 + 6 + 4 + 14);
    expectReset("at start");
    TFormChild* page = Open("<p id=p>text</p>");
    Caret("p");
    Frame->UpdateToolbars();
    EXPECT_TRUE(Item("TBSearch")->isEnabled());
    EXPECT_TRUE(Box("CBFontStyle")->isEnabled());
    EXPECT_EQ(Box("CBFontStyle")->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
    page->ShowTab(TFormChild::TabSource);  // another tab: the toolbars rest
    Frame->UpdateToolbars();
    expectReset("on the source tab");
    page->ShowTab(TFormChild::TabEdit);
    page->SkipCloseQuery();
    Frame->MICloseClick();
    QTRY_VERIFY(Frame->Pages().isEmpty());
    expectReset("after the last page closed");
}

// A button runs its page command only as the opened menu would allow it, and leaves the menus as
// closed menus are (items enabled, so that their shortcuts check for themselves).
TEST_F(ToolbarsTest, AButtonRunsItsMenuCommandOnlyWhenTheMenuWouldShowItEnabled) {
    TFormChild* page = Open("<p id=p>alpha</p>");
    Select("p");
    Frame->UpdateToolbars();
    Item("TBBold")->trigger();
    EXPECT_EQ(Html("p"), "<p id=\"p\"><b>alpha</b></p>");
    EXPECT_TRUE(Item("TBBold")->isChecked());

    Caret("p", 0);  // nothing selected: Cut is disabled in the menu
    Item("TBCut")->setEnabled(true);
    Item("TBCut")->trigger();
    EXPECT_EQ(Html("p"), "<p id=\"p\"><b>alpha</b></p>");
    EXPECT_FALSE(RunMenuCommand(page->PageMenus(), "MICut"));
    EXPECT_TRUE(page->findChild<QAction*>("MICut")->isEnabled());
    EXPECT_FALSE(RunMenuCommand(page->PageMenus(), "MINoSuchCommand"));
    EXPECT_TRUE(Prompter->Log.empty());

    // Show Details sits in a submenu of Edit; its opening handler runs before the item toggles.
    const bool details = page->Design()->ShowDetails();
    EXPECT_EQ(Item("TBShowDetails")->isChecked(), details);
    Item("TBShowDetails")->trigger();
    EXPECT_EQ(page->Design()->ShowDetails(), !details);
    EXPECT_EQ(Item("TBShowDetails")->isChecked(), !details);

    // Commands the page does not have yet show no button.
    for (const char* shown : {"TBBold", "TBCut", "TBSearch", "TBShowBorders", "TBFontStyle", "TBPageColor"})
        EXPECT_TRUE(Item(shown)->isVisible()) << shown;
    for (const char* hidden : {"TBInsertImage", "TBInsertColumn", "TBMergeCells", "TBSpellCheck"})
        EXPECT_FALSE(Item(hidden)->isVisible()) << hidden;
}

TEST_F(ToolbarsTest, TheSizeBoxSetsTheHtmlSizeOfItsPosition) {
    TFormChild* page = Open("<p id=p>alpha</p>");
    const std::pair<const char*, int> sizes[] = {{"36", 7}, {"8", 1}, {"12", 3}};
    for (const auto& [text, size] : sizes) {
        Select("p");
        Choose("CBFontSize", text);
        EXPECT_EQ(page->Design()->ExecCommand(DECMD_GETFONTSIZE).toInt(), size) << text;
        Frame->UpdateToolbars();
        EXPECT_EQ(Box("CBFontSize")->currentText(), text);
    }
}

TEST_F(ToolbarsTest, TheColourBoxReadsRgbTextAndWritesTheChosenColour) {
    Open("<p><span id=s style=\"color: rgb(0, 128, 128)\">teal</span> <span id=t>plain</span></p>");
    Caret("s");
    Frame->UpdateToolbars();
    EXPECT_EQ(Box("CBFontColor")->currentText(), "Teal");

    FrameToolbars* bars = Frame->findChild<FrameToolbars*>();
    ASSERT_NE(bars, nullptr);
    const auto show = [&](const QString& text) {
        TDHTMLEdit::CommandStates states;
        states.Status.insert(DECMD_GETFORECOLOR, DECMDF_ENABLED);
        states.Values.insert(DECMD_GETFORECOLOR, text);
        bars->Apply(states, false, false);
        return Box("CBFontColor")->currentText();
    };
    EXPECT_EQ(show("rgb(0, 0, 128)"), "Navy");
    EXPECT_EQ(show("#FFFF00"), "Yellow");
    EXPECT_EQ(show("rgb(1, 2, 3)"), "#010203");  // not in the list: one more entry
    EXPECT_EQ(show("rgba(255, 0, 0, 1)"), "Red");
    EXPECT_EQ(Box("CBFontColor")->count(), FontColorList().size() + 1);
    EXPECT_EQ(show(""), "");

    Select("t");
    Choose("CBFontColor", "Maroon");
    EXPECT_EQ(Frame->ActiveDesign()->ExecCommand(DECMD_GETFORECOLOR).toString(), "#800000");
    Frame->UpdateToolbars();
    EXPECT_EQ(Box("CBFontColor")->currentText(), "Maroon");
}

// One value that cannot be read leaves its box alone; the other boxes follow the caret.
TEST_F(ToolbarsTest, AFailedFontNameReadLeavesThatBoxAndUpdatesTheOthers) {
    Open("<h2><font id=f face=\"Liberation Serif\" size=5>serif</font></h2><p id=p>plain</p>");
    Caret("f");
    Frame->UpdateToolbars();
    EXPECT_EQ(Box("CBFontName")->currentText(), "Liberation Serif");
    EXPECT_EQ(Box("CBFontSize")->currentText(), "18");
    EXPECT_EQ(Box("CBFontStyle")->currentText(), "Heading 2");

    Js("(function () { const read = document.queryCommandValue;"
       " document.queryCommandValue = function (name) {"
       "   if (name === 'fontName') throw new Error('unreadable');"
       "   return read.call(document, name); }; return ''; })()");
    Caret("p");
    Frame->UpdateToolbars();
    EXPECT_EQ(Box("CBFontName")->currentText(), "Liberation Serif");
    EXPECT_EQ(Box("CBFontSize")->currentText(), "12");
    EXPECT_EQ(Box("CBFontStyle")->currentText(), "Normal");
    EXPECT_TRUE(Box("CBFontName")->isEnabled());
}

// A typed name reaches the page's editing command as it was typed, whatever quotes and
// backslashes it holds (Chromium itself refuses such a family name; nothing else may happen).
TEST_F(ToolbarsTest, ATypedFontNameIsPassedAsTyped) {
    Open("<p id=p>alpha</p><p id=q>beta</p>");
    Js("(function () { window.fontNames = []; const run = document.execCommand;"
       " document.execCommand = function (name, ui, value) {"
       "   if (name === 'fontName') window.fontNames.push(value);"
       "   return run.call(document, name, ui, value); }; return ''; })()");
    const QString name = "Evil \"Face\" \\'); alert(1); //";
    Select("p");
    Frame->UpdateToolbars();
    QComboBox* box = Box("CBFontName");
    box->setFocus();
    box->lineEdit()->setText(name);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Js("window.fontNames").toStringList(), QStringList{name});
    EXPECT_EQ(Html("p"), "<p id=\"p\">alpha</p>");
    EXPECT_EQ(box->findText(name), -1);  // a typed name does not join the list
    EXPECT_TRUE(Prompter->Log.empty());

    Select("q");
    Choose("CBFontName", "Liberation Mono");
    EXPECT_EQ(Js("window.fontNames").toStringList(), (QStringList{name, "Liberation Mono"}));
    EXPECT_EQ(Js("document.querySelector('#q font').getAttribute('face')").toString(), "Liberation Mono");
}

TEST_F(ToolbarsTest, ABoldCentredHeadingShowsItsState) {
    TFormChild* page = Open(
        "<h1 id=h style=\"text-align: center\"><b id=b>Title</b> rest</h1><ul><li id=li>item</li></ul>"
        "<p id=r align=right>right</p>");
    Caret("b", 2);
    Frame->UpdateToolbars();
    struct Expect {
        const char* item;
        bool enabled;
        bool checked;
    };
    const Expect state[] = {
        {"TBBold", true, true},           {"TBItalic", true, false},        {"TBUnderline", true, false},
        {"TBLeft", true, false},          {"TBCenter", true, true},         {"TBRight", true, false},
        {"TBInsertBullets", true, false}, {"TBInsertNumbers", true, false}, {"TBUndo", false, false},
        {"TBCut", false, false},          {"TBInsertRow", false, false},    {"TBPageColor", true, false},
    };
    for (const Expect& e : state) {
        if (Item(e.item)->isVisible()) {
            EXPECT_EQ(Item(e.item)->isEnabled(), e.enabled) << e.item;
        }
        EXPECT_EQ(Item(e.item)->isChecked(), e.checked) << e.item;
    }
    EXPECT_EQ(Box("CBFontStyle")->currentText(), "Heading 1");

    Caret("li");
    Frame->UpdateToolbars();
    EXPECT_TRUE(Item("TBInsertBullets")->isChecked());
    EXPECT_FALSE(Item("TBBold")->isChecked());
    EXPECT_TRUE(Item("TBLeft")->isChecked());
    Caret("r");
    Frame->UpdateToolbars();
    EXPECT_TRUE(Item("TBRight")->isChecked());
    EXPECT_FALSE(Item("TBInsertBullets")->isChecked());
    for (const bool on : {false, true}) {
        page->Design()->SetShowBorders(on);
        Frame->UpdateToolbars();
        EXPECT_EQ(Item("TBShowBorders")->isChecked(), on);
    }
}

TEST_F(ToolbarsTest, TheWindowMenuTogglesEveryToolbarAndTheLayoutSurvivesARestart) {
    Frame->WindowMenuPopup();
    QStringList toggles;
    for (QAction* action : Frame->findChild<QMenu*>("MIWindow")->actions())
        if (action->isCheckable() && action->isVisible()) toggles << action->text();
    EXPECT_EQ(toggles,
              (QStringList{"File Tools", "Edit Tools", "Windows List", "HTML Elements", "Table Editing Tools",
                           "Font Style", "Font Face", "Font Color", "Cool Tools", "Site Explorer"}));
    auto* color = Frame->findChild<QToolBar*>("ToolbarFontColor");
    Frame->findChild<QAction*>("MIFontColorTools")->trigger();
    EXPECT_TRUE(color->isHidden());
    Frame->addToolBar(Qt::BottomToolBarArea, Frame->findChild<QToolBar*>("ToolbarCoolTools"));
    ASSERT_TRUE(Frame->close());

    StartFrame();
    EXPECT_TRUE(Frame->findChild<QToolBar*>("ToolbarFontColor")->isHidden());
    EXPECT_EQ(Frame->toolBarArea(Frame->findChild<QToolBar*>("ToolbarCoolTools")), Qt::BottomToolBarArea);
    for (const char* shown : {"ToolbarFile", "ToolbarEditTools", "ToolbarFontFace", "ToolbarFontStyle"}) {
        EXPECT_TRUE(Frame->findChild<QToolBar*>(shown)->isVisible()) << shown;
        EXPECT_EQ(Frame->toolBarArea(Frame->findChild<QToolBar*>(shown)), Qt::TopToolBarArea) << shown;
    }
    const TIniFile settings(ProgramFolderFile("Settings.ini"));
    for (const char* bar : kDocumentBars)
        for (const char* key :
             {"Visible", "DockedTo", "LastDock", "DockRow", "DockPos", "FloatLeft", "FloatTop"})
            EXPECT_TRUE(settings.ValueExists(QString("TFormQuenlockPlovane2") + bar, key))
                << bar << " " << key;
}

TEST_F(ToolbarsTest, AltDigitsSetHeadingsAndAltLettersOpenTheFramesMenusFromTheDesignView) {
    TFormChild* page = Open("<p id=p>para</p>");
    Frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame.get()));
    Caret("p");
    QWebEngineView* view = page->Design()->View();
    view->setFocus();
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    QTest::keyClick(target, Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(page->Design()->ExecCommand(DECMD_GETBLOCKFMT).toString(), "Heading 1");
    const QString body = Js("document.body.innerHTML").toString();
    EXPECT_TRUE(body.startsWith("<h1>para")) << body.toStdString();

    QMenu* file = Frame->findChild<QMenu*>("MIFile");
    QTest::keyClick(target, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    file->hide();
    // Alt with a letter no menu answers to stays the frame's: it never reaches the page as typing.
    const QString before = Js("document.body.innerHTML").toString();
    QTest::keyClick(target, Qt::Key_Z, Qt::AltModifier);
    QTest::qWait(100);
    EXPECT_EQ(Js("document.body.innerHTML").toString(), before);
    EXPECT_TRUE(Prompter->Log.empty());
}

}  // namespace
}  // namespace plovane
