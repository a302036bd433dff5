#include "platform/Application.h"

#include <unistd.h>

#include "platform/Errors.h"

namespace plovane {

QString ApplicationTitle() { return QStringLiteral("Plovane"); }

QString CompanyWord() { return QStringLiteral("Quenlock"); }

void PrepareEngineEnvironment() {
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(CompanyWord());
    setApplicationName(ApplicationTitle());
    setApplicationDisplayName(ApplicationTitle());
    setApplicationVersion(QStringLiteral(PLOVANE_VERSION));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunCommand([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace plovane
