#include "TestFtpServer.h"

#include <QDir>

namespace plovane::test {

TestFtpServer::TestFtpServer(const QStringList& options) {
    QDir().mkpath(Path());
    // The system interpreter: it is the one that has pyftpdlib.
    Process.setProgram(QStringLiteral("/usr/bin/python3"));
    Process.setArguments(QStringList{SourceFile(QStringLiteral("tests/ftp/ftp_test_server.py")),
                                     QStringLiteral("--root"), Path(), QStringLiteral("--user"), User(),
                                     QStringLiteral("--password"), Password()} +
                         options);
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start();
    if (!Process.waitForStarted(10000)) return;
    while (!Process.canReadLine() && Process.waitForReadyRead(10000)) {
    }
    Port = Process.readLine().trimmed().toInt();
}

TestFtpServer::~TestFtpServer() {
    // The server ends when its input closes; killing is only for one that hangs.
    Process.closeWriteChannel();
    if (!Process.waitForFinished(5000)) {
        Process.kill();
        Process.waitForFinished(5000);
    }
}

QString TestFtpServer::HostName() const { return QStringLiteral("127.0.0.1:%1").arg(Port); }

QString TestFtpServer::Path(const QString& relative) const {
    return Folder.Path(QStringLiteral("root/") + relative);
}

}  // namespace plovane::test
