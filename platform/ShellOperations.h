// platform/ShellOperations.h — starting files and addresses through the desktop.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace plovane {

// What the desktop is asked to do. verb is "open", "edit", "openwith" or "browse".
struct ShellRequest {
    QString verb;
    QString file;
    QString parameters;
    QString folder;  // working folder: the file's folder
};

// Runs a request on the desktop; true when it was started. Tests install their own launcher.
using ShellLauncher = std::function<bool(const ShellRequest&)>;
void SetShellLauncher(ShellLauncher launcher);  // empty restores the desktop launcher

// Starts the file with the verb in its own folder. Executables run with the parameters;
// documents and addresses open in the desktop's application for their type.
bool ShellRun(const QString& verb, const QString& file, const QString& parameters = QString());
bool ShellOpen(const QString& file, const QString& parameters = QString());
bool ShellEdit(const QString& file, const QString& parameters = QString());
// ShellOpen; when that fails, the desktop's application chooser.
bool OpenWith(const QString& file);
// "Inetcpl.cpl": the desktop's network and proxy settings, or a note on where they live.
void RunControlPanel(const QString& applet);
// Opens the address in the system web browser.
void ShowInBrowser(const QString& address);
// Each string in double quotes (inner quotes doubled), joined by single blanks.
QString QuoteArguments(const QStringList& arguments);

}  // namespace plovane
