#include "platform/SingleInstance.h"

#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>

namespace plovane {

namespace {
// The text travels as UTF-8 closed by a zero byte; the answer is the single byte '1'.
constexpr char kEnd = '\0';
}  // namespace

QString InstanceSocketName(const QString& frameClass) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = QString::number(getuid());
    return frameClass + QLatin1Char('-') + user;
}

bool HandOffToRunningInstance(const QString& frameClass, const QString& commandLine, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(InstanceSocketName(frameClass));
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray message = commandLine.toUtf8();
    message.append(kEnd);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    return socket.read(1) == "1";
}

TInstanceListener::TInstanceListener(const QString& frameClass, QObject* parent) : QObject(parent) {
    const QString name = InstanceSocketName(frameClass);
    Server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!Server.listen(name)) {
        // A copy that died leaves its socket file behind; nobody answered our hand-off, so it is stale.
        QLocalServer::removeServer(name);
        Server.listen(name);
    }
    connect(&Server, &QLocalServer::newConnection, this, &TInstanceListener::Accept);
}

void TInstanceListener::Accept() {
    while (QLocalSocket* socket = Server.nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf(kEnd);
            if (end < 0) return;
            socket->write("1");
            socket->flush();
            socket->disconnectFromServer();
            const QString text = QString::fromUtf8(buffer->left(end));
            QTimer::singleShot(0, this, [this, text] { emit CommandLineReceived(text); });
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace plovane
