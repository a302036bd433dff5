// RunTidy over a generated 500 KB page with the built-in options. "--write-page=PATH" writes the
// same page to a file instead, and "--write-cleaned=PATH" what RunTidy makes of it, so
// compare-with-tidy-cli.sh can check that the tidy command line does the same work.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <cstring>

#include "tidy/TidyRun.h"

namespace {

// Everyday markup with the usual faults: presentational tags, empty and unclosed paragraphs,
// images without ALT text, stray end tags, unquoted attributes and a little non-ASCII text.
QString GeneratedPage(int bytes) {
    QString page = QStringLiteral(
        "<html>\n<head>\n<title>Bench page</title>\n<meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=utf-8\">\n</head>\n<body bgcolor=white>\n");
    for (int section = 0; page.size() < bytes; ++section) {
        const QString n = QString::number(section);
        page += QStringLiteral("<h2><font face=Arial color=\"#336699\">Section ") + n + "</font></h2>\n";
        page += QStringLiteral("<p>Café prices, section ") + n +
                ": <b>bold</b> and <i>italic <u>underlined</u></i> words, a <a href=\"page" + n +
                ".htm\">link</a> and <font size=2>small print</font>.\n";
        page += QStringLiteral("<p></p>\n<center>Centred line ") + n + "</center>\n";
        page += QStringLiteral("<table border=1 cellpadding=2>\n<tr><td>a") + n + "<td><img src=\"pic" + n +
                ".gif\" width=10 height=10></tr>\n<tr><td>b</td><td>c</td></tr>\n"
                "</table>\n";
        page += QStringLiteral("<ul><li>one<li>two</ul>\n</div>\n<!-- note ") + n + " -->\n";
    }
    page += QStringLiteral("</body>\n</html>\n");
    return page;
}

const QString& Page() {
    static const QString page = GeneratedPage(500 * 1024);
    return page;
}

void BM_RunTidy(benchmark::State& state) {
    const plovane::TidyOptions options;
    for (auto _ : state) {
        const plovane::TidyResult result = plovane::RunTidy(Page(), options);
        benchmark::DoNotOptimize(result.cleanedText.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Page().toUtf8().size());
}
BENCHMARK(BM_RunTidy)->Unit(benchmark::kMillisecond);

bool WriteFile(const char* path, const QString& text) {
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* const writePage = "--write-page=";
    const char* const writeCleaned = "--write-cleaned=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], writePage, std::strlen(writePage)) == 0)
            return WriteFile(argv[i] + std::strlen(writePage), Page()) ? 0 : 1;
        if (std::strncmp(argv[i], writeCleaned, std::strlen(writeCleaned)) == 0)
            return WriteFile(argv[i] + std::strlen(writeCleaned),
                             plovane::RunTidy(Page(), plovane::TidyOptions{}).cleanedText)
                       ? 0
                       : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
