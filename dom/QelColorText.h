// dom/QelColorText.h — colour text: six hex digits rrggbb, no '#'.
#pragma once
#include <QColor>
#include <QString>

namespace plovane {

// "ff8000" for (255, 128, 0): lower-case digits, red first. Any colour is taken as its RGB.
QString ColorToHtmlText(const QColor& colour);

// Lenient: keeps the hex digits in order and reads them in pairs; a missing pair is 0 and a single
// remaining digit is read alone ("#FFF" gives (255, 15, 0), "red" gives (237, 0, 0)). The engine's
// own form "rgb(r, g, b)" (also "rgba(r, g, b, a)", channels as numbers or percentages, clamped to
// 0-255) is read as the colour it names.
QColor HtmlTextToColor(const QString& text);

}  // namespace plovane
