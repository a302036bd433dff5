// The document as a whole: its text, loading and saving, and the Busy / IsDirty / DocumentComplete
// sequence the page window relies on.
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSignalSpy>
#include <QUrl>

#include "EngineFixture.h"
#include "engine/QelDHTMLLib.h"
#include "platform/Errors.h"
#include "support/ScopedState.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"

namespace plovane::test {

namespace {

// The new-page template, as the page window gives it.
const char* const Template =
    "<HTML>\r\n<HEAD>\r\n  <TITLE>Enter Page Title Here</TITLE>\r\n"
    "  <META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">\r\n"
    "  <META name=\"generator\" content=\"Plovane\">\r\n<STYLE>\r\n     .{margin-bottom:-14pt}\r\n"
    "  BODY{font-family:arial}\r\n</STYLE>\r\n</HEAD>\r\n<BODY text=#000000 bgColor=#ffffff scroll=auto>\r\n"
    "  <P>\r\n  </P>\r\n</BODY>\r\n</HTML>\r\n";

}  // namespace

using DocumentTest = EngineTest;

TEST_F(DocumentTest, DocumentHtmlIsStableAndFreeOfEditorDecorations) {
    Load(Template);
    Js("PlovaneEngine.setDirty(false)");
    Edit().SetShowBorders(true);
    Edit().SetShowDetails(true);
    const QString first = DesignGetHTML(&Edit());
    EXPECT_EQ(DesignGetHTML(&Edit()), first);
    EXPECT_TRUE(first.contains("Enter Page Title Here"));
    EXPECT_TRUE(first.contains("margin-bottom:-14pt"));
    EXPECT_FALSE(first.contains("plovane", Qt::CaseInsensitive) && !first.contains("content=\"Plovane\""));
    EXPECT_FALSE(first.contains("outline"));
    EXPECT_FALSE(Edit().IsDirty()) << "decorations are no edit";
    Edit().SetShowBorders(false);
    Edit().SetShowDetails(false);
}

TEST_F(DocumentTest, DoctypeAndOuterCommentsSurvive) {
    Load("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><!-- head note --><html><body>x</body></html>");
    const QString text = DesignGetHTML(&Edit());
    EXPECT_TRUE(text.startsWith("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\">")) << qPrintable(text);
    EXPECT_TRUE(text.contains("<!-- head note -->"));
}

TEST_F(DocumentTest, BusyUntilDocumentCompleteAndDirtyOnlyAfterEdits) {
    QSignalSpy complete(&Edit(), &TDHTMLEdit::DocumentComplete);
    Edit().SetDocumentHTML("<body><p id=p>x</p></body>");
    EXPECT_TRUE(Edit().Busy());
    EXPECT_TRUE(Edit().IsDirty()) << "assigning the text is a change";
    EXPECT_TRUE(Edit().DOM().IsEmpty());
    WaitUntilReady(&Edit());
    EXPECT_FALSE(Edit().Busy());
    EXPECT_EQ(complete.count(), 1);
    EXPECT_TRUE(Edit().IsDirty());

    DesignNew(&Edit());
    EXPECT_FALSE(Edit().IsDirty());
    EXPECT_TRUE(Edit().CurrentDocumentPath().isEmpty());
    Doc().Ref("body").Put("innerHTML", "<p>typed</p>");
    EXPECT_TRUE(Edit().IsDirty());
}

TEST_F(DocumentTest, SaveWritesTheDeclaredCharsetWithReferencesForTheRest) {
    const TempFolder folder;
    Load(Template);
    Doc().Ref("body").Put("innerHTML", QString::fromUtf8("<p>café € 漢</p>"));
    const QString path = folder.Path("page.htm");
    DesignSaveFile(&Edit(), path);
    EXPECT_FALSE(Edit().IsDirty());
    EXPECT_EQ(Edit().CurrentDocumentPath(), path);
    const QByteArray bytes = folder.Read("page.htm");
    EXPECT_TRUE(bytes.contains("caf\xe9 &#8364; &#28450;")) << bytes.constData();
    EXPECT_FALSE(bytes.startsWith("\xef\xbb\xbf"));
    // Loaded again, the references are the characters once more.
    DesignLoadFile(&Edit(), path);
    EXPECT_EQ(Doc().Ref("body").Text("innerText").trimmed(), QString::fromUtf8("café € 漢"));
}

TEST_F(DocumentTest, Utf8PagesStayUtf8) {
    const TempFolder folder;
    const QString path =
        folder.Write("u.htm", "<html><head><meta charset=utf-8></head><body>\xc5\xbe\xc3\xa1</body></html>");
    DesignLoadFile(&Edit(), path);
    EXPECT_EQ(Doc().Ref("body").Text("innerText"), QString::fromUtf8("žá"));
    DesignSaveFile(&Edit(), path);
    EXPECT_TRUE(folder.Read("u.htm").contains("\xc5\xbe\xc3\xa1"));
}

TEST_F(DocumentTest, UndeclaredUtf8IsReadAsUtf8AndSavedWithoutLoss) {
    const TempFolder folder;
    const QString path =
        folder.Write("plain.htm", "<html><body><p>\xc5\xbe\xc3\xa1 \xe2\x82\xac</p></body></html>");
    DesignLoadFile(&Edit(), path);
    EXPECT_EQ(Doc().Ref("body").Text("innerText"), QString::fromUtf8("žá €"));
    DesignSaveFile(&Edit(), path);
    EXPECT_TRUE(folder.Read("plain.htm").contains("&#382;\xe1 &#8364;"));
    DesignLoadFile(&Edit(), path);
    EXPECT_EQ(Doc().Ref("body").Text("innerText"), QString::fromUtf8("žá €"));
}

TEST_F(DocumentTest, FailedSaveKeepsPathAndDirtyState) {
    const TempFolder folder;
    folder.Write("plain.txt", "a file, not a folder");
    Load("<body>new</body>");
    const QString before = Edit().CurrentDocumentPath();
    EXPECT_THROW(Edit().SaveDocument(folder.Path("plain.txt/page.htm")), EngineError);
    EXPECT_THROW(Edit().SaveDocument(folder.Root()), EngineError) << "a folder is no file";
    EXPECT_EQ(Edit().CurrentDocumentPath(), before);
    EXPECT_TRUE(Edit().IsDirty());
}

TEST_F(DocumentTest, SavingIntoAnotherFolderReloadsAgainstIt) {
    const TempFolder folder;
    folder.Write("a/pic.png", "x");
    folder.Write("b/pic.png", "y");
    DesignLoadFile(&Edit(), folder.Write("a/page.htm", "<body><img id=i src=pic.png></body>"));
    EXPECT_EQ(Edit().BaseURL(), folder.Path("a") + "/");
    DesignSaveFile(&Edit(), folder.Path("b/page.htm"));
    EXPECT_EQ(Edit().BaseURL(), folder.Path("b") + "/");
    EXPECT_EQ(ById("i").Text("src"), QUrl::fromLocalFile(folder.Path("b/pic.png")).toString());
    EXPECT_EQ(ById("i").Call("getAttribute", {"src", 2}).ToString(), "pic.png");
}

TEST_F(DocumentTest, ImagesReportTheirFileSize) {
    const TempFolder folder;
    folder.Write("pics/a.gif", QByteArray(123, 'x'));
    DesignLoadFile(&Edit(),
                   folder.Write("page.htm", "<body><img id=i src=pics/a.gif><img id=j src=none.gif></body>"));
    EXPECT_EQ(ById("i").Get("fileSize").ToInt(), 123);
    EXPECT_EQ(ById("j").Get("fileSize").ToInt(), -1);
}

TEST_F(DocumentTest, SetHtmlKeepsTheBaseFolderAndRetitles) {
    const TempFolder folder;
    DesignLoadFile(&Edit(), folder.Write("site/page.htm", "<title>One</title><body>x</body>"));
    DesignSetHTML(&Edit(), "<html><head><title>Two</title></head><body><img id=i src=a.gif></body></html>",
                  true);
    EXPECT_EQ(Edit().BaseURL(), folder.Path("site") + "/");
    EXPECT_EQ(Doc().Text("title"), "Two");
    EXPECT_EQ(Doc().Ref("location").Text("pathname"), folder.Path("site/page.htm"));
    DesignSetHTML(&Edit(), "", false);
    EXPECT_EQ(Edit().BaseURL(), folder.Path("site") + "/");
}

struct LoadCase {
    const char* name;
    qint64 size;  // -1: no file
    bool loads;
    const char* message;
};

class DesignLoadFileTest : public EngineTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(DesignLoadFileTest, RefusesWithTheLoadMessages) {
    const TempFolder folder;
    const LoadCase c = GetParam();
    const QString path = folder.Path(c.name);
    if (c.size >= 0) {
        QByteArray bytes = "<html><body><p id=p>start</p>";
        bytes += QByteArray(c.size - bytes.size() - 14, 'a');
        bytes += "</body></html>";
        folder.Write(c.name, bytes);
        ASSERT_EQ(QFileInfo(path).size(), c.size);
    }
    ScopedPrompter prompter;
    QString message;
    const ScopedErrorHandler handler([&](const QString& text) { message = text; });
    const bool ran = RunCommand([&] { DesignLoadFile(&Edit(), path); });
    EXPECT_EQ(ran, c.loads);
    EXPECT_EQ(message, QString(c.message).arg(path));
    if (c.loads)
        EXPECT_EQ(ById("p").Text("innerText"), "start");
    else
        EXPECT_TRUE(ById("p").IsEmpty()) << "the empty document stays";
    EXPECT_FALSE(Edit().Busy());
}

INSTANTIATE_TEST_SUITE_P(Files, DesignLoadFileTest,
                         ::testing::Values(LoadCase{"missing.htm", -1, false, "\"%1\" does not exists."},
                                           LoadCase{"largest.htm", 524287, true, ""},
                                           LoadCase{"toobig.htm", 524288, false,
                                                    "The file \"%1\" it too big to edit."}));

TEST_F(DocumentTest, AFolderCannotBeLoaded) {
    const TempFolder folder;
    QString message;
    const ScopedErrorHandler handler([&](const QString& text) { message = text; });
    RunCommand([&] { DesignLoadFile(&Edit(), folder.Root()); });
    EXPECT_EQ(message,
              QString("Error while loading \"%1\"\n\nThis file can not be loaded.").arg(folder.Root()));
}

TEST_F(DocumentTest, PrintsToThePrinterGiven) {
    const TempFolder folder;
    Load("<body><h1>Printed</h1></body>");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.Path("page.pdf"));
    Edit().PrintDocument(printer);
    EXPECT_TRUE(folder.Read("page.pdf").startsWith("%PDF"));
}

TEST_F(DocumentTest, CommandStatusTestsAndFilter) {
    Load("<body><p id=p>plain <b id=b>bold</b></p></body>");
    SelectText("b");
    EXPECT_TRUE(CommandEnabled(&Edit(), DECMD_BOLD));
    EXPECT_TRUE(CommandLatched(&Edit(), DECMD_BOLD));
    SelectText("p", 0, 3);
    EXPECT_FALSE(CommandLatched(&Edit(), DECMD_BOLD));
    EXPECT_FALSE(CommandEnabled(&Edit(), 4999));
    EXPECT_FALSE(CommandEnabled(&Edit(), DECMD_PROPERTIES));
    EXPECT_THROW(CommandEnabled(nullptr, DECMD_BOLD), EngineError);
    EXPECT_EQ(FilterForDisplay(&Edit(), "<b>x</b>"), "<b>x</b>");
    EXPECT_EQ(FilterForDisplay(&Edit(), ""), "");
}

}  // namespace plovane::test
