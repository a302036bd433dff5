#include <gtest/gtest.h>

#include <memory>

#include "dom/QelDOMTools.h"
#include "engine/DHTMLEdit.h"
#include "engine/QelDHTMLLib.h"
#include "support/ScriptedPrompter.h"

namespace plovane {
namespace {

// One design view for all the tests: starting the engine is the slow part.
class DOMToolsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Edit = std::make_unique<TDHTMLEdit>();
        Edit->resize(800, 600);
        Edit->show();
        WaitUntilReady(Edit.get());
    }
    static void TearDownTestSuite() { Edit.reset(); }

    DomRef Load(const QString& body, const QString& head = QString()) {
        DesignSetHTML(Edit.get(), "<html><head>" + head + "</head><body>" + body + "</body></html>", false);
        WaitUntilReady(Edit.get());
        return Doc();
    }
    DomRef Doc() const { return Edit->DOM(); }
    DomRef ById(const QString& id) const { return Doc().Call("getElementById", {id}).ToRef(); }
    QString Outer(const QString& id) const { return ById(id).Text("outerHTML"); }
    // Selects the whole text of the element.
    void Select(const QString& id) const { SelectElement(ById(id)); }

    static std::unique_ptr<TDHTMLEdit> Edit;
    test::ScopedPrompter Prompter;
};
std::unique_ptr<TDHTMLEdit> DOMToolsTest::Edit;

TEST_F(DOMToolsTest, EmptyValueMeansAbsentAttribute) {
    Load("<img id=i src=\"pics/a.gif\" style=\"width: 40px; height: 10px\" width=\"30\">");
    const DomRef img = ById("i");
    EXPECT_EQ(GetAttr(img, "SRC"), "pics/a.gif");  // as written, not resolved
    SetAttr(img, "border", "0");
    EXPECT_EQ(GetAttr(img, "border"), "0");
    SetAttr(img, "border", "");
    EXPECT_FALSE(Outer("i").contains("border"));
    EXPECT_EQ(GetStyleOrAttr(img, "width", "width"), "40px");
    SetWidth(img, "");
    EXPECT_EQ(GetStyleOrAttr(img, "width", "width"), "");
    EXPECT_FALSE(Outer("i").contains("width", Qt::CaseInsensitive)) << Outer("i").toStdString();
    SetSize(img, "12", "");
    EXPECT_EQ(GetAttr(img, "width"), "12");
    EXPECT_FALSE(Outer("i").contains("height", Qt::CaseInsensitive));
    RemoveAttr(img, "nothing-here");  // no error for an absent attribute
    EXPECT_TRUE(HasTagName(img, "img"));
    EXPECT_FALSE(HasTagName(DomRef(), "img"));
}

TEST_F(DOMToolsTest, MetaElementsJoinAndAnEmptyContentDeletesThem) {
    const DomRef doc = Load("<p>x</p>",
                            "<meta name=keywords content=\" one, two \"><meta name=author content=me>"
                            "<meta name=KEYWORDS content=three>");
    EXPECT_EQ(GetMeta(doc, "keywords", "none", "name"), "one, two,three");
    EXPECT_EQ(GetMeta(doc, "robots", "none", "name"), "none");
    SetMeta(doc, "author", "", "name");
    EXPECT_EQ(GetMeta(doc, "author", "gone", "name"), "gone");
    SetMeta(doc, "keywords", "four", "name");
    EXPECT_EQ(GetMeta(doc, "keywords", "", "name"), "four");
    const DomRef head = DocumentHead(doc);
    const DomRef last =
        head.Ref("children").Call("item", {int(head.Ref("children").Get("length").ToInt()) - 1}).ToRef();
    EXPECT_EQ(GetAttr(last, "content"), "four");  // the new META is the head's last child
}

TEST_F(DOMToolsTest, ToggleScriptAsksBeforeRemovingTheSecondTime) {
    const DomRef doc = Load("<p id=p>text</p>");
    Select("p");
    ToggleScript(doc, "counter", "var n = 1;");
    EXPECT_TRUE(ById("counter"));
    Prompter->YesNo = {false, true};
    ToggleScript(doc, "counter", "var n = 1;");
    EXPECT_TRUE(ById("counter"));
    ToggleScript(doc, "counter", "var n = 1;");
    EXPECT_FALSE(ById("counter"));
    EXPECT_EQ(Prompter->Texts("yesno"),
              QStringList(2, "This script is already contained in the page. Would you like to remove it?"));
}

TEST_F(DOMToolsTest, TableOfElementAndAncestors) {
    Load("<table id=t><tr id=r><th id=h>h</th><td id=d><b id=b>x</b></td></tr></table>");
    EXPECT_TRUE(TableOfElement(ById("d")).SameAs(ById("t")));
    EXPECT_TRUE(TableOfElement(ById("r")).SameAs(ById("t")));
    EXPECT_TRUE(TableOfElement(ById("t")).SameAs(ById("t")));
    EXPECT_TRUE(TableOfElement(ById("h")).IsEmpty());
    EXPECT_TRUE(TableOfElement(ById("b")).IsEmpty());
    EXPECT_TRUE(AncestorWithTag(ById("b"), "td").SameAs(ById("d")));
    EXPECT_TRUE(AncestorWithTag(ById("b"), "form").IsEmpty());
}

TEST_F(DOMToolsTest, UpperCaseKeepsNbspLowerCase) {
    const DomRef doc = Load("<p id=p>a&nbsp;b</p>");
    Select("p");
    UpperCaseSelection(doc);
    EXPECT_EQ(ById("p").Text("innerHTML"), "A&nbsp;B");
    Select("p");
    LowerCaseSelection(doc);
    EXPECT_EQ(ById("p").Text("innerHTML"), "a&nbsp;b");
}

TEST_F(DOMToolsTest, PasteAtTheSelectionAndTheSelectionElement) {
    const DomRef doc = Load("<p id=p>one <i id=i>two</i></p>");
    Select("i");
    EXPECT_TRUE(SelectionElement(doc).SameAs(ById("i")));
    EXPECT_TRUE(SelectionAncestorWithTag(doc, "P").SameAs(ById("p")));
    PasteHTMLAtSelection(doc, "<b>new</b>");
    EXPECT_TRUE(ById("p").Text("innerHTML").contains("<b>new</b>"))
        << ById("p").Text("innerHTML").toStdString();
    EXPECT_TRUE(Prompter->Texts().isEmpty());
}

TEST_F(DOMToolsTest, FreezeCellSizesTakesOffThePadding) {
    Load(
        "<table id=a border=0 cellpadding=3 cellspacing=0><tr><td id=a1 "
        "style=\"width:100px\">x</td></tr></table>"
        "<table id=b border=1 cellpadding=3 cellspacing=0><tr><td id=b1 "
        "style=\"width:100px\">x</td></tr></table>");
    struct Case {
        const char* table;
        const char* cell;
        int padding;
    };
    for (const Case& c : {Case{"a", "a1", 6}, Case{"b", "b1", 8}}) {
        const DomRef cell = ById(c.cell);
        const qint64 width = cell.Get("offsetWidth").ToInt();
        const qint64 height = cell.Get("offsetHeight").ToInt();
        FreezeCellSizes(ById(c.table));
        EXPECT_EQ(GetAttr(cell, "width"), QString::number(width - c.padding)) << c.table;
        EXPECT_EQ(GetAttr(cell, "height"), QString::number(height)) << c.table;
        EXPECT_EQ(GetAttr(cell.Ref("style"), "width"), "") << c.table;
    }
}

TEST_F(DOMToolsTest, BorderHitTestFindsRowAndColumnBordersButNotCorners) {
    const DomRef doc = Load(
        "<table id=t cellspacing=4 cellpadding=0 border=0 style=\"position:absolute;left:0;top:0\">"
        "<tr><td style=\"width:50px;height:20px\">a</td><td style=\"width:50px;height:20px\">b</td></tr>"
        "<tr><td style=\"width:50px;height:20px\">c</td><td "
        "style=\"width:50px;height:20px\">d</td></tr></table>");
    doc.Ref("body").Call("setAttribute", {"style", "margin:0", 0});
    const DomRef table = ById("t");
    const DomRef cells = table.Ref("cells");
    const ElementRectangle a = ElementRect(cells.Call("item", {0}).ToRef());
    const ElementRectangle b = ElementRect(cells.Call("item", {1}).ToRef());
    QList<QPoint> directions;

    // Between cells a and b, halfway down the first row: a column border.
    EXPECT_EQ(TableBorderHitTest(table, QPoint(a.right + 2, a.top + 10), directions),
              TableBorder::ColumnBorder);
    EXPECT_EQ(directions.value(0), QPoint(1, 0));
    EXPECT_EQ(directions.value(1), QPoint(-1, 0));

    // Under cell a, in the spacing between the rows: a row border for every cell at that height.
    EXPECT_EQ(TableBorderHitTest(table, QPoint(a.left + 10, a.bottom + 2), directions),
              TableBorder::RowBorder);
    EXPECT_EQ(directions, (QList<QPoint>{{0, 1}, {0, 1}, {0, -1}, {0, -1}}));

    // Where the four cells meet: nothing, and every direction back to (0, 0).
    EXPECT_EQ(TableBorderHitTest(table, QPoint(a.right + 2, a.bottom + 2), directions),
              TableBorder::NoBorder);
    EXPECT_EQ(directions, QList<QPoint>(4, QPoint(0, 0)));

    // Inside a cell.
    EXPECT_EQ(TableBorderHitTest(table, QPoint(b.left + 20, b.top + 10), directions), TableBorder::NoBorder);
}

TEST_F(DOMToolsTest, CountsWordsCharactersAndSentences) {
    const DomRef doc = Load("<p>The boat left at 7 sharp. Nobody rowed.</p>");
    EXPECT_EQ(CountWords(doc), 7);  // "7" begins with a digit: not a word
    EXPECT_GE(CountWordCharacters(doc), 31);
    EXPECT_EQ(CountSentences(doc), 2);
}

TEST_F(DOMToolsTest, DocumentOperations) {
    const DomRef doc = Load("<map name=First></map><map name=nav></map><p>x</p>");
    EXPECT_EQ(MapIndexByName(doc, "NAV"), 1);
    EXPECT_EQ(MapIndexByName(doc, "none"), -1);
    SetPageColor(doc, QColor(255, 128, 0));
    EXPECT_EQ(PageColor(doc), QColor(255, 128, 0));
    EXPECT_EQ(doc.Text("bgColor").remove('#').toLower(), "ff8000");
}

}  // namespace
}  // namespace plovane
