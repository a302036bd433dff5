#include "dom/QelHTMLText.h"

#include <QStringDecoder>

#include "platform/Errors.h"
#include "platform/FileTests.h"

namespace plovane {

namespace {

bool IsPlainAttrChar(QChar c) {
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
           u == '.' || u == '_';
}

int HexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

QString DecodeBytes(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

}  // namespace

QString QuoteAttrValue(const QString& value) {
    for (const QChar c : value)
        if (!IsPlainAttrChar(c)) return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

QString AttrText(const QString& name, const QString& value) {
    if (name.isEmpty()) return QString();
    QString text = QLatin1Char(' ') + QuoteAttrValue(name);
    if (!value.isEmpty()) text += QLatin1Char('=') + QuoteAttrValue(value);
    return text;
}

QString StartTagText(const QString& tag, const QString& attributes) {
    if (tag.isEmpty()) return QString();
    QString text = QLatin1Char('<') + tag;
    if (!attributes.isEmpty()) text += QLatin1Char(' ') + attributes;
    return text + QLatin1Char('>');
}

QString ParamTagText(const QString& name, const QString& value) {
    return QStringLiteral("<PARAM name=") + name + QStringLiteral(" value=") + QuoteAttrValue(value) +
           QLatin1Char('>');
}

QString UrlDecode(const QString& text) {
    // Escapes produce bytes, and each run of them is decoded in one piece. The characters between
    // runs are kept as they are: turned into bytes one by one they would lose the halves of a
    // character beyond U+FFFF, and a run that is not UTF-8 would turn them into Latin-1 pairs.
    QString decoded;
    QByteArray bytes;
    const auto endRun = [&decoded, &bytes] {
        decoded += DecodeBytes(bytes);
        bytes.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < n && text.at(i + 1) == QLatin1Char('%')) {
            bytes += '%';
            ++i;
        } else if (c == QLatin1Char('%') && i + 2 < n) {
            const int high = HexValue(text.at(i + 1));
            const int low = HexValue(text.at(i + 2));
            if (high < 0 || low < 0)
                RaiseMessage(QStringLiteral("\"%1\" is not a valid escape in the address \"%2\".")
                                 .arg(text.mid(i, 3), text));
            bytes += char(high * 16 + low);
            i += 2;
        } else if (c == QLatin1Char('+')) {
            bytes += ' ';
        } else {
            endRun();
            decoded += c;
        }
    }
    endRun();
    return decoded;
}

QString UpperCaseHtml(const QString& html) {
    QString out = html;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return ReplaceAllNoCase(out, QStringLiteral("&nbsp;"), QStringLiteral("&nbsp;"));
}

QString LowerCaseHtml(const QString& html) {
    QString out = html;
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return out;
}

bool IsEmptyText(const QString& text) { return text.isEmpty(); }

QString ReplaceAllNoCase(const QString& text, const QString& from, const QString& to) {
    QString out = text;
    return out.replace(from, to, Qt::CaseInsensitive);
}

QString FreePlaceholder(const QString& text) {
    for (int n = 1;; ++n) {
        const QString placeholder = QStringLiteral("{%1}").arg(n);
        if (!text.contains(placeholder)) return placeholder;
    }
}

SplitText SplitAtChar(const QString& text, QChar separator) {
    const qsizetype at = text.indexOf(separator);
    if (at < 0) return {0, text, text};
    return {int(at) + 1, text.left(at), text.mid(at + 1)};
}

void SaveTextToFile(const QString& text, const QString& path) {
    QString error;
    if (!WriteFileAtomically(path, text.toUtf8(), &error))
        RaiseMessage(QStringLiteral("Cannot write the file \"%1\": %2").arg(path, error));
}

QString ExtractQuotedText(const QString& text, QChar quote) {
    if (!text.startsWith(quote)) return QString();
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text.at(i) != quote) {
            out += text.at(i);
        } else if (i + 1 < text.size() && text.at(i + 1) == quote) {
            out += quote;
            ++i;
        } else {
            break;
        }
    }
    return out;
}

}  // namespace plovane
