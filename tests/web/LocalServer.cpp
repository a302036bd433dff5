#include "LocalServer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include "support/TestPlaces.h"

namespace plovane::test {

std::unique_ptr<LocalServer> LocalServer::Files(const QString& folder) {
    return std::make_unique<LocalServer>(QStringList{
        QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"), QStringLiteral("--bind"),
        QStringLiteral("127.0.0.1"), QStringLiteral("--directory"), folder, QStringLiteral("0")});
}

std::unique_ptr<LocalServer> LocalServer::Slow(int size) {
    return std::make_unique<LocalServer>(QStringList{
        QStringLiteral("-u"), SourceFile(QStringLiteral("tests/web/slow_server.py")), QString::number(size)});
}

std::unique_ptr<LocalServer> LocalServer::Ftp(const QString& folder) {
    return std::make_unique<LocalServer>(QStringList{QStringLiteral("-u"), QStringLiteral("-m"),
                                                     QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                                                     QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                     QStringLiteral("0"), QStringLiteral("-d"), folder});
}

LocalServer::LocalServer(const QStringList& arguments) {
    // The system's interpreter is the one the Debian server packages are installed for.
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    Process.setProcessChannelMode(QProcess::MergedChannels);
    Process.start(python, arguments);
    // Each server names its port once it listens: "port 8000" (http.server), "127.0.0.1:2121" (pyftpdlib).
    static const QRegularExpression portLine(QStringLiteral("(?:port |127\\.0\\.0\\.1:)(\\d+)"));
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (Port == 0 && clock.elapsed() < 15000 && Process.state() != QProcess::NotRunning) {
        Process.waitForReadyRead(200);
        output += Process.readAllStandardOutput();
        const auto match = portLine.match(QString::fromLatin1(output));
        if (match.hasMatch()) Port = match.captured(1).toInt();
    }
}

LocalServer::~LocalServer() {
    Process.kill();
    Process.waitForFinished(5000);
}

QString LocalServer::Url(const QString& path, const QString& scheme) const {
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(Port).arg(path);
}

}  // namespace plovane::test
