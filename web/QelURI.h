// web/QelURI.h — URL parts, the connected-state query and the Open URL address normaliser.
// Parts are taken from the text as written: nothing is decoded or escaped.
#pragma once
#include <QString>
#include <cstddef>

namespace plovane {

// The scheme ("http", as written); empty for a plain path or a text that is no URL.
QString UrlScheme(const QString& url);
// The host name; empty when there is none.
QString UrlHostName(const QString& url);
// The URL path without query or fragment; for a local file name given as URL, the file path.
QString UrlPath(const QString& url);
// The part of UrlPath after its last "/", "\" or ":"; empty for a path that ends in "/".
QString UrlFileName(const QString& url);

// True when a network connection exists: the platform's reachability when it knows, otherwise
// whether a network interface other than loopback is up. Safe to call from any thread.
bool IsInternetConnected();
// For an "http" URL (any case): whether its path names an existing local file. Everything else: true.
bool IsAvailableOffline(const QString& url);
// True for "localhost" and loopback addresses, which are reachable without any connection.
bool IsLoopbackHost(const QString& host);

// The last response line a server sent over any of the program's transfers (an FTP reply such as
// "550 No such file", or an HTTP status line).
QString LastServerResponse();
void RecordServerResponse(const QString& line);
// A libcurl header callback (CURLOPT_HEADERFUNCTION) that records the server's response lines.
size_t RecordServerResponseLine(char* buffer, size_t size, size_t count, void* unused);

// A URL split into the fields of the Open URL dialog. `parameters` keeps its leading "?";
// `bookmark` is the text after "#".
struct UrlFields {
    QString protocol;
    QString userName;
    QString password;
    QString host;
    QString port;
    QString path;      // up to and including the last "/"
    QString document;  // after the last "/"
    QString parameters;
    QString bookmark;
};

UrlFields SplitUrl(const QString& url);
// Throws AbortCommand "Protocol field is empty" or "Host field is empty".
QString ComposeUrl(const UrlFields& fields);
// Fills in the default protocol and host, recomposes and tidies the path (see QelURI.cpp).
UrlFields NormalizeUrl(const UrlFields& fields, const QString& defaultProtocol = QStringLiteral("http"),
                       const QString& defaultHost = QStringLiteral("LocalHost"));

}  // namespace plovane
