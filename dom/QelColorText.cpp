#include "dom/QelColorText.h"

#include <QRegularExpression>
#include <optional>

namespace plovane {

QString ColorToHtmlText(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return QStringLiteral("%1%2%3")
        .arg(rgb.red(), 2, 16, QLatin1Char('0'))
        .arg(rgb.green(), 2, 16, QLatin1Char('0'))
        .arg(rgb.blue(), 2, 16, QLatin1Char('0'));
}

namespace {

// "rgb(12, 34, 56)" and its relatives; nothing when the text is not of that form.
std::optional<QColor> FunctionalColor(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(
            R"(^\s*rgba?\(\s*([-+.\d]+%?)[\s,]+([-+.\d]+%?)[\s,]+([-+.\d]+%?)\s*([,/][^)]*)?\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        QString part = match.captured(i + 1);
        const bool percent = part.endsWith(QLatin1Char('%'));
        if (percent) part.chop(1);
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok) return std::nullopt;
        channels[i] = int(qBound(0.0, percent ? value * 255.0 / 100.0 : value, 255.0) + 0.5);
    }
    return QColor(channels[0], channels[1], channels[2]);
}

}  // namespace

QColor HtmlTextToColor(const QString& text) {
    if (const auto colour = FunctionalColor(text)) return *colour;
    QString digits;
    for (const QChar c : text)
        if (c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))) digits += c;
    const auto channel = [&](int first) { return digits.mid(first, 2).toInt(nullptr, 16); };
    return QColor(channel(0), channel(2), channel(4));
}

}  // namespace plovane
