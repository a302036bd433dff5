// Fetches one URL into a given cache folder through the real progress window (offscreen) and prints
// the seconds it took. Usage: bench_web_fetch <url> <cache folder>
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "web/UnitDownload.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <url> <cache folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    plovane::FilePlaces places = plovane::FilePlaces::Default();
    places.cacheFolder = QString::fromLocal8Bit(argv[2]);
    plovane::SetFilePlaces(places);

    QElapsedTimer clock;
    clock.start();
    try {
        const QString copy = plovane::FetchUrl(QString::fromLocal8Bit(argv[1]));
        std::printf("%.3f %s\n", clock.nsecsElapsed() / 1e9, qPrintable(copy));
    } catch (const plovane::AbortCommand& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Text()));
        return 1;
    }
    return 0;
}
