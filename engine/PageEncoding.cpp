#include "engine/PageEncoding.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace plovane {

namespace {

QByteArray Reference(uint codePoint) { return "&#" + QByteArray::number(uint(codePoint)) + ';'; }

QByteArray EncodeLatin1(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const uint c : text.toUcs4()) {
        if (c < 0x100)
            bytes.append(char(c));
        else
            bytes.append(Reference(c));
    }
    return bytes;
}

}  // namespace

QByteArray EncodePageText(const QString& text, const QString& charset) {
    const QString name = charset.trimmed().toLower();
    if (name.startsWith("utf-8") || name.startsWith("utf8") || name.startsWith("utf-16"))
        return text.toUtf8();  // a page never gets UTF-16 from the engine: it reads such pages as UTF-8
    if (name.isEmpty() || name == "iso-8859-1" || name == "latin1" || name == "us-ascii")
        return EncodeLatin1(text);
    QStringEncoder encoder(name.toLatin1().constData());
    if (!encoder.isValid()) return EncodeLatin1(text);
    QByteArray whole = encoder.encode(text);
    QStringDecoder check(name.toLatin1().constData());
    if (!encoder.hasError() && QString(check.decode(whole)) == text) return whole;
    // Some characters do not fit: encode one character at a time and keep only those that come back.
    QByteArray bytes;
    for (const uint c : text.toUcs4()) {
        const char32_t point = c;
        const QString one = QString::fromUcs4(&point, 1);
        QStringEncoder single(name.toLatin1().constData());
        const QByteArray encoded = single.encode(one);
        QStringDecoder back(name.toLatin1().constData());
        if (!single.hasError() && QString(back.decode(encoded)) == one)
            bytes.append(encoded);
        else
            bytes.append(Reference(c));
    }
    return bytes;
}

}  // namespace plovane
