// The program: the application object and the start-up sequence.
#include <QMainWindow>

#include "platform/Application.h"
#include "platform/QelConsole.h"
#include "platform/Translation.h"

int main(int argc, char** argv) {
    plovane::PrepareEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    plovane::TApplication app(argc, argv);
    plovane::SetProcessCommandLine(plovane::CommandLine(QCoreApplication::arguments()));
    plovane::LoadLanguageFile();
    plovane::TranslateApplication();

    QMainWindow frame;
    frame.setWindowTitle(plovane::ApplicationTitle());
    frame.resize(1000, 700);
    frame.show();
    return app.exec();
}
