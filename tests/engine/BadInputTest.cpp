// Hostile and broken pages: each loads or fails with the load messages, quickly, and none of
// their scripts runs.
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>

#include "EngineFixture.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "platform/Errors.h"
#include "support/ScopedState.h"
#include "support/TestPlaces.h"

namespace plovane::test {

namespace {

QByteArray Binary() {
    QByteArray bytes(20000, '\0');
    QRandomGenerator random(7);
    for (char& c : bytes) c = char(random.bounded(256));
    return bytes;
}

QByteArray DeepNesting() {
    return "<html><body>" + QByteArray("<div><span>").repeated(5000) + "deep" +
           QByteArray("</span></div>").repeated(5000) + "</body></html>";
}

QByteArray ManyCells() {
    QByteArray rows;
    for (int r = 0; r < 100; ++r) rows += "<tr>" + QByteArray("<td>c</td>").repeated(100) + "</tr>";
    return "<html><body><table id=t>" + rows + "</table></body></html>";
}

}  // namespace

struct BadPage {
    const char* name;
    QByteArray (*bytes)();
    bool loads;  // false: the load fails with the load message
};

void PrintTo(const BadPage& page, std::ostream* os) { *os << page.name; }

class BadInputTest : public EngineTest, public ::testing::WithParamInterface<BadPage> {};

TEST_P(BadInputTest, LoadsQuicklyWithoutRunningScripts) {
    const TempFolder folder;
    const QByteArray script =
        "<script>document.title = 'script ran'</script><body onload=\"document.title='ran'\">";
    const QString path = folder.Write("bad.htm", GetParam().bytes() + script);
    QElapsedTimer clock;
    clock.start();
    QString message;
    {
        const ScopedErrorHandler handler([&](const QString& text) { message = text; });
        RunCommand([&] { DesignLoadFile(&Edit(), path); });
    }
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(Edit().Busy());
    if (GetParam().loads) {
        ASSERT_EQ(message, "");
        EXPECT_NE(Doc().Text("title"), "script ran");
        EXPECT_NE(Doc().Text("title"), "ran");
        const QString text = DesignGetHTML(&Edit());
        EXPECT_EQ(DesignGetHTML(&Edit()), text);
    } else {
        EXPECT_TRUE(message.startsWith("Error while loading")) << qPrintable(message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BadInputTest,
    ::testing::Values(BadPage{"binary", Binary, true}, BadPage{"empty", [] { return QByteArray(); }, true},
                      BadPage{"unknown_charset",
                              [] {
                                  return QByteArray(
                                      "<html><head><meta charset=x-no-such-thing></head><body>"
                                      "\xe9t\xe9</body></html>");
                              },
                              true},
                      BadPage{"deep_nesting", DeepNesting, true}, BadPage{"many_cells", ManyCells, true}));

TEST_F(EngineTest, ManyCellsAreAllReachable) {
    Load(QString::fromLatin1(ManyCells()));
    EXPECT_EQ(ById("t").Ref("cells").Get("length").ToInt(), 10000);
}

TEST_F(EngineTest, EventsReachTheirSignals) {
    Load("<body><p id=p>text</p></body>");
    int changed = 0, downs = 0, moves = 0, clicks = 0, doubles = 0, keys = 0;
    QPoint menuAt;
    const auto connections = {
        QObject::connect(&Edit(), &TDHTMLEdit::DisplayChanged, [&] { ++changed; }),
        QObject::connect(&Edit(), &TDHTMLEdit::onmousedown, [&] { ++downs; }),
        QObject::connect(&Edit(), &TDHTMLEdit::onmousemove, [&] { ++moves; }),
        QObject::connect(&Edit(), &TDHTMLEdit::onclick, [&] { ++clicks; }),
        QObject::connect(&Edit(), &TDHTMLEdit::ondblclick, [&] { ++doubles; }),
        QObject::connect(&Edit(), &TDHTMLEdit::onkeyup, [&] { ++keys; }),
        QObject::connect(&Edit(), &TDHTMLEdit::ShowContextMenu, [&](int x, int y) { menuAt = QPoint(x, y); }),
    };
    Js("(function () { const p = document.getElementById('p');"
       " for (const t of ['mousedown', 'mousemove', 'click', 'dblclick'])"
       "   p.dispatchEvent(new MouseEvent(t, {bubbles: true, clientX: 3, clientY: 4}));"
       " p.dispatchEvent(new KeyboardEvent('keyup', {bubbles: true}));"
       " p.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true, cancelable: true, clientX: 11, "
       "clientY: 12}));"
       " p.textContent = 'changed'; return ''; })()");
    EXPECT_TRUE(
        WaitFor([&] { return changed && downs && moves && clicks && doubles && keys && !menuAt.isNull(); }));
    EXPECT_EQ(menuAt, QPoint(11, 12));
    for (const auto& c : connections) QObject::disconnect(c);
}

TEST_F(EngineTest, AcceleratorsAreConsumedOnlyForEditingKeys) {
    Load("<body><p id=p>text</p></body>");
    SelectText("p");
    QKeyEvent bold(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier);
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier);
    EXPECT_EQ(Edit().TranslateAccelerator(&bold), 0);
    EXPECT_NE(Edit().TranslateAccelerator(&plain), 0);
    EXPECT_EQ(ById("p").Text("innerHTML"), "<b>text</b>");
}

TEST_F(EngineTest, DecorationsStayOutOfCollections) {
    Load("<body><table id=t><tr><td>x</td></tr></table><!--c--><a name=n></a><br></body>");
    Js("PlovaneEngine.setDirty(false)");
    const int before = Doc().Ref("all").Get("length").ToInt();
    Edit().SetShowDetails(true);
    Edit().SetShowBorders(true);
    EXPECT_EQ(Doc().Ref("all").Get("length").ToInt(), before);
    EXPECT_FALSE(Edit().IsDirty()) << "glyphs are no edit";
    EXPECT_EQ(Js("getComputedStyle(document.querySelector('td')).outlineStyle"), "dotted");
    EXPECT_EQ(Js("document.querySelectorAll('[data-plovane-editor]').length"), "2")
        << "comment and line break";
    EXPECT_FALSE(DesignGetHTML(&Edit()).contains("dotted"));
    EXPECT_FALSE(DesignGetHTML(&Edit()).contains("plovane"));
    EXPECT_FALSE(Doc().Ref("body").Text("innerHTML").contains("plovane"));
    EXPECT_EQ(Doc().Ref("body").Call("createTextRange").ToRef().Text("text"), "x");
    Doc().Ref("body").Call("insertAdjacentHTML", {"BeforeEnd", "<br>"});
    EXPECT_TRUE(
        WaitFor([&] { return Js("document.querySelectorAll('[data-plovane-editor]').length") == "3"; }));
    Edit().SetShowBorders(false);
    EXPECT_EQ(Js("getComputedStyle(document.querySelector('td')).outlineStyle"), "none");
    Edit().SetShowDetails(false);
    EXPECT_EQ(Js("document.querySelectorAll('[data-plovane-editor]').length"), "0");
}

}  // namespace plovane::test

namespace plovane::test {

TEST(EngineCrashTest, ACrashedPageEndsTheLoadAndTheNextLoadWorks) {
    TDHTMLEdit edit;
    WaitUntilReady(&edit);
    edit.LoadURL("chrome://crash");
    WaitUntilReady(&edit);
    EXPECT_TRUE(edit.LoadFailed());
    EXPECT_THROW(edit.DocumentHTML(), EngineError);
    DesignSetHTML(&edit, "<body><p id=p>back</p></body>", false);
    EXPECT_FALSE(edit.LoadFailed());
    EXPECT_TRUE(edit.DocumentHTML().contains("back"));
}

}  // namespace plovane::test
