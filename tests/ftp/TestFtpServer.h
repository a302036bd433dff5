// tests/ftp/TestFtpServer.h — a real FTP server (pyftpdlib) on 127.0.0.1 over a temporary folder,
// started for one test and always stopped with it.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

#include "support/TestPlaces.h"

namespace plovane::test {

class TestFtpServer {
public:
    // `options` are the script's own: "--throttle", "<bytes per second>", "--no-mlsd", "--hostile".
    explicit TestFtpServer(const QStringList& options = {});
    ~TestFtpServer();
    TestFtpServer(const TestFtpServer&) = delete;
    TestFtpServer& operator=(const TestFtpServer&) = delete;

    bool Started() const { return Port > 0; }
    // "127.0.0.1:port", as typed in the site dialog.
    QString HostName() const;
    // A path below the served folder.
    QString Path(const QString& relative = QString()) const;
    QByteArray Read(const QString& relative) const { return Folder.Read(QStringLiteral("root/") + relative); }
    QString Write(const QString& relative, const QByteArray& bytes) const {
        return Folder.Write(QStringLiteral("root/") + relative, bytes);
    }

    static QString User() { return QStringLiteral("tester"); }
    static QString Password() { return QStringLiteral("secret"); }

private:
    TempFolder Folder;
    QProcess Process;
    int Port = 0;
};

}  // namespace plovane::test
