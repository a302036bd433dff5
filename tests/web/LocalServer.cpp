#include "LocalServer.h"

#include <QElapsedTimer>
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

LocalServer::LocalServer(const QStringList& arguments) {
    Process.setProcessChannelMode(QProcess::SeparateChannels);
    Process.start(QStringLiteral("python3"), arguments);
    // Both servers name their port in their first line once they listen.
    static const QRegularExpression portLine(QStringLiteral("port (\\d+)"));
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

QString LocalServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port).arg(path);
}

}  // namespace plovane::test
