#include "ftp/FtpListing.h"

#include <QRegularExpression>
#include <QStringList>

namespace plovane {

namespace {

const QStringList& MonthNames() {
    static const QStringList months = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
    return months;
}

QDateTime UtcDateTime(int year, int month, int day, int hour, int minute, int second = 0) {
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid()) return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

std::optional<FtpEntry> ParseUnixLine(const QString& line, const QDateTime& now) {
    // Owner and group are optional (some servers leave the group out), so the size is found as the
    // number just before the month.
    static const QRegularExpression unix(
        QStringLiteral("^([-dlcbps])\\S{9}\\S*\\s+\\d+\\s+(?:\\S+\\s+){0,2}?(\\d+)\\s+([A-Za-z]{3})\\s+"
                       "(\\d{1,2})\\s+(\\d{1,2}):(\\d{2})(?::\\d{2})?\\s(.*)$|"
                       "^([-dlcbps])\\S{9}\\S*\\s+\\d+\\s+(?:\\S+\\s+){0,2}?(\\d+)\\s+([A-Za-z]{3})\\s+"
                       "(\\d{1,2})\\s+(\\d{4})\\s(.*)$"));
    const QRegularExpressionMatch m = unix.match(line);
    if (!m.hasMatch()) return std::nullopt;
    const bool withTime = m.capturedStart(1) >= 0;
    const int base = withTime ? 1 : 8;
    const QChar kind = m.captured(base).at(0);
    const int month = int(MonthNames().indexOf(m.captured(base + 2).toLower())) + 1;
    if (month == 0) return std::nullopt;
    const int day = m.captured(base + 3).toInt();

    FtpEntry entry;
    entry.IsDirectory = kind == QLatin1Char('d');
    entry.Size = entry.IsDirectory ? 0 : m.captured(base + 1).toLongLong();
    QString name = withTime ? m.captured(7) : m.captured(13);
    if (kind == QLatin1Char('l')) {
        const int arrow = int(name.indexOf(QStringLiteral(" -> ")));
        if (arrow > 0) name.truncate(arrow);
    }
    entry.Name = name;
    if (withTime) {
        const int hour = m.captured(5).toInt();
        const int minute = m.captured(6).toInt();
        QDateTime when = UtcDateTime(now.date().year(), month, day, hour, minute);
        if (when.isValid() && when > now.addDays(1))
            when = UtcDateTime(now.date().year() - 1, month, day, hour, minute);
        entry.Modified = when;
    } else {
        entry.Modified = UtcDateTime(m.captured(12).toInt(), month, day, 0, 0);
    }
    return entry;
}

std::optional<FtpEntry> ParseDosLine(const QString& line) {
    static const QRegularExpression dos(
        QStringLiteral("^(\\d{1,2})-(\\d{1,2})-(\\d{2,4})\\s+(\\d{1,2}):(\\d{2})\\s*([AaPp][Mm])?\\s+(<DIR>|"
                       "\\d+)\\s+(.*)$"));
    const QRegularExpressionMatch m = dos.match(line);
    if (!m.hasMatch()) return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() <= 2) year += year < 70 ? 2000 : 1900;
    int hour = m.captured(4).toInt();
    const QString half = m.captured(6).toUpper();
    if (half == QLatin1String("PM") && hour < 12) hour += 12;
    if (half == QLatin1String("AM") && hour == 12) hour = 0;

    FtpEntry entry;
    entry.Name = m.captured(8);
    entry.IsDirectory = m.captured(7) == QLatin1String("<DIR>");
    entry.Size = entry.IsDirectory ? 0 : m.captured(7).toLongLong();
    entry.Modified =
        UtcDateTime(year, m.captured(1).toInt(), m.captured(2).toInt(), hour, m.captured(5).toInt());
    return entry;
}

bool IsDotEntry(const QString& name) { return name == QLatin1String(".") || name == QLatin1String(".."); }

}  // namespace

std::optional<FtpEntry> ParseMlsdLine(const QString& line) {
    const int space = int(line.indexOf(QLatin1Char(' ')));
    if (space < 0) return std::nullopt;
    FtpEntry entry;
    entry.Name = line.mid(space + 1);
    if (entry.Name.isEmpty()) return std::nullopt;
    bool typed = false;
    for (const QString& fact : line.left(space).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int equals = int(fact.indexOf(QLatin1Char('=')));
        if (equals <= 0) continue;
        const QString key = fact.left(equals).toLower();
        const QString value = fact.mid(equals + 1);
        if (key == QLatin1String("type")) {
            const QString type = value.toLower();
            if (type == QLatin1String("cdir") || type == QLatin1String("pdir")) return std::nullopt;
            entry.IsDirectory = type == QLatin1String("dir");
            typed = true;
        } else if (key == QLatin1String("size") || key == QLatin1String("sizd")) {
            entry.Size = value.toLongLong();
        } else if (key == QLatin1String("modify") && value.size() >= 14) {
            entry.Modified =
                UtcDateTime(value.mid(0, 4).toInt(), value.mid(4, 2).toInt(), value.mid(6, 2).toInt(),
                            value.mid(8, 2).toInt(), value.mid(10, 2).toInt(), value.mid(12, 2).toInt());
        }
    }
    if (!typed) return std::nullopt;
    if (entry.IsDirectory) entry.Size = 0;
    return entry;
}

std::optional<FtpEntry> ParseListLine(const QString& line, const QDateTime& now) {
    if (auto entry = ParseUnixLine(line, now)) return entry;
    return ParseDosLine(line);
}

QVector<FtpEntry> ParseListing(const QByteArray& listing, bool mlsd, const QDateTime& now) {
    QVector<FtpEntry> entries;
    for (const QByteArray& raw : listing.split('\n')) {
        QString line = QString::fromUtf8(raw);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty()) continue;
        const std::optional<FtpEntry> entry = mlsd ? ParseMlsdLine(line) : ParseListLine(line, now);
        if (entry && !IsDotEntry(entry->Name)) entries << *entry;
    }
    return entries;
}

bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || IsDotEntry(name)) return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull()) return false;
    return true;
}

bool IsSendableName(const QString& name) {
    for (const QChar c : name)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull()) return false;
    return true;
}

QString QuotedPathOf(const QString& reply) {
    const int open = int(reply.indexOf(QLatin1Char('"')));
    if (open < 0) return QString();
    QString path;
    for (int i = open + 1; i < reply.size(); ++i) {
        if (reply.at(i) != QLatin1Char('"')) {
            path += reply.at(i);
        } else if (i + 1 < reply.size() && reply.at(i + 1) == QLatin1Char('"')) {
            path += QLatin1Char('"');
            ++i;
        } else {
            return path;
        }
    }
    return QString();
}

}  // namespace plovane
