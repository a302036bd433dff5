// platform/Application.h — the application object: title, organisation word, and the safety net
// that keeps any exception from crossing Qt's event loop.
#pragma once
#include <QApplication>

namespace plovane {

// "Plovane": captions, message boxes, the splash text and the registry key all use it.
QString ApplicationTitle();
// "Quenlock": the company word of the settings paths.
QString CompanyWord();

// Chromium will not start as root with its sandbox on; call before the application object exists.
void PrepareEngineEnvironment();

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    // The last safety net: an exception that reaches it goes to the error handler. Qt's own frames in
    // between are built without exception clean-up and leak their locals, so command entry points
    // still run inside RunCommand themselves.
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace plovane
