#include "dom/QelColorText.h"

namespace plovane {

QString ColorToHtmlText(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return QStringLiteral("%1%2%3")
        .arg(rgb.red(), 2, 16, QLatin1Char('0'))
        .arg(rgb.green(), 2, 16, QLatin1Char('0'))
        .arg(rgb.blue(), 2, 16, QLatin1Char('0'));
}

QColor HtmlTextToColor(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))) digits += c;
    const auto channel = [&](int first) { return digits.mid(first, 2).toInt(nullptr, 16); };
    return QColor(channel(0), channel(2), channel(4));
}

}  // namespace plovane
