#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextEdit>

#include "sourceeditor/QelPreprocessor.h"
#include "sourceeditor/QelRTF.h"

namespace plovane {
namespace {

// About 500 KB of page lines that use 20 defined variables and the file variables.
QString PreprocessorInput() {
    QString text;
    for (int v = 0; v < 20; ++v) text += QStringLiteral("#define $VAR%1$ value number %1\r\n").arg(v);
    for (int line = 0; text.size() < 500 * 1024; ++line)
        text += QStringLiteral("<p class=\"x\">Line %1 uses $var%2$ and $FileName$ in some text.</p>\r\n")
                    .arg(line)
                    .arg(line % 20);
    return text;
}

void PreprocessA500KBText(benchmark::State& state) {
    const QString text = PreprocessorInput();
    for (auto _ : state) benchmark::DoNotOptimize(Preprocess(text, QStringLiteral("/site/index.htm")));
}
BENCHMARK(PreprocessA500KBText)->Unit(benchmark::kMillisecond);

QString HtmlFragment() {
    QString html;
    while (html.size() < 100 * 1024)
        html += QStringLiteral(
            "<table border=\"1\" width=100%><tr><td class='c' nowrap>Cell text &amp; more</td>"
            "<td><img src=\"pic.png\" alt=\"A picture\"></td></tr></table>\n<!-- a comment -->\n");
    return html;
}

void ShowHTMLColouredA100KBFragment(benchmark::State& state) {
    const QString html = HtmlFragment();
    QTextEdit box;
    for (auto _ : state) ShowHTMLColoured(&box, html);
}
BENCHMARK(ShowHTMLColouredA100KBFragment)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plovane

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
