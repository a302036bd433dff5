// The late-bound object model with the classic semantics the dialogs and DOM helpers rely on.
#include "EngineFixture.h"
#include "platform/Errors.h"

namespace plovane::test {

namespace {

const char* const ModelPage =
    "<html><head><title>Model</title><meta http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"
    "<script id=s1>var a = 1;</script></head>"
    "<body id=body leftMargin=10 bgColor=#ffffff>"
    "<!--note-->"
    "<table id=t border=0 cellSpacing=2 borderColor=red borderColorLight=#eeeeee><tr id=r1><td id=c1>one</td>"
    "<td id=c2>two</td></tr><tr><td id=c3>three</td><td>four</td></tr></table>"
    "<img id=i src=\"pics/a.gif\" style=\"filter: alpha(opacity=50); WIDTH: 20px\" useMap=#m hspace=4>"
    "<a id=l href=\"x.htm\">link</a><a name=anchor>here</a>"
    "<form id=f action=go.cgi><input id=in name=q value=v><select id=sel><option>a<option>b</select></form>"
    "<marquee id=mq behavior=slide scrollAmount=3>m</marquee>"
    "<div id=abs style=\"position: absolute; left: 10px; top: 20px\">floating</div>"
    "</body></html>";

}  // namespace

class DocumentModelTest : public EngineTest {
protected:
    void SetUp() override { Load(ModelPage); }
};

struct AttributeCase {
    const char* id;
    const char* name;
    const char* value;
};

class AttributeTest : public DocumentModelTest, public ::testing::WithParamInterface<AttributeCase> {};

TEST_P(AttributeTest, GetAttributeGivesTheTextAsWrittenWhateverTheCase) {
    const auto c = GetParam();
    EXPECT_EQ(ById(c.id).Call("getAttribute", {c.name, 2}).ToString(), c.value) << c.id << "." << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, AttributeTest,
    ::testing::Values(AttributeCase{"i", "src", "pics/a.gif"}, AttributeCase{"i", "SRC", "pics/a.gif"},
                      AttributeCase{"i", "usemap", "#m"}, AttributeCase{"l", "href", "x.htm"},
                      AttributeCase{"t", "bordercolor", "red"}, AttributeCase{"t", "width", ""},
                      AttributeCase{"body", "LEFTMARGIN", "10"}, AttributeCase{"i", "className", ""}));

TEST_F(DocumentModelTest, SetAndRemoveAttribute) {
    const DomRef img = ById("i");
    img.Call("setAttribute", {"ALT", "picture", 0});
    EXPECT_EQ(img.Call("getAttribute", {"alt", 2}).ToString(), "picture");
    EXPECT_TRUE(img.Call("removeAttribute", {"alt", 0}).ToBool());
    EXPECT_FALSE(img.Call("removeAttribute", {"alt", 0}).ToBool());
    img.Call("setAttribute", {"className", "big", 0});
    EXPECT_TRUE(img.Text("outerHTML").contains("class=\"big\""));
}

TEST_F(DocumentModelTest, PropertiesGiveCurrentValuesAndWriteTheReflectedAttribute) {
    const DomRef table = ById("t");
    EXPECT_EQ(table.Text("cellSpacing"), "2");
    EXPECT_EQ(table.Text("border"), "0");
    EXPECT_EQ(table.Text("borderColor"), "red");
    EXPECT_EQ(table.Text("borderColorLight"), "#eeeeee");
    EXPECT_EQ(table.Text("borderColorDark"), "");
    table.Put("borderColorDark", "#111111");
    table.Put("bgColor", "#ff0000");
    EXPECT_EQ(table.Call("getAttribute", {"bordercolordark", 2}).ToString(), "#111111");
    EXPECT_EQ(table.Call("getAttribute", {"bgcolor", 2}).ToString(), "#ff0000");

    const DomRef img = ById("i");
    EXPECT_EQ(img.Get("width").ToInt(), 20) << "no width attribute: the displayed width";
    EXPECT_EQ(img.Get("hspace").ToInt(), 4);
    EXPECT_EQ(img.Get("hSpace").ToInt(), 4) << "member names ignore case";
    EXPECT_EQ(table.Text("CELLSPACING"), "2");
    img.Put("vSpace", 7);
    EXPECT_EQ(img.Call("getAttribute", {"vspace", 2}).ToString(), "7");
    EXPECT_EQ(img.Text("useMap"), "#m");
    EXPECT_EQ(ById("body").Text("leftMargin"), "10");
    EXPECT_EQ(ById("mq").Text("behavior"), "slide");
    EXPECT_EQ(ById("in").Text("value"), "v");
    EXPECT_EQ(ById("f").Text("action").endsWith("go.cgi"), true);

    const DomRef doc = Doc();
    EXPECT_EQ(doc.Text("title"), "Model");
    EXPECT_EQ(doc.Text("bgColor"), "#ffffff");
    EXPECT_EQ(doc.Text("charset"), "iso-8859-1");
    EXPECT_FALSE(doc.Text("defaultCharset").isEmpty());
    doc.Put("bgColor", "#00ff00");
    EXPECT_EQ(ById("body").Call("getAttribute", {"bgcolor", 2}).ToString(), "#00ff00");
}

TEST_F(DocumentModelTest, StyleKeepsFilterAndScrollbarColoursAsText) {
    const DomRef img = ById("i");
    const DomRef style = img.Ref("style");
    EXPECT_EQ(style.Text("filter"), "alpha(opacity=50)");
    EXPECT_EQ(style.Text("width"), "20px");
    style.Put("height", "30px");
    EXPECT_EQ(style.Text("filter"), "alpha(opacity=50)") << "a CSSOM write must not drop it";
    const DomRef body = ById("body").Ref("style");
    body.Put("scrollbarFaceColor", "#ff0000");
    body.Put("scrollbarArrowColor", "blue");
    EXPECT_EQ(body.Text("scrollbarFaceColor"), "#ff0000");
    body.Put("scrollbarFaceColor", "");
    EXPECT_EQ(body.Text("scrollbarFaceColor"), "");
    EXPECT_EQ(ById("body").Call("getAttribute", {"style", 2}).ToString(), "scrollbar-arrow-color: blue");
    style.Put("filter", "");
    EXPECT_FALSE(img.Text("outerHTML").contains("alpha"));
    EXPECT_EQ(style.Text("height"), "30px");
}

TEST_F(DocumentModelTest, CollectionsAndSourceIndex) {
    const DomRef doc = Doc();
    const DomRef all = doc.Ref("all");
    const int count = all.Get("length").ToInt();
    EXPECT_GT(count, 20);
    EXPECT_EQ(all.Call("tags", {"TD"}).ToRef().Get("length").ToInt(), 4);
    EXPECT_EQ(all.Call("tags", {"td"}).ToRef().Call("item", {2}).ToRef().Text("id"), "c3");
    EXPECT_EQ(doc.Ref("images").Get("length").ToInt(), 1);
    EXPECT_EQ(doc.Ref("links").Get("length").ToInt(), 1) << "a named anchor is no link";
    EXPECT_EQ(doc.Ref("forms").Get("length").ToInt(), 1);
    EXPECT_EQ(doc.Ref("scripts").Call("item", {0}).ToRef().Text("text"), "var a = 1;");
    EXPECT_EQ(ById("t").Ref("cells").Get("length").ToInt(), 4);
    EXPECT_EQ(ById("r1").Ref("cells").Get("length").ToInt(), 2);
    EXPECT_EQ(ById("sel").Ref("options").Get("length").ToInt(), 2);
    EXPECT_EQ(ById("t").Ref("children").Get("length").ToInt(), 1);

    // A tree node numbered with sourceIndex leads back to its own element.
    const DomRef cell = ById("c2");
    const int index = cell.Get("sourceIndex").ToInt();
    EXPECT_TRUE(doc.Ref("all").Call("item", {index}).ToRef().SameAs(cell));

    const DomRef comment = all.Call("tags", {"!"}).ToRef().Call("item", {0}).ToRef();
    EXPECT_EQ(comment.Text("tagName"), "!");
    EXPECT_EQ(comment.Text("text"), "<!--note-->");
    comment.Put("text", "<!--changed-->");
    EXPECT_TRUE(Body().contains("<!--changed-->"));
}

TEST_F(DocumentModelTest, CreateInsertAndRemoveElements) {
    const DomRef doc = Doc();
    const DomRef map = doc.Call("createElement", {"<MAP name=\"m\">"}).ToRef();
    EXPECT_EQ(map.Text("tagName"), "MAP");
    EXPECT_EQ(map.Call("getAttribute", {"name", 2}).ToString(), "m");
    doc.Ref("body").Call("insertAdjacentElement", {"BeforeEnd", map});
    EXPECT_EQ(doc.Ref("all").Call("tags", {"map"}).ToRef().Get("length").ToInt(), 1);

    const DomRef script = doc.Call("createElement", {"SCRIPT"}).ToRef();
    script.Put("text", "\nalert(1)");
    ById("l").Call("insertAdjacentElement", {"AfterEnd", script});
    EXPECT_TRUE(Body().contains("</a><script>\nalert(1)</script>"));

    ById("c1").Call("insertAdjacentHTML", {"AfterBegin", "<b>new</b>"});
    EXPECT_EQ(ById("c1").Text("innerHTML"), "<b>new</b>one");
    ById("l").Call("removeNode", {false});
    EXPECT_TRUE(ById("l").IsEmpty());
    EXPECT_TRUE(Body().contains(">link<")) << "the children stay";
    ById("t").Call("removeNode", {true});
    EXPECT_TRUE(ById("c1").IsEmpty());

    const DomRef option = doc.Call("createElement", {"OPTION"}).ToRef();
    option.Put("value", "3");
    option.Put("innerText", "c");
    ById("sel").Call("appendChild", {option});
    EXPECT_EQ(ById("sel").Ref("options").Get("length").ToInt(), 3);

    ById("mq").Put("outerHTML", "<hr id=rule>");
    EXPECT_EQ(ById("rule").Text("tagName"), "HR");
}

TEST_F(DocumentModelTest, ScratchDocumentParsesFragments) {
    const DomRef scratch = Edit().CreateScratchDocument();
    scratch.Call("write", {"<param name=a value=1><param name=b value=2>"});
    const DomRef params = scratch.Ref("all").Call("tags", {"PARAM"}).ToRef();
    ASSERT_EQ(params.Get("length").ToInt(), 2);
    EXPECT_EQ(params.Call("item", {1}).ToRef().Text("value"), "2");
    EXPECT_THROW(Doc().Call("write", {"<p>no</p>"}), EngineError) << "the shown page is never overwritten";
}

TEST_F(DocumentModelTest, GeometryAndPointLookup) {
    const DomRef div = ById("abs");
    EXPECT_EQ(div.Get("offsetLeft").ToInt(), 10);
    EXPECT_EQ(div.Get("offsetTop").ToInt(), 20);
    EXPECT_GT(div.Get("offsetWidth").ToInt(), 0);
    const DomRef hit = Doc().Call("elementFromPoint", {15, 25}).ToRef();
    EXPECT_TRUE(hit.SameAs(div)) << qPrintable(hit.Text("tagName"));
    div.Call("scrollIntoView");
    EXPECT_EQ(Doc().Ref("location").Text("pathname").isEmpty(), false);
}

TEST_F(DocumentModelTest, SelectionTypes) {
    const DomRef selection = Doc().Ref("selection");
    Doc().Call("execCommand", {"Unselect"});
    EXPECT_EQ(selection.Text("type"), "None");
    SelectText("c1");
    EXPECT_EQ(selection.Text("type"), "Text");
    EXPECT_EQ(selection.Call("createRange").ToRef().Text("text"), "one");

    // Clicking an image makes a control selection.
    const QPoint at(ById("i").Get("offsetLeft").ToInt() + 2, ById("i").Get("offsetTop").ToInt() + 2);
    Js(QString(
           "document.dispatchEvent(new MouseEvent('mousedown', {bubbles: true, clientX: %1, clientY: %2}));"
           "document.getElementById('i').dispatchEvent(new MouseEvent('mousedown', {bubbles: true}))")
           .arg(at.x())
           .arg(at.y()));
    EXPECT_EQ(selection.Text("type"), "Control");
    const DomRef control = selection.Call("createRange").ToRef();
    EXPECT_TRUE(control.Call("commonParentElement").ToRef().SameAs(ById("i")));
    selection.Call("clear");
    EXPECT_TRUE(ById("i").IsEmpty()) << "clearing a control selection deletes the element";
    EXPECT_EQ(selection.Text("type"), "None");
}

TEST_F(DocumentModelTest, BookmarksAndDocumentCommands) {
    SelectText("c1");
    EXPECT_TRUE(Doc().Call("execCommand", {"CreateBookmark", false, "mark"}).ToBool());
    EXPECT_TRUE(ById("c1").Text("innerHTML").contains("<a name=\"mark\">one</a>"));
    SelectText("c1");
    EXPECT_TRUE(Doc().Call("execCommand", {"UnBookmark"}).ToBool());
    EXPECT_EQ(ById("c1").Text("innerHTML"), "one");
    SelectText("c2");
    Doc().Call("execCommand", {"Bold"});
    EXPECT_TRUE(Doc().Call("queryCommandState", {"Bold"}).ToBool());
    EXPECT_EQ(ById("c2").Text("innerHTML"), "<b>two</b>");
}

TEST_F(DocumentModelTest, MouseEventsReachTheWindowEvent) {
    Js("document.getElementById('c3').dispatchEvent(new MouseEvent('mousemove', {bubbles: true, clientX: 7, "
       "clientY: 9}))");
    const DomRef event = Doc().Ref("parentWindow").Ref("event");
    EXPECT_EQ(event.Ref("srcElement").Text("id"), "c3");
    EXPECT_EQ(event.Get("x").ToInt(), 7);
    EXPECT_EQ(event.Get("y").ToInt(), 9);
}

// Each margin attribute of BODY sets its own side, below the page's own style rules.
TEST_F(EngineTest, BodyMarginAttributesSetOneSideEach) {
    const QString margins =
        "(function () { const s = getComputedStyle(document.body); return [s.marginLeft, s.marginRight,"
        " s.marginTop, s.marginBottom].join(' '); })()";
    Load("<html><body leftMargin=40 rightMargin=10 topMargin=5><p>x</p></body></html>");
    EXPECT_EQ(Js(margins), "40px 10px 5px 8px");
    const DomRef body = Doc().Ref("body");
    body.Put("rightMargin", 30);
    body.Put("leftMargin", "");
    EXPECT_EQ(body.Text("rightMargin"), "30");
    EXPECT_EQ(Js(margins), "8px 30px 5px 8px");

    Load("<html><head><style>body { margin-right: 2px }</style></head><body leftMargin=40></body></html>");
    EXPECT_EQ(Js(margins), "40px 2px 8px 8px");
    EXPECT_FALSE(Edit().DocumentHTML().contains("margin-left")) << "the sheet is no part of the page";
}

}  // namespace plovane::test
