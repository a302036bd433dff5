// The program: the application object and the start-up sequence.
#include <QDir>
#include <QFileInfo>

#include "platform/Application.h"
#include "platform/QelConsole.h"
#include "platform/SingleInstance.h"
#include "platform/Translation.h"
#include "shell/UnitMain.h"

namespace {

// A running copy has its own working folder, so a relative file name travels as an absolute one.
plovane::CommandLine AbsoluteCommandLine(QStringList items) {
    if (items.size() >= 2 && !items.at(1).startsWith(QLatin1Char('-')) && QDir::isRelativePath(items.at(1)) &&
        !items.at(1).contains(QStringLiteral("://")))
        items[1] = QFileInfo(items.at(1)).absoluteFilePath();
    return plovane::CommandLine(items);
}

}  // namespace

int main(int argc, char** argv) {
    plovane::PrepareEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    plovane::TApplication app(argc, argv);
    plovane::SetProcessCommandLine(AbsoluteCommandLine(QCoreApplication::arguments()));

    const QString frameClass = QStringLiteral("TFormQuenlockPlovane2");
    if (plovane::HandOffToRunningInstance(frameClass,
                                          plovane::JoinCommandLine(plovane::ProcessCommandLine().items())))
        return 0;

    plovane::LoadLanguageFile();
    plovane::TranslateApplication();
    plovane::TFormQuenlockPlovane2 frame;
    plovane::TInstanceListener listener(frameClass);
    QObject::connect(&listener, &plovane::TInstanceListener::CommandLineReceived, &frame,
                     &plovane::TFormQuenlockPlovane2::CommandLineReceived);
    frame.show();
    return app.exec();
}
