#include "web/QelURI.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QMutex>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>
#include <atomic>

#include "platform/Errors.h"

namespace plovane {

namespace {

// The parts of one URL as substrings of its text; `valid` is false when the text is no URL.
struct CrackedUrl {
    bool valid = false;
    QString scheme, userName, password, host, port, path, extra;
};

bool IsSchemeToken(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*$"));
    return scheme.match(text).hasMatch();
}

// Splits "user:password@host:port"; false when the port is not a number.
bool SplitAuthority(const QString& authority, CrackedUrl& url) {
    QString hostPort = authority;
    const int at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        const int colon = userInfo.indexOf(QLatin1Char(':'));
        url.userName = colon < 0 ? userInfo : userInfo.left(colon);
        url.password = colon < 0 ? QString() : userInfo.mid(colon + 1);
    }
    // A bracketed IPv6 address holds colons of its own.
    const int closing = hostPort.startsWith(QLatin1Char('[')) ? hostPort.indexOf(QLatin1Char(']')) : -1;
    const int colon = hostPort.indexOf(QLatin1Char(':'), closing < 0 ? 0 : closing);
    url.host = colon < 0 ? hostPort : hostPort.left(colon);
    url.port = colon < 0 ? QString() : hostPort.mid(colon + 1);
    for (const QChar c : url.port)
        if (!c.isDigit()) return false;
    return true;
}

// Splits text after the authority into the path and the query and fragment.
void SplitPathAndExtra(const QString& rest, CrackedUrl& url) {
    const int extra = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    url.path = extra < 0 ? rest : rest.left(extra);
    url.extra = extra < 0 ? QString() : rest.mid(extra);
}

CrackedUrl Crack(const QString& text) {
    CrackedUrl url;
    const int separator = text.indexOf(QStringLiteral("://"));
    if (separator > 0 && IsSchemeToken(text.left(separator))) {
        url.scheme = text.left(separator);
        const QString rest = text.mid(separator + 3);
        const int end = rest.indexOf(QRegularExpression(QStringLiteral("[/?#]")));
        if (!SplitAuthority(end < 0 ? rest : rest.left(end), url)) return CrackedUrl();
        SplitPathAndExtra(end < 0 ? QString() : rest.mid(end), url);
        url.valid = true;
        return url;
    }
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon > 0 && text.left(colon).compare(QStringLiteral("file"), Qt::CaseInsensitive) == 0) {
        url.scheme = text.left(colon);
        SplitPathAndExtra(text.mid(colon + 1), url);
        url.valid = true;
        return url;
    }
    // A local file name: the whole text is the path, "?" and "#" included.
    url.path = text;
    url.valid = !text.isEmpty();
    return url;
}

// The platform's reachability as last reported to the application thread; -1 while unknown.
std::atomic<int> KnownReachability{-1};

void LoadReachability() {
    static bool tried = false;
    if (tried) return;
    tried = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) return;
    QNetworkInformation* const info = QNetworkInformation::instance();
    KnownReachability = static_cast<int>(info->reachability());
    QObject::connect(
        info, &QNetworkInformation::reachabilityChanged,
        [](QNetworkInformation::Reachability now) { KnownReachability = static_cast<int>(now); });
}

bool AnyInterfaceUp() {
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& face : interfaces) {
        const auto flags = face.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning) &&
            !flags.testFlag(QNetworkInterface::IsLoopBack))
            return true;
    }
    return false;
}

QMutex ResponseLock;
QString LastResponse;

// Path tidying of the Open URL address: one "/" between segments, ".." drops the segment before.
QString TidyPath(const QString& path) {
    QStringList kept;
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& segment : segments) {
        if (segment == QLatin1String("..")) {
            if (!kept.isEmpty()) kept.removeLast();
        } else {
            kept << segment;
        }
    }
    return kept.isEmpty() ? QStringLiteral("/")
                          : QLatin1Char('/') + kept.join(QLatin1Char('/')) + QLatin1Char('/');
}

}  // namespace

QString UrlScheme(const QString& url) { return Crack(url).scheme; }

QString UrlHostName(const QString& url) { return Crack(url).host; }

QString UrlPath(const QString& url) { return Crack(url).path; }

QString UrlFileName(const QString& url) {
    const QString path = UrlPath(url);
    const int last = path.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\:]")));
    return path.mid(last + 1);
}

bool IsInternetConnected() {
    QCoreApplication* const app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        LoadReachability();
    else if (app)
        // The platform's notifier must live on the application thread; this answer uses the fall-back.
        QMetaObject::invokeMethod(app, &LoadReachability, Qt::QueuedConnection);
    const int known = KnownReachability;
    if (known > static_cast<int>(QNetworkInformation::Reachability::Unknown))
        return known != static_cast<int>(QNetworkInformation::Reachability::Disconnected);
    return AnyInterfaceUp();
}

bool IsAvailableOffline(const QString& url) {
    if (UrlScheme(url).compare(QStringLiteral("http"), Qt::CaseInsensitive) != 0) return true;
    const QFileInfo file(UrlPath(url));
    return file.exists() && file.isFile();
}

bool IsLoopbackHost(const QString& host) {
    QString bare = host;
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    if (bare.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(bare);
    return !address.isNull() && address.isLoopback();
}

QString LastServerResponse() {
    const QMutexLocker lock(&ResponseLock);
    return LastResponse;
}

void RecordServerResponse(const QString& line) {
    const QMutexLocker lock(&ResponseLock);
    LastResponse = line;
}

size_t RecordServerResponseLine(char* buffer, size_t size, size_t count, void*) {
    const size_t length = size * count;
    const QString line = QString::fromLatin1(buffer, static_cast<qsizetype>(length)).trimmed();
    // Only response lines count: FTP replies begin with a three-digit code, HTTP with its status line.
    static const QRegularExpression response(QStringLiteral("^(\\d{3}[ -]|HTTP/)"));
    if (response.match(line).hasMatch()) RecordServerResponse(line);
    return length;
}

UrlFields SplitUrl(const QString& url) {
    UrlFields fields;
    CrackedUrl cracked = Crack(url);
    // A typed address without a scheme still has its query and bookmark, unlike a local file name.
    if (cracked.scheme.isEmpty()) SplitPathAndExtra(url, cracked);
    const QString path = cracked.path;
    const QString extra = cracked.extra;
    fields.protocol = cracked.scheme;
    fields.userName = cracked.userName;
    fields.password = cracked.password;
    fields.host = cracked.host;
    fields.port = cracked.port;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    fields.path = path.left(slash + 1);
    fields.document = path.mid(slash + 1);
    const int hash = extra.indexOf(QLatin1Char('#'));
    fields.parameters = hash < 0 ? extra : extra.left(hash);
    fields.bookmark = hash < 0 ? QString() : extra.mid(hash + 1);
    return fields;
}

QString ComposeUrl(const UrlFields& fields) {
    if (fields.protocol.isEmpty()) RaiseMessage(QStringLiteral("Protocol field is empty"));
    if (fields.host.isEmpty()) RaiseMessage(QStringLiteral("Host field is empty"));
    QString url = fields.protocol + QStringLiteral("://");
    if (!fields.userName.isEmpty()) {
        url += fields.userName;
        if (!fields.password.isEmpty()) url += QLatin1Char(':') + fields.password;
        url += QLatin1Char('@');
    }
    url += fields.host;
    if (!fields.port.isEmpty()) url += QLatin1Char(':') + fields.port;
    url += fields.path + fields.document + fields.parameters;
    if (!fields.bookmark.isEmpty()) url += QLatin1Char('#') + fields.bookmark;
    return url;
}

UrlFields NormalizeUrl(const UrlFields& fields, const QString& defaultProtocol, const QString& defaultHost) {
    UrlFields result = fields;
    if (result.protocol.isEmpty()) result.protocol = defaultProtocol;
    if (result.host.isEmpty()) {
        // Typed without "://": what looked like a path begins with the host.
        result.host = result.path + result.document;
        result.path.clear();
        result.document.clear();
    }
    if (result.host.isEmpty()) result.host = defaultHost;
    result = SplitUrl(ComposeUrl(result));
    // "/dir/page.htm" typed alone becomes "http:///dir/page.htm", which has no host either; without
    // the default here the address could never be composed again.
    if (result.host.isEmpty()) result.host = defaultHost;
    result.path = TidyPath(result.path);
    return result;
}

}  // namespace plovane
