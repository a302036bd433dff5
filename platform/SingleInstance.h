// platform/SingleInstance.h — one running copy per user. A second start hands its command line to
// the first over a local socket named after the main frame class and the user, and ends when the
// first answers 1.
#pragma once
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace plovane {

// The socket name for a window class: "<class>-<user>".
QString InstanceSocketName(const QString& frameClass);

// Sends the command line text to a running copy. True when one answered 1: this process should end.
// A busy first copy may take a while to answer, so the wait is generous.
bool HandOffToRunningInstance(const QString& frameClass, const QString& commandLine, int timeoutMs = 15000);

// Listens for command lines from later starts. Each is answered 1 at once and then reported by
// CommandLineReceived, so a sender never waits for what the first copy does with it.
class TInstanceListener : public QObject {
    Q_OBJECT
public:
    explicit TInstanceListener(const QString& frameClass, QObject* parent = nullptr);
    bool IsListening() const { return Server.isListening(); }

signals:
    void CommandLineReceived(const QString& commandLine);

private:
    void Accept();
    QLocalServer Server;
};

}  // namespace plovane
