// ftp/FtpListing.h — directory listings as the server sends them, turned into entries, and the
// name checks that keep a remote name from reaching places it must not.
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

namespace plovane {

struct FtpEntry {
    QString Name;
    qint64 Size = 0;
    QDateTime Modified;  // UTC; invalid when the listing gave no usable time
    bool IsDirectory = false;
};

// One line of an MLSD reply: "type=file;size=5;modify=20200131101500; name".
std::optional<FtpEntry> ParseMlsdLine(const QString& line);
// One line of a LIST reply in the UNIX ("drwxr-xr-x 2 o g 0 Jan 31 10:15 name") or DOS
// ("01-31-20  10:15AM <DIR> name") form. A UNIX date without a year is placed in the year before
// `now` when it would otherwise lie in the future.
std::optional<FtpEntry> ParseListLine(const QString& line, const QDateTime& now);
// Every entry of a listing, leaving out "." and ".." and the lines that fit no known form.
QVector<FtpEntry> ParseListing(const QByteArray& listing, bool mlsd,
                               const QDateTime& now = QDateTime::currentDateTimeUtc());

// A name that may become a file of the current local folder: not empty, not "." or "..", and no
// "/", "\" or NUL that would lead elsewhere.
bool IsPlainFileName(const QString& name);
// A name that can be sent on the control connection: a CR, LF or NUL would end the command early
// and let the rest of the name pass as a command of its own.
bool IsSendableName(const QString& name);

// The path of a "257" reply ("257 "/a ""b""" is current") with doubled quotes undone; empty
// when the reply holds none.
QString QuotedPathOf(const QString& reply);

}  // namespace plovane
