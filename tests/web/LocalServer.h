// tests/web/LocalServer.h — a real HTTP server on 127.0.0.1 for the length of a test suite.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace plovane::test {

class LocalServer {
public:
    // python3 -m http.server over `folder`, on a port the system picks.
    static std::unique_ptr<LocalServer> Files(const QString& folder);
    // tests/web/slow_server.py, which sends `size` bytes slowly for any path.
    static std::unique_ptr<LocalServer> Slow(int size);
    // pyftpdlib over `folder`, anonymous and read-only.
    static std::unique_ptr<LocalServer> Ftp(const QString& folder);

    // Runs python3 with the arguments and waits until the server names its port.
    explicit LocalServer(const QStringList& arguments);
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    bool Running() const { return Port > 0; }
    // "<scheme>://127.0.0.1:<port>" + path.
    QString Url(const QString& path, const QString& scheme = QStringLiteral("http")) const;

private:
    QProcess Process;
    int Port = 0;
};

}  // namespace plovane::test
