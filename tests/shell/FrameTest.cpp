#include <gtest/gtest.h>

#include <QDockWidget>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "engine/DHTMLEdit.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "platform/IniFile.h"
#include "platform/QelConsole.h"
#include "platform/SingleInstance.h"
#include "shell/MRUManager.h"
#include "shell/UnitMain.h"
#include "support/ScopedState.h"
#include "support/ScriptedPrompter.h"
#include "support/SelectionScripts.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        Frame = std::make_unique<TFormQuenlockPlovane2>();
        Frame->show();
    }
    void TearDown() override {
        for (TFormChild* page : Frame->Pages()) page->SkipCloseQuery();
        Frame.reset();
    }
    QString Page(const char* name, const char* body = "<p>text</p>") const {
        return Site.Write(name, QByteArray("<html><body>") + body + "</body></html>");
    }

    test::ScopedCommandLine Line{CommandLine({"plovane", "-NoSplash"})};
    test::ScopedFilePlaces Places;
    test::ScopedPrompter Prompter;
    test::TempFolder Site;
    std::unique_ptr<TFormQuenlockPlovane2> Frame;
};

TEST_F(FrameTest, TenPagesAtMost) {
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(RunCommand([&] { Frame->MINewClick(); }));
    EXPECT_TRUE(RunCommand([&] { Frame->OpenDocumentFile(Page("tenth.htm")); }));
    EXPECT_EQ(Frame->Pages().size(), 10);
    EXPECT_FALSE(RunCommand([&] { Frame->MINewClick(); }));
    EXPECT_FALSE(RunCommand([&] { Frame->OpenDocumentFile(Page("eleventh.htm")); }));
    EXPECT_EQ(Prompter->Texts("error"),
              QStringList(2,
                          "Only 10 windows can be opened at one time.\n\nPlease close some windows before "
                          "creating new ones."));
    EXPECT_EQ(Frame->Pages().size(), 10);
}

TEST_F(FrameTest, OpeningAnOpenFileAsksToRevertInsteadOfOpeningItTwice) {
    const QString path = Page("page.htm");
    Frame->OpenDocumentFile(path);
    Frame->MINewClick();
    Prompter->YesNo = {false};
    Frame->OpenDocumentFile(path);
    EXPECT_EQ(Frame->Pages().size(), 2);
    EXPECT_EQ(Frame->ActivePage(), Frame->Pages().first());
    EXPECT_EQ(
        Prompter->Texts("yesno"),
        QStringList{QString("\"%1\" is already open.\r\rDo you wish to revert to the last saved version of "
                            "this document?")
                        .arg(path)});
    EXPECT_EQ(Frame->RecentFiles()->Items(), QStringList{path});
}

TEST_F(FrameTest, AMissingRecentFileOpensTheDialogWithItsName) {
    const QString gone = Site.Path("gone.htm");
    Frame->RecentFiles()->Add(gone);
    Prompter->Files = {std::nullopt};
    Frame->MIRecentFileClick(gone);
    ASSERT_EQ(Prompter->FileRequests.size(), 1u);
    EXPECT_EQ(Prompter->FileRequests.front().fileName, "gone.htm");
    EXPECT_EQ(Prompter->FileRequests.front().folder, Site.Root());
    EXPECT_TRUE(Frame->RecentFiles()->Items().isEmpty());
    EXPECT_TRUE(Frame->Pages().isEmpty());
}

TEST_F(FrameTest, NewSwitchWinsOverAFileOnTheCommandLine) {
    Line.Set(CommandLine({"plovane", "-n", Page("ignored.htm"), "-NoSplash"}));
    Frame->FirstPaint();
    ASSERT_EQ(Frame->Pages().size(), 1);
    EXPECT_TRUE(Frame->Pages().first()->CurrentPath().isEmpty());
    EXPECT_EQ(Frame->StatusText(), "untitled.htm");
}

TEST_F(FrameTest, SaveOutOfPlaceBehavesAsSaveAs) {
    const QString locked = Page("locked.htm");
    const QString inLockedFolder = Page("ro/page.htm");
    const QString cached = CacheFolder() + "cached.htm";
    QFile::copy(locked, cached);
    const test::ScopedReadOnly lockedFile(locked);
    for (const QString& path : {locked, inLockedFolder, cached}) {
        TFormChild* page = Frame->OpenDocumentFile(path);
        Prompter->Files = {std::nullopt};  // the user cancels the save dialog
        std::unique_ptr<test::ScopedReadOnly> folder;
        if (path == inLockedFolder) folder = std::make_unique<test::ScopedReadOnly>(Site.Path("ro"));
        Frame->MISaveClick();
        EXPECT_EQ(Prompter->Texts("save").size(), Prompter->FileRequests.size()) << path.toStdString();
        EXPECT_EQ(Prompter->FileRequests.back().fileName, QFileInfo(path).fileName());
        page->SkipCloseQuery();
        Frame->MICloseClick();
    }
    EXPECT_EQ(Prompter->FileRequests.size(), 3u);

    // A new page has no file at all: Save asks for a name too.
    Frame->MINewClick();
    const QString chosen = Site.Path("chosen.htm");
    Prompter->Files = {chosen};
    Frame->MISaveClick();
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(Frame->ActivePage()->Caption(), chosen);
}

TEST_F(FrameTest, SaveAsOntoAReadOnlyFileChangesNothing) {
    const QString locked = Page("locked.htm", "<p>original</p>");
    const QByteArray before = Site.Read("locked.htm");
    const test::ScopedReadOnly readOnly(locked);
    Frame->MINewClick();
    Prompter->Files = {locked};
    EXPECT_FALSE(RunCommand([&] { Frame->MISaveAsClick(); }));
    EXPECT_EQ(Prompter->Texts("error"),
              QStringList{QString("You don't have write permissions for the file \"%1\".").arg(locked)});
    EXPECT_EQ(Site.Read("locked.htm"), before);
    EXPECT_EQ(Frame->ActivePage()->Caption(), "untitled.htm");
    EXPECT_TRUE(Frame->RecentFiles()->Items().isEmpty());
}

TEST_F(FrameTest, ExitStopsWhenAnyPageCancels) {
    Frame->MINewClick();
    TFormChild* edited = Frame->MINewClick();
    edited->Design()->SetDocumentHTML("<html><body>changed</body></html>");
    WaitUntilReady(edited->Design());
    Prompter->YesNoCancel = {Answer::Cancel};
    EXPECT_FALSE(Frame->close());
    EXPECT_EQ(Frame->Pages().size(), 2);
    EXPECT_TRUE(edited->Modified());
}

// Settings.ini as Qt's INI format wrote it: the list toolbar comes back in the dock it names, and
// hidden; closing writes the layout back in the same sections and keys.
TEST_F(FrameTest, ToolbarLayoutComesBackFromSettingsAndIsStoredOnClose) {
    Places.Folder().Write("program/Settings.ini",
                          "[TFormQuenlockPlovane2ToolbarWindowsList]\nDockedTo=LeftDock\nLastDock=LeftDock\n"
                          "Visible=false\n\n[Other]\nKept=\"a;b\"\n");
    Frame = std::make_unique<TFormQuenlockPlovane2>();
    Frame->show();
    auto* list = Frame->findChild<QToolBar*>("ToolbarWindowsList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Frame->toolBarArea(list), Qt::LeftToolBarArea);
    EXPECT_TRUE(list->isHidden());
    EXPECT_TRUE(Frame->findChild<QToolBar*>("ToolbarFile")->isVisible());

    ASSERT_TRUE(Frame->close());
    const TIniFile settings(ProgramFolderFile("Settings.ini"));
    const QString section = "TFormQuenlockPlovane2ToolbarWindowsList";
    EXPECT_EQ(settings.ReadString(section, "DockedTo"), "LeftDock");
    EXPECT_FALSE(settings.ReadBool(section, "Visible", true));
    EXPECT_TRUE(settings.ReadBool("TFormQuenlockPlovane2ToolbarFile", "Visible", false));
    EXPECT_EQ(settings.ReadString("Other", "Kept"), "a;b");
}

// A floating toolbar comes back floating where it was, also after the next close and start; every
// section holds the seven values.
TEST_F(FrameTest, AFloatingToolbarComesBackFloatingWhereItWas) {
    Places.Folder().Write("program/Settings.ini",
                          "[TFormQuenlockPlovane2ToolbarFile]\nVisible=true\nDockedTo=\nLastDock=TopDock\n"
                          "FloatLeft=300\nFloatTop=200\n\n[TFormQuenlockPlovane2ToolbarWindowsList]\n"
                          "DockedTo=LeftDock\n");
    const auto check = [this](const char* when) {
        auto* file = Frame->findChild<QToolBar*>("ToolbarFile");
        auto* list = Frame->findChild<QToolBar*>("ToolbarWindowsList");
        EXPECT_TRUE(file->isFloating()) << when;
        EXPECT_TRUE(file->isVisible()) << when;
        EXPECT_EQ(file->geometry().topLeft(), QPoint(300, 200)) << when;
        EXPECT_EQ(Frame->toolBarArea(list), Qt::LeftToolBarArea) << when;
        EXPECT_FALSE(list->isFloating()) << when;
        auto* explorer = Frame->findChild<QDockWidget*>();
        ASSERT_NE(explorer, nullptr);
        EXPECT_EQ(Frame->dockWidgetArea(explorer), Qt::LeftDockWidgetArea) << when;
    };
    for (const char* when : {"first start", "second start"}) {
        Frame = std::make_unique<TFormQuenlockPlovane2>();
        Frame->show();
        check(when);
        ASSERT_TRUE(Frame->close());
    }
    const TIniFile settings(ProgramFolderFile("Settings.ini"));
    for (const char* bar : {"ToolbarFile", "ToolbarWindowsList"}) {
        const QString section = QString("TFormQuenlockPlovane2") + bar;
        for (const char* key :
             {"Visible", "DockedTo", "LastDock", "DockRow", "DockPos", "FloatLeft", "FloatTop"})
            EXPECT_TRUE(settings.ValueExists(section, key)) << bar << " " << key;
    }
    EXPECT_EQ(settings.ReadString("TFormQuenlockPlovane2ToolbarFile", "DockedTo", "x"), "");
    EXPECT_EQ(settings.ReadString("TFormQuenlockPlovane2ToolbarFile", "FloatLeft"), "300");
    EXPECT_EQ(settings.ReadString("TFormQuenlockPlovane2ToolbarFile", "LastDock"), "TopDock");
}

TEST_F(FrameTest, AToolbarFloatingOnAScreenThatIsGoneComesBackOnThisOne) {
    Places.Folder().Write("program/Settings.ini",
                          "[TFormQuenlockPlovane2ToolbarFile]\nDockedTo=\nFloatLeft=5000\nFloatTop=-3000\n");
    Frame = std::make_unique<TFormQuenlockPlovane2>();
    Frame->show();
    const auto* file = Frame->findChild<QToolBar*>("ToolbarFile");
    ASSERT_TRUE(file->isFloating());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect r = file->geometry();
    EXPECT_TRUE(screen.contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

TEST_F(FrameTest, ToolbarsComeBackOnTheirRowsOfADock) {
    Places.Folder().Write("program/Settings.ini",
                          "[TFormQuenlockPlovane2ToolbarFile]\nDockedTo=TopDock\nDockRow=1\n\n"
                          "[TFormQuenlockPlovane2ToolbarWindowsList]\nDockedTo=TopDock\nDockRow=0\n");
    Frame = std::make_unique<TFormQuenlockPlovane2>();
    Frame->show();
    auto* file = Frame->findChild<QToolBar*>("ToolbarFile");
    auto* list = Frame->findChild<QToolBar*>("ToolbarWindowsList");
    EXPECT_EQ(Frame->toolBarArea(list), Qt::TopToolBarArea);
    EXPECT_LT(list->y(), file->y());  // row 0 is nearest the window's edge
    ASSERT_TRUE(Frame->close());
    const TIniFile settings(ProgramFolderFile("Settings.ini"));
    EXPECT_EQ(settings.ReadString("TFormQuenlockPlovane2ToolbarWindowsList", "DockRow"), "0");
    EXPECT_EQ(settings.ReadString("TFormQuenlockPlovane2ToolbarFile", "DockRow"), "1");
}

TEST_F(FrameTest, AFirstStartKeepsTheToolbarsOnTheRowsTheyWereBuiltIn) {
    auto* file = Frame->findChild<QToolBar*>("ToolbarFile");
    auto* style = Frame->findChild<QToolBar*>("ToolbarFontStyle");
    ASSERT_TRUE(file && style);
    EXPECT_EQ(Frame->toolBarArea(style), Qt::TopToolBarArea);
    EXPECT_GT(style->y(), file->y()) << "the buttons' row sits below the File toolbar's";
}

TEST_F(FrameTest, WindowMenuListsThePagesAfterTheMarker) {
    Frame->MINewClick();
    Frame->OpenDocumentFile(Page("b.htm"));
    Frame->WindowMenuPopup();
    QMenu* window = Frame->findChild<QMenu*>("MIWindow");
    const QList<QAction*> actions = window->actions();
    QStringList listed;
    for (qsizetype i = actions.indexOf(Frame->findChild<QAction*>("MIMDIChildren")) + 1; i < actions.size();
         ++i)
        if (!actions.at(i)->isSeparator())
            listed << actions.at(i)->text() + (actions.at(i)->isChecked() ? "*" : "");
    EXPECT_EQ(listed, (QStringList{"&1 untitled.htm", "&2 " + Site.Path("b.htm") + "*"}));
}

TEST_F(FrameTest, TheActivePageMenusSitBetweenFileAndWindowAndTakeItsShortcuts) {
    const auto titles = [this] {
        QStringList list;
        for (QAction* action : Frame->menuBar()->actions()) list << action->text();
        return list;
    };
    EXPECT_EQ(titles(), (QStringList{"&File", "&Window", "&Help"}));
    TFormChild* first = Frame->OpenDocumentFile(Page("one.htm", "<p id=p>one</p>"));
    TFormChild* second = Frame->OpenDocumentFile(Page("two.htm", "<p id=p>two</p>"));
    EXPECT_EQ(titles(), (QStringList{"&File", "&Edit", "F&ormat", "E&lement", "&Tools", "&Window", "&Help"}));
    for (TFormChild* page : {first, second})
        page->Design()->Bridge().Evaluate(test::SelectContentsScript("p"));
    auto* window = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    window->mdiArea()->setActiveSubWindow(window);
    ASSERT_EQ(Frame->ActivePage(), first);
    EXPECT_TRUE(Frame->menuBar()->actions().contains(first->PageMenus().first()->menuAction()));
    EXPECT_FALSE(Frame->menuBar()->actions().contains(second->PageMenus().first()->menuAction()));

    Frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame.get()));
    QTest::keyClick(Frame.get(), Qt::Key_B, Qt::ControlModifier);
    const auto paragraph = [](TFormChild* page) {
        return page->ReadyDocument().Call("getElementById", {"p"}).ToRef().Text("innerHTML");
    };
    EXPECT_EQ(paragraph(first), "<b>one</b>");
    EXPECT_EQ(paragraph(second), "two");
    EXPECT_TRUE(Prompter->Log.empty());

    first->ShowTab(TFormChild::TabPreview);  // the preview has no page menus
    EXPECT_EQ(titles(), (QStringList{"&File", "&Window", "&Help"}));
    first->ShowTab(TFormChild::TabEdit);
    for (TFormChild* page : {first, second}) page->SkipCloseQuery();
    Frame->MICloseAllClick();
    EXPECT_EQ(titles(), (QStringList{"&File", "&Window", "&Help"}));
}

TEST_F(FrameTest, ASecondStartHandsItsFileToTheFirstCopy) {
    TInstanceListener listener("TFormQuenlockPlovane2");
    ASSERT_TRUE(listener.IsListening());
    QObject::connect(&listener, &TInstanceListener::CommandLineReceived, Frame.get(),
                     &TFormQuenlockPlovane2::CommandLineReceived);
    const QString path = Page("handed.htm");
    const auto secondStart = [&](const QStringList& arguments) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        second.setProcessEnvironment(env);
        second.start(test::BuiltProgramFolder() + "/plovane", arguments);
        // The first copy answers from its event loop, so keep it turning while the second waits.
        QElapsedTimer clock;
        clock.start();
        while (!second.waitForFinished(20) && clock.elapsed() < 60000) QCoreApplication::processEvents();
        if (second.state() != QProcess::NotRunning) {
            second.kill();  // it did not hand over and opened its own window
            second.waitForFinished();
            return std::make_pair(false, -1);
        }
        return std::make_pair(second.exitStatus() == QProcess::NormalExit, second.exitCode());
    };
    EXPECT_EQ(secondStart({"-n"}), std::make_pair(true, 0));
    QTest::qWait(50);
    EXPECT_TRUE(Frame->Pages().isEmpty());
    EXPECT_EQ(secondStart({path}), std::make_pair(true, 0));
    QTRY_COMPARE(Frame->Pages().size(), 1);
    EXPECT_EQ(Frame->Pages().first()->CurrentPath(), path);
}

}  // namespace
}  // namespace plovane
