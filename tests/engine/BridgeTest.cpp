// The ground everything stands on: a page with its scripts off, engine.js in its own world, and
// values and errors crossing the bridge.
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "EngineFixture.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "platform/Errors.h"
#include "support/TestPlaces.h"

namespace plovane::test {

using BridgeTest = EngineTest;

TEST_F(BridgeTest, PageScriptsNeverRunButTheEngineDoes) {
    const DomRef doc = Load(
        "<html><head><title>Quiet</title><script>document.title = 'ran';</script>"
        "<meta http-equiv=refresh content=\"0; url=about:blank\"></head>"
        "<body onload=\"document.title = 'onload ran'\"><img src=none.png onerror=\"document.title='error "
        "ran'\">"
        "<p id=p>text</p></body></html>");
    // The broken picture's error is the last thing the page does on its own; after it, a handler or
    // the refresh would show within the second waited for (the refresh is due at once).
    EXPECT_TRUE(WaitFor([&] { return Js("document.images[0].complete") == "true"; }));
    const QUrl address = Edit().View()->page()->url();
    EXPECT_FALSE(WaitFor(
        [&] { return Js("document.title") != "Quiet" || Edit().View()->page()->url() != address; }, 1000))
        << "the page replaced or retitled itself";
    EXPECT_EQ(doc.Text("title"), "Quiet");
    EXPECT_EQ(ById("p").Text("tagName"), "P");
    EXPECT_EQ(Js("typeof window.PlovaneEngine"), "object");
}

TEST_F(BridgeTest, ValuesKeepTheirKinds) {
    Load("<body><table id=t border=2 cellSpacing=3><tr><td>x</td></tr></table></body>");
    const DomRef table = ById("t");
    EXPECT_EQ(table.Get("border").ToString(), "2");
    EXPECT_EQ(table.Get("rows").ToRef().Get("length").ToInt(), 1);
    EXPECT_EQ(table.Get("isConnected").ValueKind(), DomValue::Kind::Bool);
    EXPECT_EQ(table.Get("offsetWidth").ValueKind(), DomValue::Kind::Integer);
    EXPECT_TRUE(table.Get("nothingLikeThis").IsEmpty());
    EXPECT_TRUE(table.Ref("parentElement").SameAs(Doc().Ref("body")));
}

TEST_F(BridgeTest, PageErrorsComeBackAsEngineErrors) {
    Load("<body><p id=p>x</p></body>");
    const DomRef p = ById("p");
    EXPECT_THROW(p.Call("noSuchMethod"), EngineError);
    EXPECT_THROW(p.Call("insertAdjacentHTML", {"nowhere", "<b>x</b>"}), EngineError);
    EXPECT_THROW(DomRef().Get("tagName"), EngineError);
    try {
        p.Call("appendChild", {"not a node"});
        FAIL() << "appendChild took a text";
    } catch (const EngineError& e) {
        EXPECT_FALSE(e.Text().isEmpty());
    }
}

TEST_F(BridgeTest, ReferencesDieWithTheirDocument) {
    Load("<body><p id=p>one</p></body>");
    const DomRef old = ById("p");
    Load("<body><p id=p>two</p></body>");
    EXPECT_THROW(old.Get("innerText"), EngineError);
    EXPECT_EQ(ById("p").Text("innerText"), "two");
}

TEST_F(BridgeTest, TheEngineForgetsObjectsNoReferenceHolds) {
    Load("<body><p id=p>x</p></body>");
    const DomRef p = ById("p");
    const int before = Js("PlovaneEngine.handleCount()").toInt();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(p.Ref("style").Text("color"), "");
    p.Get("tagName");  // carries the pending releases
    EXPECT_LE(Js("PlovaneEngine.handleCount()").toInt(), before + 1);
    const DomRef again = ById("p");
    EXPECT_TRUE(again.SameAs(p)) << "one object keeps one handle while referenced";
}

TEST_F(BridgeTest, ACallMadeWhileAnotherWaitsFailsAtOnceAndEventsWaitForTheCallToEnd) {
    Load("<body><p id=p>x</p></body>");
    const QString spin =
        "(function () { const end = Date.now() + 300; while (Date.now() < end) {} return ''; })()";
    QString nested;
    QTimer::singleShot(0, &Edit(), [&] {
        try {
            Js("1");
        } catch (const EngineError& e) {
            nested = e.Text();
        }
    });
    QElapsedTimer clock;
    clock.start();
    Js(spin);
    EXPECT_EQ(nested, "The engine is still answering another call.");
    EXPECT_LT(clock.elapsed(), 5000) << "the first call waited for the second";

    // An event the page raises during a call reaches a handler that calls the page, after the call.
    QStringList seen;
    QObject context;
    QObject::connect(&Edit(), &TDHTMLEdit::DisplayChanged, &context,
                     [&] { seen << Js("document.getElementById('p').textContent"); });
    Js("(function () { document.getElementById('p').textContent = 'y'; return " + spin + "; })()");
    EXPECT_TRUE(WaitFor([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen.value(0), "y");
}

TEST_F(BridgeTest, LoadUrlShowsALocalAddress) {
    const TempFolder folder;
    const QString path = folder.Write("page.htm", "<title>By address</title><body>x</body>");
    Edit().LoadURL(QUrl::fromLocalFile(path).toString());
    WaitUntilReady(&Edit());
    EXPECT_EQ(Doc().Text("title"), "By address");
    EXPECT_EQ(Edit().BaseURL(), folder.Root() + "/");
    EXPECT_FALSE(Edit().IsDirty());
}

}  // namespace plovane::test
