// The main of every test executable: a headless application object, quiet logging, and file
// places inside a temporary folder so that no test touches the real home folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include "platform/Application.h"
#include "support/TestPlaces.h"

namespace {

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (qEnvironmentVariableIsSet("PLOVANE_TEST_VERBOSE") || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox")) flags += " --no-sandbox";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    plovane::PrepareEngineEnvironment();
    qInstallMessageHandler(QuietMessages);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    plovane::TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const plovane::test::ScopedFilePlaces places;
    return RUN_ALL_TESTS();
}
