#include <benchmark/benchmark.h>

#include <QString>

#include "spelling/QelHTMLWalk.h"
#include "spelling/QelSpelling.h"

namespace plovane {
namespace {

const QString WordFile = QStringLiteral(PLOVANE_PROGRAM_DIR "/english.txt");

void LoadMainDictionary(benchmark::State& state) {
    for (auto _ : state) {
        WordList list;
        list.LoadFromFile(WordFile);
        benchmark::DoNotOptimize(list.Count());
    }
}
BENCHMARK(LoadMainDictionary)->Unit(benchmark::kMillisecond);

void SuggestForATenLetterWord(benchmark::State& state) {
    MainDictionary().LoadFromFile(WordFile);
    for (auto _ : state) benchmark::DoNotOptimize(SuggestWords(QStringLiteral("spellinngs")));
}
BENCHMARK(SuggestForATenLetterWord)->Unit(benchmark::kMicrosecond);

// About 500 KB of paragraphs with markup, attributes, a script, entities and a few unknown words.
QString LargePage() {
    const QStringList words = MainDictionary().Words();
    QString page = QStringLiteral("<html><head><script>var a = 1; if (a<b) {}</script></head><body>\n");
    int w = 0;
    while (page.size() < 500 * 1024) {
        page += QStringLiteral("<p class=\"text\" title='a title'>");
        for (int i = 0; i < 12; ++i) {
            page += words[(w * 7919) % words.size()] +
                    (i % 5 == 4 ? QStringLiteral("&nbsp;") : QStringLiteral(" "));
            if (++w % 50 == 0) page += QStringLiteral("wrld ");
        }
        page += QStringLiteral("<b>bold</b> <!-- note --></p>\n");
    }
    return page + QStringLiteral("</body></html>");
}

void FindMisspellingsInA500KBPage(benchmark::State& state) {
    MainDictionary().LoadFromFile(WordFile);
    const QString page = LargePage();
    state.counters["bytes"] = page.size();
    for (auto _ : state) benchmark::DoNotOptimize(FindMisspellings(page).size());
}
BENCHMARK(FindMisspellingsInA500KBPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plovane

BENCHMARK_MAIN();
