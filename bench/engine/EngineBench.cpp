// Speed of the engine: a bridge round trip, the command status a toolbar refresh reads, one whole
// refresh of the main frame's toolbars on a 500 KB page, reading DocumentHTML of a 500 KB page, and loading
// that page through DesignLoadFile against a bare QWebEngineView load of the same file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

#include "engine/DHTMLEdit.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "platform/Application.h"
#include "shell/FrameToolbars.h"

namespace {

using namespace plovane;

std::unique_ptr<TDHTMLEdit> Edit;
QString BigPage;

QByteArray PageOf(int bytes) {
    QByteArray page =
        "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"
        "<title>Big</title></head><body>\n";
    int n = 0;
    while (page.size() < bytes - 200) {
        page += "<p id=p" + QByteArray::number(n++) +
                ">Some <b>bold</b> and <i>italic</i> words, a <a href=\"x.htm\">link</a> and caf\xe9.</p>\n";
        if (n % 20 == 0) page += "<table border=1><tr><td>a</td><td>b</td></tr></table>\n";
    }
    return page + "</body></html>\n";
}

void BridgeRoundTrip(benchmark::State& state) {
    DesignSetHTML(Edit.get(), "<body><p id=p>x</p></body>", false);
    const DomRef p = Edit->DOM().Call("getElementById", {"p"}).ToRef();
    for (auto _ : state) benchmark::DoNotOptimize(p.Get("tagName"));
}
BENCHMARK(BridgeRoundTrip)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The commands whose status one refresh of the main frame's toolbars reads.
const int ToolbarCommands[] = {
    DECMD_BOLD,         DECMD_ITALIC,      DECMD_UNDERLINE,   DECMD_JUSTIFYLEFT,  DECMD_JUSTIFYCENTER,
    DECMD_JUSTIFYRIGHT, DECMD_GETBLOCKFMT, DECMD_GETFONTNAME, DECMD_GETFONTSIZE,  DECMD_GETFORECOLOR,
    DECMD_FONT,         DECMD_INDENT,      DECMD_OUTDENT,     DECMD_SETFORECOLOR, DECMD_SETFONTSIZE,
    DECMD_UNDO,         DECMD_REDO,        DECMD_CUT,         DECMD_COPY,         DECMD_PASTE,
    DECMD_DELETE,       DECMD_INSERTCOL,   DECMD_INSERTROW,   DECMD_DELETECOLS,   DECMD_DELETEROWS,
    DECMD_SPLITCELL,    DECMD_MERGECELLS,  DECMD_ORDERLIST,   DECMD_UNORDERLIST,  DECMD_FINDTEXT,
};

void QueryStatusOf30ToolbarCommands(benchmark::State& state) {
    DesignSetHTML(Edit.get(),
                  "<body><p id=p>Some <b>bold</b> words</p><table><tr><td id=c>cell</td></tr></table></body>",
                  false);
    Edit->Bridge().Evaluate("getSelection().selectAllChildren(document.getElementById('c'))");
    for (auto _ : state)
        for (const int command : ToolbarCommands) benchmark::DoNotOptimize(Edit->QueryStatus(command));
}
BENCHMARK(QueryStatusOf30ToolbarCommands)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What the page's refresh timer costs on every display change: the toolbars read the status of
// their commands and the four current values (one call into the page) and show them.
void UpdateToolbars(benchmark::State& state) {
    DesignLoadFile(Edit.get(), BigPage);
    Edit->Bridge().Evaluate(
        "(function () { const n = document.getElementById('p2000').firstChild; const r = "
        "document.createRange();"
        " r.setStart(n, 2); r.collapse(true); getSelection().removeAllRanges(); getSelection().addRange(r);"
        " return ''; })()");
    QMainWindow frame;
    FrameToolbars toolbars(
        frame, [] { return nullptr; }, [] { return Edit.get(); });
    for (auto _ : state) toolbars.Update(*Edit);
}
BENCHMARK(UpdateToolbars)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void DocumentHtmlRead500KB(benchmark::State& state) {
    DesignLoadFile(Edit.get(), BigPage);
    for (auto _ : state) benchmark::DoNotOptimize(Edit->DocumentHTML());
}
BENCHMARK(DocumentHtmlRead500KB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void DesignLoadFile500KB(benchmark::State& state) {
    for (auto _ : state) DesignLoadFile(Edit.get(), BigPage);
}
BENCHMARK(DesignLoadFile500KB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Loads the big page into a plain view and waits for loadFinished.
void LoadInBareView(QWebEngineView& view) {
    QEventLoop loop;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(BigPage));
    loop.exec();
}

void BareViewLoad500KB(benchmark::State& state) {
    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    for (auto _ : state) LoadInBareView(view);
}
BENCHMARK(BareViewLoad500KB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same, until the page answers a script: what a caller needs before it can touch the document.
void BareViewLoadAndAnswer500KB(benchmark::State& state) {
    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        LoadInBareView(view);
        QEventLoop answer;
        view.page()->runJavaScript("1", QWebEngineScript::ApplicationWorld,
                                   [&](const QVariant&) { answer.quit(); });
        answer.exec();
    }
}
BENCHMARK(BareViewLoadAndAnswer500KB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").trimmed());
    PrepareEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);

    QTemporaryDir folder;
    BigPage = folder.filePath("big.htm");
    QFile file(BigPage);
    if (!file.open(QIODevice::WriteOnly) || file.write(PageOf(500 * 1024)) < 0) return 1;
    file.close();

    Edit = std::make_unique<TDHTMLEdit>();
    Edit->resize(800, 600);
    Edit->show();
    WaitUntilReady(Edit.get());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Edit.reset();
    return 0;
}
