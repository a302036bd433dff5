// Text ranges as the design-view spell check and the source tab's caret marker use them.
#include "EngineFixture.h"
#include "engine/QelDHTMLLib.h"

namespace plovane::test {

class RangeTest : public EngineTest {
protected:
    DomRef BodyRange() {
        const DomRef range = Doc().Ref("body").Call("createTextRange").ToRef();
        range.Call("collapse", {true});
        return range;
    }
};

TEST_F(RangeTest, WordsIncludeTheirTrailingBlanksAndEndAtTheDocumentEnd) {
    Load("<body><p>Hello  wrold, again.</p><p>Next one</p></body>");
    const DomRef range = BodyRange();
    QStringList words;
    while (range.Call("expand", {"Word"}).ToBool()) {
        words << range.Text("text");
        range.Call("move", {"Word", 1});
        if (words.size() > 20) break;
    }
    EXPECT_EQ(words, QStringList({"Hello  ", "wrold", ", ", "again", ".\n", "Next ", "one"}))
        << qPrintable(words.join('|'));
}

TEST_F(RangeTest, CharacterMovesAndEndPoints) {
    Load("<body><p id=p>abcdef ghi</p></body>");
    const DomRef range = BodyRange();
    range.Call("move", {"character", 2});
    range.Call("moveEnd", {"character", 3});
    EXPECT_EQ(range.Text("text"), "cde");
    const DomRef copy = range.Call("duplicate").ToRef();
    copy.Call("expand", {"word"});
    EXPECT_EQ(copy.Text("text"), "abcdef ");
    copy.Call("setEndPoint", {"EndToStart", range});
    EXPECT_EQ(copy.Text("text"), "ab");
    copy.Call("expand", {"word"});
    copy.Call("setEndPoint", {"StartToEnd", range});
    EXPECT_EQ(copy.Text("text"), "f ");
    range.Call("moveEnd", {"character", -1});
    EXPECT_EQ(range.Text("text"), "cd");
    EXPECT_TRUE(range.Call("parentElement").ToRef().SameAs(ById("p")));
}

TEST_F(RangeTest, SentencesAndElementText) {
    Load("<body><p id=p>First one. Second <b id=b>bold</b> here. Third.</p></body>");
    const DomRef range = BodyRange();
    range.Call("moveToElementText", {ById("b")});
    EXPECT_EQ(range.Text("text"), "bold");
    EXPECT_EQ(range.Text("HTMLText"), "bold");
    range.Call("expand", {"sentence"});
    EXPECT_EQ(range.Text("text"), "Second bold here. ");
    range.Call("moveToElementText", {ById("p")});
    EXPECT_EQ(range.Text("HTMLText"), "First one. Second <b id=\"b\">bold</b> here. Third.");
}

TEST_F(RangeTest, SettingTextReplacesTheWordAndSelectShowsIt) {
    Load("<body><p id=p>one wrold three</p></body>");
    const DomRef range = BodyRange();
    range.Call("move", {"word", 1});
    range.Call("expand", {"word"});
    range.Call("moveEnd", {"character", -1});
    EXPECT_EQ(range.Text("text"), "wrold");
    range.Call("select");
    EXPECT_EQ(Doc().Ref("selection").Text("type"), "Text");
    range.Put("text", "world");
    EXPECT_EQ(ById("p").Text("innerHTML"), "one world three");
    range.Call("move", {"word", 1});
    range.Call("expand", {"word"});
    EXPECT_EQ(range.Text("text"), "three");
    EXPECT_FALSE(range.Call("move", {"word", 1}).ToBool() && range.Call("expand", {"word"}).ToBool());
}

TEST_F(RangeTest, CaretMarkerComesAndGoesWithTwoUndos) {
    Load("<body><p id=p>before after</p></body>");
    const QString original = DesignGetHTML(&Edit());
    PlaceCaret("p", 6);
    const DomRef selection = Doc().Ref("selection");
    ASSERT_EQ(selection.Text("type"), "None");
    DomRef range = selection.Call("createRange").ToRef();
    range.Call("collapse");
    range.Call("pasteHTML", {" "});
    range = selection.Call("createRange").ToRef();
    range.Call("collapse");
    range.Call("pasteHTML", {"{1}"});
    const QString marked = DesignGetHTML(&Edit());
    EXPECT_TRUE(marked.contains("before {1} after")) << qPrintable(marked);
    Edit().ExecCommand(DECMD_UNDO);
    Edit().ExecCommand(DECMD_UNDO);
    EXPECT_EQ(DesignGetHTML(&Edit()), original);
}

TEST_F(RangeTest, PasteHtmlIsUndoable) {
    Load("<body><p id=p>text</p></body>");
    SelectText("p", 1, 3);
    Doc().Ref("selection").Call("createRange").ToRef().Call("pasteHTML", {"<i>X</i>"});
    EXPECT_EQ(ById("p").Text("innerHTML"), "t<i>X</i>t");
    Edit().ExecCommand(DECMD_UNDO);
    EXPECT_EQ(ById("p").Text("innerHTML"), "text");
    Edit().ExecCommand(DECMD_REDO);
    EXPECT_EQ(ById("p").Text("innerHTML"), "t<i>X</i>t");
}

}  // namespace plovane::test
