#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTest>

#include "engine/DHTMLEdit.h"
#include "engine/QelDHTMLLib.h"
#include "page/MarginRuler.h"
#include "page/PageHost.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "platform/RegistryStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// A frame stand-in that records what the page asks of it.
struct RecordingHost : PageHost {
    TFormChild* Active = nullptr;
    QStringList Calls;
    std::function<void()> Save;
    TFormChild* ActivePage() const override { return Active; }
    void PageActivated(TFormChild* page) override { Active = page; }
    void PageClosing(TFormChild* page) override {
        if (Active == page) Active = nullptr;
        Calls << "closing";
    }
    void ResetToolbars() override { Calls << "reset"; }
    void UpdateToolbars() override { Calls << "update"; }
    void SetStatusText(const QString& text) override { Calls << "status " + text; }
    void RunSave() override {
        if (Save) Save();
    }
};

class ChildTest : public ::testing::Test {
protected:
    void SetUp() override {
        Page = std::make_unique<TFormChild>(Host);
        Page->resize(640, 480);
        Page->show();
        WaitUntilReady(Page->Design());
        Page->Activate();
    }
    test::ScopedFilePlaces Places;
    test::ScopedPrompter Prompter;
    test::TempFolder Site;
    RecordingHost Host;
    std::unique_ptr<TFormChild> Page;
};

TEST_F(ChildTest, ANewPageHasTheTemplateAndTheUntitledCaption) {
    const QStringList lines = NewPageTemplate().split("\r\n");
    ASSERT_EQ(lines.size(), 16);  // 15 lines, each closed by CR LF
    EXPECT_EQ(lines.at(4), "  <META name=\"generator\" content=\"Plovane\">");
    EXPECT_EQ(lines.at(6), "     .{margin-bottom:-14pt}");
    EXPECT_EQ(Page->Caption(), "untitled.htm");
    EXPECT_TRUE(Page->CurrentPath().isEmpty());
    const QString html = DesignGetHTML(Page->Design());
    EXPECT_TRUE(html.contains("Enter Page Title Here")) << html.toStdString();
    EXPECT_FALSE(Page->Modified());
}

TEST_F(ChildTest, LoadRefusesFilesOfHalfAMegabyteOrMore) {
    const QByteArray head = "<html><body><p>x</p>";
    const QByteArray tail = "</body></html>";
    const auto sized = [&](int bytes) {
        return head + QByteArray(bytes - head.size() - tail.size(), 'a') + tail;
    };
    const QString fits = Site.Write("fits.htm", sized(524287));
    const QString big = Site.Write("big.htm", sized(524288));
    Page->LoadPage(fits);
    EXPECT_EQ(Page->Caption(), fits);
    try {
        Page->LoadPage(big);
        FAIL() << "a 524288-byte file loaded";
    } catch (const AbortCommand& e) {
        EXPECT_EQ(e.Text(), QString("The file \"%1\" it too big to edit.").arg(big));
    }
    EXPECT_EQ(Page->Caption(), fits);  // the caption stays as it was
}

// Another program writes the file, with a time stamp `seconds` ahead.
void WriteLater(const QString& path, const QByteArray& text, int seconds) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.flush();
    ASSERT_TRUE(
        file.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
}

TEST_F(ChildTest, ChangedOnDiskIsAskedOnceForOneChange) {
    const QString path = Site.Write("page.htm", "<html><body><p>one</p></body></html>");
    Page->LoadPage(path);
    WriteLater(path, "<html><body><p>two</p></body></html>", 5);

    Prompter->YesNo = {false};
    Page->Activate();
    Page->Activate();  // No: not asked again for the same change
    EXPECT_EQ(Prompter->Texts("yesno"),
              QStringList{"File has been change since loading. Do you want to reload file?"});

    WriteLater(path, "<html><body><p>three</p></body></html>", 10);
    Prompter->YesNo = {true};
    Page->Activate();
    EXPECT_EQ(Prompter->Texts("yesno").size(), 2);
    EXPECT_TRUE(DesignGetHTML(Page->Design()).contains("three"));
}

TEST_F(ChildTest, CloseQueryYesWithACancelledSaveKeepsThePageModified) {
    Page->Design()->SetDocumentHTML("<html><body><p>edited</p></body></html>");
    WaitUntilReady(Page->Design());
    ASSERT_TRUE(Page->Modified());
    Prompter->YesNoCancel = {Answer::Yes, Answer::Cancel, Answer::No};
    bool saveRan = false;
    Host.Save = [&] { saveRan = true; };  // the user cancels the save dialog: nothing is written
    EXPECT_FALSE(Page->CloseQuery());
    EXPECT_TRUE(saveRan);
    EXPECT_TRUE(Page->Modified());
    EXPECT_EQ(Prompter->Texts("yesnocancel").first(),
              "The file \"untitled.htm\" has been changed.\r\rDo you want to save the changes?");
    EXPECT_FALSE(Page->CloseQuery());  // Cancel
    EXPECT_TRUE(Page->CloseQuery());   // No
}

TEST_F(ChildTest, SavingIntoAnotherFolderResolvesRelativePicturesThere) {
    test::TempFolder other;
    other.Write("pic.png", "x");  // only its address counts
    const QString source = Site.Write("a/page.htm", "<html><body><img src=\"pic.png\"></body></html>");
    Page->LoadPage(source);
    const QString target = other.Path("page.htm");
    Page->SavePage(target);
    EXPECT_EQ(Page->Caption(), target);
    EXPECT_EQ(Page->CurrentPath(), target);
    EXPECT_FALSE(Page->Modified());
    const DomRef image = Page->ReadyDocument().Ref("images").Call("item", {0}).ToRef();
    EXPECT_EQ(image.Text("src"), QUrl::fromLocalFile(other.Path("pic.png")).toString());
}

TEST_F(ChildTest, DocumentCompleteTakesTheStoredDisplaySwitches) {
    RegistryStore reg;
    ASSERT_TRUE(reg.OpenKey(ProgramKey("TFormQuenlockPlovane2"), true));
    reg.WriteInteger("ShowDetails", 0);
    Page->LoadPage(Site.Write("p.htm", "<html><body><p>x</p></body></html>"));
    EXPECT_TRUE(Page->Design()->ShowBorders());  // absent means on
    EXPECT_FALSE(Page->Design()->ShowDetails());
}

TEST_F(ChildTest, DraggingTheGripsSetsTheBodyMargins) {
    Page->LoadPage(Site.Write("m.htm", "<html><body leftMargin=40 rightMargin=30><p>x</p></body></html>"));
    auto* ruler = Page->findChild<MarginRuler*>("PanelMargin");
    ASSERT_NE(ruler, nullptr);
    QTRY_COMPARE(ruler->Layout().Left.Width(), 40);  // laid out after the document completed
    EXPECT_EQ(ruler->Layout().Right.Width(), 30);
    EXPECT_EQ(ruler->Layout().Right.End, ruler->width());
    EXPECT_GT(Page->Design()->y(), ruler->y());  // the strip sits above the design view

    const auto drag = [](QWidget* grip, int by) {
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(3, 10));
        EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
                  Qt::SizeHorCursor);
        QTest::mouseMove(grip, QPoint(3 + by, 10));
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(3 + by, 10));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    };
    const DomRef body = Page->ReadyDocument().Ref("body");
    drag(ruler->LeftGrip(), 60);
    EXPECT_EQ(body.Text("leftMargin"), "100");
    EXPECT_EQ(ruler->Layout().Left.Width(), 100);
    drag(ruler->RightGrip(), -20);  // the right edge moves 20 pixels inwards
    EXPECT_EQ(body.Text("rightMargin"), "50");
    EXPECT_EQ(ruler->Layout().Right.Width(), 50);
    drag(ruler->LeftGrip(), -500);  // past the strip's left edge
    EXPECT_EQ(body.Text("leftMargin"), "0");
}

}  // namespace
}  // namespace plovane
