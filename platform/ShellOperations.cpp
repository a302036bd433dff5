#include "platform/ShellOperations.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/Prompter.h"
#include "platform/QelConsole.h"

namespace plovane {

namespace {

QUrl AddressOf(const QString& file) {
    if (QFileInfo::exists(file)) return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    return QUrl::fromUserInput(file);
}

bool DesktopLaunch(const ShellRequest& request) {
    const QFileInfo info(request.file);
    if (request.verb == QLatin1String("openwith")) {
        return QProcess::startDetached(QStringLiteral("xdg-open"), {request.file}, request.folder);
    }
    if (request.verb == QLatin1String("open") && info.isFile() && info.isExecutable()) {
        return QProcess::startDetached(info.absoluteFilePath(), SplitCommandLine(request.parameters),
                                       request.folder);
    }
    return QDesktopServices::openUrl(AddressOf(request.file));
}

ShellLauncher& Launcher() {
    static ShellLauncher launcher;
    return launcher;
}

bool Launch(const ShellRequest& request) { return Launcher() ? Launcher()(request) : DesktopLaunch(request); }

}  // namespace

void SetShellLauncher(ShellLauncher launcher) { Launcher() = std::move(launcher); }

bool ShellRun(const QString& verb, const QString& file, const QString& parameters) {
    return Launch({verb, file, parameters, QFileInfo(file).absolutePath()});
}

bool ShellOpen(const QString& file, const QString& parameters) {
    return ShellRun(QStringLiteral("open"), file, parameters);
}

bool ShellEdit(const QString& file, const QString& parameters) {
    return ShellRun(QStringLiteral("edit"), file, parameters);
}

bool OpenWith(const QString& file) { return ShellOpen(file) || ShellRun(QStringLiteral("openwith"), file); }

void RunControlPanel(const QString& applet) {
    if (applet.compare(QLatin1String("Inetcpl.cpl"), Qt::CaseInsensitive) == 0) {
        // The desktops' own network and proxy pages, in the order they are likely to be there.
        const QList<QStringList> candidates = {
            {QStringLiteral("gnome-control-center"), QStringLiteral("network")},
            {QStringLiteral("systemsettings"), QStringLiteral("kcm_proxy")},
            {QStringLiteral("xfce4-settings-manager")}};
        for (const QStringList& command : candidates) {
            const QString program = QStandardPaths::findExecutable(command.first());
            if (!program.isEmpty() &&
                Launch({QStringLiteral("open"), program, QuoteArguments(command.mid(1)), QString()}))
                return;
        }
    }
    ShowMessageBox(QStringLiteral("No settings program for \"%1\" was found on this desktop.\n\n"
                                  "Internet connections use the proxy settings of your desktop and of the "
                                  "environment variables http_proxy, https_proxy and no_proxy.")
                       .arg(applet));
}

void ShowInBrowser(const QString& address) {
    Launch({QStringLiteral("browse"), address, QString(), QString()});
}

QString QuoteArguments(const QStringList& arguments) {
    QStringList quoted;
    for (QString argument : arguments) {
        argument.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        quoted << QLatin1Char('"') + argument + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(' '));
}

}  // namespace plovane
