#include "fuzz/FuzzSupport.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace plovane::fuzz {

namespace {

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "plovane-fuzz";
    static char* argv[] = {name, nullptr};
    // Created once and deliberately never destroyed: libFuzzer ends the process with exit(), and an
    // application object torn down among Qt's own static objects would only add noise.
    static const QApplication* const application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietMessages);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return new QApplication(argc, argv);
    }();
    Q_UNUSED(application);
}

QString ScratchFolder() {
    static const QTemporaryDir folder;
    return folder.path();
}

bool WriteScratchFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

void Check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "Property does not hold: %s\n", property);
    std::abort();
}

}  // namespace plovane::fuzz
