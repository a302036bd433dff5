// Every DECMD_* command: its effect on a small page and the status it reports.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "EngineFixture.h"
#include "engine/QelDHTMLLib.h"
#include "platform/Errors.h"
#include "support/ScriptedPrompter.h"

namespace plovane::test {

namespace {

const char* const TextPage = "<body><p id=p>alpha beta</p></body>";
const char* const TablePage =
    "<body><table id=t><tr id=r1><td id=a>a</td><td id=b>b</td></tr><tr id=r2><td id=c>c</td><td "
    "id=d>d</td></tr>"
    "</table></body>";

}  // namespace

// A command's effect is checked one of two ways. Formatting that Chromium writes is checked by
// its meaning, a script expression over the changed text, so another spelling of the same markup
// (<b> or a bold span, a blockquote or a margin) still passes; within it `t` is the first text
// node of the body that is not blank (null when none is left) and `s` its computed style. Table
// commands are our own code and write exactly the markup given.
struct EffectCase {
    const char* name;
    const char* page;
    const char* selectId;  // whole text of this element selected
    int command;
    const char* input;
    const char* meaning;    // script that must be true afterwards, or nullptr
    const char* elementId;  // with markup: whose innerHTML (or the body's, when empty) is compared
    const char* markup;
};

void PrintTo(const EffectCase& c, std::ostream* os) { *os << c.name; }

EffectCase Means(const char* name, const char* page, const char* selectId, int command, const char* input,
                 const char* meaning) {
    return {name, page, selectId, command, input, meaning, nullptr, nullptr};
}

EffectCase Writes(const char* name, const char* page, const char* selectId, int command,
                  const char* elementId, const char* markup) {
    return {name, page, selectId, command, nullptr, nullptr, elementId, markup};
}

class CommandEffectTest : public EngineTest, public ::testing::WithParamInterface<EffectCase> {};

TEST_P(CommandEffectTest, ChangesTheDocument) {
    const auto c = GetParam();
    Load(c.page);
    SelectText(c.selectId);
    Edit().ExecCommand(c.command, OLECMDEXECOPT_DONTPROMPTUSER, c.input ? QVariant(c.input) : QVariant());
    if (c.meaning) {
        const QString check = QString(
                                  "(function () { const w = document.createTreeWalker(document.body, "
                                  "NodeFilter.SHOW_TEXT); let t = w.nextNode();"
                                  " while (t && !t.data.trim()) t = w.nextNode();"
                                  " const s = t ? getComputedStyle(t.parentElement) : null;"
                                  " return Boolean(%1); })()")
                                  .arg(c.meaning);
        EXPECT_EQ(Js(check), "true") << c.meaning << "\n" << qPrintable(Body());
    } else {
        const QString html = *c.elementId ? ById(c.elementId).Text("innerHTML") : Body();
        EXPECT_EQ(html, c.markup);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandEffectTest,
    ::testing::Values(
        Means("bold", TextPage, "p", DECMD_BOLD, nullptr, "Number(s.fontWeight) >= 700"),
        Means("italic", TextPage, "p", DECMD_ITALIC, nullptr, "s.fontStyle === 'italic'"),
        Means("underline", TextPage, "p", DECMD_UNDERLINE, nullptr,
              "t.parentElement.closest('u, [style*=underline]') !== null"),
        Means("delete", TextPage, "p", DECMD_DELETE, nullptr,
              "document.getElementById('p').textContent === ''"),
        Means("fontname", TextPage, "p", DECMD_SETFONTNAME, "Arial", "s.fontFamily.includes('Arial')"),
        Means("fontsize", TextPage, "p", DECMD_SETFONTSIZE, "5", "s.fontSize === '24px'"),
        Means("forecolor", TextPage, "p", DECMD_SETFORECOLOR, "#ff0000", "s.color === 'rgb(255, 0, 0)'"),
        Means("link", TextPage, "p", DECMD_HYPERLINK, "x.htm",
              "t.data === 'alpha beta' && t.parentElement.closest('a').getAttribute('href') === 'x.htm'"),
        Means("unlink", "<body><p id=p><a href=x id=l>go</a></p></body>", "l", DECMD_UNLINK, nullptr,
              "t.data === 'go' && !t.parentElement.closest('a')"),
        Means("heading", TextPage, "p", DECMD_SETBLOCKFMT, "Heading 2",
              "t.parentElement.closest('h2') !== null"),
        Means("formatted", TextPage, "p", DECMD_SETBLOCKFMT, "Formatted",
              "t.parentElement.closest('pre') !== null"),
        Means("normal", "<body><h1 id=h>x</h1></body>", "h", DECMD_SETBLOCKFMT, "normal",
              "!t.parentElement.closest('h1') && t.parentElement.closest('p') !== null"),
        Means("bullets", TextPage, "p", DECMD_SETBLOCKFMT, "Bulleted List",
              "t.parentElement.closest('ul > li') !== null"),
        Means("numbers", TextPage, "p", DECMD_ORDERLIST, nullptr,
              "t.parentElement.closest('ol > li') !== null"),
        Means("center", TextPage, "p", DECMD_JUSTIFYCENTER, nullptr, "s.textAlign === 'center'"),
        Means("removeformat", "<body><p id=p><b id=b>x</b></p></body>", "b", DECMD_REMOVEFORMAT, nullptr,
              "Number(s.fontWeight) < 700"),
        Means("indent", TextPage, "p", DECMD_INDENT, nullptr,
              "t.parentElement.getBoundingClientRect().left - document.body.getBoundingClientRect().left "
              ">= 30"),
        Means("outdent", "<body><blockquote><p id=p>x</p></blockquote></body>", "p", DECMD_OUTDENT, nullptr,
              "t.parentElement.getBoundingClientRect().left === document.body.getBoundingClientRect().left"),
        Means("right", TextPage, "p", DECMD_JUSTIFYRIGHT, nullptr, "s.textAlign === 'right'"),
        Means("left", "<body><p id=p align=right>x</p></body>", "p", DECMD_JUSTIFYLEFT, nullptr,
              "s.textAlign === 'left'"),
        Means("bulletlist", TextPage, "p", DECMD_UNORDERLIST, nullptr,
              "t.parentElement.closest('ul > li') !== null"),
        Means("backcolor", TextPage, "p", DECMD_SETBACKCOLOR, "#ffff00",
              "getComputedStyle(t.parentElement).backgroundColor === 'rgb(255, 255, 0)'"),
        Means("image", TextPage, "p", DECMD_IMAGE, "pic.gif",
              "document.querySelector('#p img').getAttribute('src') === 'pic.gif'"),
        Writes("insertrow", TablePage, "a", DECMD_INSERTROW, "t",
               "<tbody><tr><td>&nbsp;</td><td>&nbsp;</td></tr><tr id=\"r1\"><td id=\"a\">a</td><td "
               "id=\"b\">b</td></tr><tr id=\"r2\"><td id=\"c\">c</td><td id=\"d\">d</td></tr></tbody>"),
        Writes("insertcol", TablePage, "b", DECMD_INSERTCOL, "t",
               "<tbody><tr id=\"r1\"><td id=\"a\">a</td><td>&nbsp;</td><td id=\"b\">b</td></tr><tr "
               "id=\"r2\"><td id=\"c\">c</td><td>&nbsp;</td><td id=\"d\">d</td></tr></tbody>"),
        Writes("insertcell", TablePage, "d", DECMD_INSERTCELL, "r2",
               "<td id=\"c\">c</td><td>&nbsp;</td><td id=\"d\">d</td>"),
        Writes("deletecols", TablePage, "a", DECMD_DELETECOLS, "t",
               "<tbody><tr id=\"r1\"><td id=\"b\">b</td></tr><tr id=\"r2\"><td id=\"d\">d</td></tr></tbody>"),
        Writes("deleterows", TablePage, "c", DECMD_DELETEROWS, "t",
               "<tbody><tr id=\"r1\"><td id=\"a\">a</td><td id=\"b\">b</td></tr></tbody>"),
        Writes("deletecells", TablePage, "b", DECMD_DELETECELLS, "r1", "<td id=\"a\">a</td>"),
        Writes("split", "<body><table><tr id=r><td id=m colspan=2>m</td></tr></table></body>", "m",
               DECMD_SPLITCELL, "r", "<td id=\"m\">m</td><td>&nbsp;</td>")));

TEST_F(EngineTest, AFontSizeReadOverMixedSizesIsEmpty) {
    Load(
        "<body><p id=m><font size=2>small</font> <font size=5>large</font></p><p id=one><font "
        "size=5>x</font></p></body>");
    SelectText("m");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETFONTSIZE).toString(), "");
    SelectText("one");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETFONTSIZE).toInt(), 5);
}

TEST_F(EngineTest, MergeCellsNeedsASelectionOverSeveralCells) {
    Load(TablePage);
    SelectText("a");
    EXPECT_EQ(Edit().QueryStatus(DECMD_MERGECELLS), DECMDF_DISABLED);
    EXPECT_THROW(Edit().ExecCommand(DECMD_MERGECELLS), EngineError);
    Js("(function () { const r = document.createRange(); r.setStart(document.getElementById('a').firstChild, "
       "0);"
       " r.setEnd(document.getElementById('b').firstChild, 1); getSelection().removeAllRanges();"
       " getSelection().addRange(r); return ''; })()");
    EXPECT_EQ(Edit().QueryStatus(DECMD_MERGECELLS), DECMDF_ENABLED);
    Edit().ExecCommand(DECMD_MERGECELLS);
    EXPECT_EQ(ById("r1").Text("innerHTML"), "<td id=\"a\" colspan=\"2\">ab</td>");
    EXPECT_EQ(Edit().QueryStatus(DECMD_SPLITCELL), DECMDF_ENABLED);
}

struct StatusCase {
    const char* name;
    const char* page;
    const char* selectId;  // empty: no selection at all
    int command;
    int status;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class CommandStatusTest : public EngineTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(CommandStatusTest, ReportsWhereTheCommandApplies) {
    const auto c = GetParam();
    Load(c.page);
    if (*c.selectId)
        SelectText(c.selectId);
    else
        Doc().Call("execCommand", {"Unselect"});
    EXPECT_EQ(Edit().QueryStatus(c.command), c.status);
}

const char* const BoldPage =
    "<body><p id=p>plain</p><p><b id=b>bold</b></p><h3 id=h>head</h3>"
    "<ol><li id=li>item</li></ol><p id=c style=\"text-align: center\">mid</p></body>";

INSTANTIATE_TEST_SUITE_P(
    Statuses, CommandStatusTest,
    ::testing::Values(StatusCase{"bold_latched", BoldPage, "b", DECMD_BOLD, DECMDF_LATCHED},
                      StatusCase{"bold_enabled", BoldPage, "p", DECMD_BOLD, DECMDF_ENABLED},
                      StatusCase{"center_latched", BoldPage, "c", DECMD_JUSTIFYCENTER, DECMDF_LATCHED},
                      StatusCase{"copy_needs_selection", BoldPage, "", DECMD_COPY, DECMDF_DISABLED},
                      StatusCase{"copy", BoldPage, "p", DECMD_COPY, DECMDF_ENABLED},
                      StatusCase{"undo_nothing", BoldPage, "p", DECMD_UNDO, DECMDF_DISABLED},
                      StatusCase{"row_outside_table", BoldPage, "p", DECMD_INSERTROW, DECMDF_DISABLED},
                      StatusCase{"row_in_table", TablePage, "a", DECMD_INSERTROW, DECMDF_ENABLED},
                      StatusCase{"split_plain_cell", TablePage, "a", DECMD_SPLITCELL, DECMDF_DISABLED},
                      StatusCase{"absolute_without_control", BoldPage, "p", DECMD_MAKE_ABSOLUTE,
                                 DECMDF_DISABLED},
                      StatusCase{"properties", BoldPage, "p", DECMD_PROPERTIES, DECMDF_NOTSUPPORTED},
                      StatusCase{"unknown", BoldPage, "p", 4000, DECMDF_NOTSUPPORTED}));

TEST_F(EngineTest, GetCommandsReadTheFormatAtTheSelection) {
    Load(BoldPage);
    const std::pair<const char*, const char*> formats[] = {
        {"p", "Normal"}, {"h", "Heading 3"}, {"li", "Numbered List"}};
    for (const auto& [id, name] : formats) {
        SelectText(id);
        EXPECT_EQ(Edit().ExecCommand(DECMD_GETBLOCKFMT).toString(), name) << id;
    }
    SelectText("p");
    Edit().ExecCommand(DECMD_SETFONTSIZE, OLECMDEXECOPT_DONTPROMPTUSER, 6);
    Edit().ExecCommand(DECMD_SETFORECOLOR, OLECMDEXECOPT_DONTPROMPTUSER, "#00ff00");
    Edit().ExecCommand(DECMD_SETFONTNAME, OLECMDEXECOPT_DONTPROMPTUSER, "Courier New");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETFONTSIZE).toInt(), 6);
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETFORECOLOR).toString(), "#00ff00");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETFONTNAME).toString(), "Courier New");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETBLOCKFMTNAMES).toStringList().size(), 13);
    Edit().ExecCommand(DECMD_SETBACKCOLOR, OLECMDEXECOPT_DONTPROMPTUSER, "#0000ff");
    EXPECT_EQ(Edit().ExecCommand(DECMD_GETBACKCOLOR).toString(), "#0000ff");
    Edit().ExecCommand(DECMD_SELECTALL);
    EXPECT_EQ(Doc().Ref("selection").Call("createRange").ToRef().Text("text"),
              "plain\nbold\nhead\nitem\nmid");
}

// The batch answers every command as the single query does, in one call into the page, and reads
// the current values as the reading commands give them; a read that fails is left out alone.
TEST_F(EngineTest, QueryStatusManyAnswersAsTheSingleQueriesDo) {
    QList<int> all;
    for (const auto& definition : TDHTMLEdit::Commands()) all << definition.Command;
    all << DECMD_PROPERTIES << 4000;
    const QList<int> reads = {DECMD_GETBLOCKFMT, DECMD_GETFONTNAME, DECMD_GETFONTSIZE, DECMD_GETFORECOLOR};
    const std::pair<const char*, const char*> places[] = {
        {BoldPage, "b"}, {BoldPage, "li"}, {TablePage, "a"}};
    for (const auto& [page, id] : places) {
        Load(page);
        SelectText(id);
        const TDHTMLEdit::CommandStates states = Edit().QueryStatusMany(all, reads);
        for (const int command : all)
            EXPECT_EQ(states.Status.value(command, -1), Edit().QueryStatus(command)) << id << " " << command;
        for (const int command : reads)
            EXPECT_EQ(states.Values.value(command), Edit().ExecCommand(command)) << id << " " << command;
    }
    Js("(function () { const read = document.queryCommandValue;"
       " document.queryCommandValue = function (name) {"
       "   if (name === 'fontName') throw new Error('unreadable');"
       "   return read.call(document, name); }; return ''; })()");
    const TDHTMLEdit::CommandStates states = Edit().QueryStatusMany({DECMD_BOLD}, reads);
    EXPECT_FALSE(states.Values.contains(DECMD_GETFONTNAME));
    EXPECT_EQ(states.Values.value(DECMD_GETBLOCKFMT).toString(), "Normal");
    EXPECT_EQ(states.Status.value(DECMD_BOLD), DECMDF_ENABLED);
}

TEST_F(EngineTest, UndoAndRedoFollowTheEdits) {
    Load(TextPage);
    SelectText("p");
    Edit().ExecCommand(DECMD_BOLD);
    EXPECT_EQ(Edit().QueryStatus(DECMD_UNDO), DECMDF_ENABLED);
    Edit().ExecCommand(DECMD_UNDO);
    EXPECT_EQ(ById("p").Text("innerHTML"), "alpha beta");
    EXPECT_EQ(Edit().QueryStatus(DECMD_REDO), DECMDF_ENABLED);
    Edit().ExecCommand(DECMD_REDO);
    EXPECT_EQ(ById("p").Text("innerHTML"), "<b>alpha beta</b>");
}

TEST_F(EngineTest, CutCopyAndPasteGoThroughTheClipboard) {
    Load("<body><p id=p>one <b>two</b></p><p id=q>x</p></body>");
    SelectText("p", 0, 3);
    Edit().ExecCommand(DECMD_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "one");
    Js("(function () { const r = document.createRange(); r.selectNodeContents(document.getElementById('p'));"
       " getSelection().removeAllRanges(); getSelection().addRange(r); return ''; })()");
    Edit().ExecCommand(DECMD_CUT);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->html().contains("<b>two</b>"));
    EXPECT_EQ(ById("p").Text("innerText").trimmed(), "");
    SelectText("q");
    Edit().ExecCommand(DECMD_PASTE);
    EXPECT_TRUE(ById("q").Text("innerHTML").contains("<b>two</b>")) << qPrintable(Body());
}

TEST_F(EngineTest, DialogCommandsAskThroughThePrompter) {
    Load(TextPage);
    ScopedPrompter prompter;
    SelectText("p", 0, 5);
    prompter->Inputs.push_back(QString("http://example.org/"));
    Edit().ExecCommand(DECMD_HYPERLINK);
    EXPECT_EQ(ById("p").Text("innerHTML"), "<a href=\"http://example.org/\">alpha</a> beta");

    prompter->Inputs.push_back(std::nullopt);  // Cancel changes nothing
    SelectText("p", 0, 0);
    EXPECT_FALSE(Edit().ExecCommand(DECMD_IMAGE).isValid());

    Doc().Call("execCommand", {"Unselect"});
    prompter->Inputs.push_back(QString("beta"));
    EXPECT_TRUE(Edit().ExecCommand(DECMD_FINDTEXT).toBool());
    EXPECT_EQ(Doc().Ref("selection").Call("createRange").ToRef().Text("text"), "beta");
    Doc().Call("execCommand", {"Unselect"});
    EXPECT_TRUE(Edit().FindNext()) << "Find Next repeats the search without a dialog";

    SelectText("p", 0, 0);
    Js("(function () { const r = document.createRange(); r.selectNodeContents(document.getElementById('p'));"
       " getSelection().removeAllRanges(); getSelection().addRange(r); return ''; })()");
    QFont font("Courier New");
    font.setBold(true);
    font.setPointSize(24);
    prompter->Fonts.push_back(font);
    Edit().ExecCommand(DECMD_FONT);
    const QString html = ById("p").Text("innerHTML");
    EXPECT_TRUE(html.contains("face=\"Courier New\"") && html.contains("size=\"6\"") && html.contains("<b>"))
        << qPrintable(html);
}

TEST_F(EngineTest, AbsolutePositionZOrderAndLock) {
    Load(
        "<body><img id=i src=a.gif width=20 height=20><div id=o style=\"position: absolute; z-index: "
        "3\">o</div>"
        "</body>");
    Js("document.getElementById('i').dispatchEvent(new MouseEvent('mousedown', {bubbles: true}))");
    ASSERT_EQ(Doc().Ref("selection").Text("type"), "Control");
    EXPECT_EQ(Edit().QueryStatus(DECMD_MAKE_ABSOLUTE), DECMDF_ENABLED);
    EXPECT_EQ(Edit().QueryStatus(DECMD_BRING_TO_FRONT), DECMDF_DISABLED);
    Edit().ExecCommand(DECMD_MAKE_ABSOLUTE);
    EXPECT_EQ(Edit().QueryStatus(DECMD_MAKE_ABSOLUTE), DECMDF_LATCHED);
    const DomRef style = ById("i").Ref("style");
    EXPECT_EQ(style.Text("position"), "absolute");
    Edit().ExecCommand(DECMD_BRING_TO_FRONT);
    EXPECT_EQ(style.Text("zIndex"), "4");
    Edit().ExecCommand(DECMD_SEND_BELOW_TEXT);
    EXPECT_LT(style.Get("zIndex").ToInt(), 0);
    Edit().ExecCommand(DECMD_LOCK_ELEMENT);
    EXPECT_EQ(Edit().QueryStatus(DECMD_LOCK_ELEMENT), DECMDF_LATCHED);

    // A locked element does not move when dragged; an unlocked one does, on the grid.
    const QString drag =
        "(function () { const el = document.getElementById('i');"
        " el.dispatchEvent(new MouseEvent('mousedown', {bubbles: true, clientX: 5, clientY: 5, buttons: 1}));"
        " el.dispatchEvent(new MouseEvent('mousemove', {bubbles: true, clientX: 58, clientY: 45, buttons: "
        "1}));"
        " el.dispatchEvent(new MouseEvent('mouseup', {bubbles: true})); return el.style.left + ',' + "
        "el.style.top; })()";
    const QString before =
        Js("document.getElementById('i').style.left + ',' + document.getElementById('i').style.top");
    EXPECT_EQ(Js(drag), before);
    Edit().ExecCommand(DECMD_LOCK_ELEMENT);
    Edit().SetSnapToGrid(true);
    Js("document.getElementById('i').style.left = '0px'; document.getElementById('i').style.top = '0px'");
    EXPECT_EQ(Js(drag), "56px,40px");
    Edit().SetSnapToGrid(false);
    Edit().ExecCommand(DECMD_MAKE_ABSOLUTE);
    EXPECT_EQ(style.Text("position"), "");
}

TEST_F(EngineTest, InsertTableAndCommandsWhileBusyAreRefused) {
    Load("<body><p id=p>x</p></body>");
    PlaceCaret("p", 1);
    Edit().ExecCommand(DECMD_INSERTTABLE, OLECMDEXECOPT_DONTPROMPTUSER, QVariantList{2, 3});
    EXPECT_EQ(Doc().Ref("all").Call("tags", {"TD"}).ToRef().Get("length").ToInt(), 6);
    Edit().SetDocumentHTML("<body>y</body>");
    EXPECT_THROW(Edit().ExecCommand(DECMD_BOLD), EngineError);
    EXPECT_EQ(Edit().QueryStatus(DECMD_BOLD), DECMDF_DISABLED);
    WaitUntilReady(&Edit());
}

}  // namespace plovane::test
