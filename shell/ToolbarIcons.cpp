#include "shell/ToolbarIcons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace plovane {

namespace {

using Drawing = std::function<void(QPainter&)>;  // draws into a 16 by 16 square

const QColor kInk(40, 40, 40);
const QColor kAccent(30, 90, 200);

void Text(QPainter& p, const QString& text, int pixels, bool bold = false, bool italic = false,
          bool underline = false, const QRectF& box = QRectF(0, 0, 16, 16), const QColor& ink = kInk) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(box, Qt::AlignCenter, text);
}

// Four text lines set left, centred or right.
void Lines(QPainter& p, Qt::Alignment align) {
    p.setPen(QPen(kInk, 1.5));
    const int lengths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int length = lengths[i];
        const double left = align == Qt::AlignLeft    ? 2
                            : align == Qt::AlignRight ? 14 - length
                                                      : 8 - length / 2.0;
        const double y = 3.5 + i * 3;
        p.drawLine(QPointF(left, y), QPointF(left + length, y));
    }
}

void Indent(QPainter& p, bool more) {
    p.setPen(QPen(kInk, 1.5));
    for (int i = 0; i < 4; ++i) {
        const double y = 3.5 + i * 3;
        p.drawLine(QPointF(i == 0 || i == 3 ? 2 : 7, y), QPointF(14, y));
    }
    QPainterPath arrow;
    if (more) {
        arrow.moveTo(1.5, 6);
        arrow.lineTo(5, 8);
        arrow.lineTo(1.5, 10);
    } else {
        arrow.moveTo(5, 6);
        arrow.lineTo(1.5, 8);
        arrow.lineTo(5, 10);
    }
    p.fillPath(arrow, kAccent);
}

// A 3 by 3 grid with one column or row marked, and a plus or minus sign.
void Table(QPainter& p, bool column, bool add) {
    const QRectF grid(1.5, 1.5, 11, 11);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(grid);
    p.fillRect(column ? QRectF(5.2, 1.5, 3.7, 11) : QRectF(1.5, 5.2, 11, 3.7), QColor(160, 190, 240));
    for (int i = 1; i < 3; ++i) {
        p.drawLine(QPointF(1.5 + i * 11 / 3.0, 1.5), QPointF(1.5 + i * 11 / 3.0, 12.5));
        p.drawLine(QPointF(1.5, 1.5 + i * 11 / 3.0), QPointF(12.5, 1.5 + i * 11 / 3.0));
    }
    p.setPen(QPen(add ? QColor(0, 130, 0) : QColor(190, 0, 0), 2));
    p.drawLine(QPointF(10, 13), QPointF(15.5, 13));
    if (add) p.drawLine(QPointF(12.75, 10.25), QPointF(12.75, 15.75));
}

void Cells(QPainter& p, bool split) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.setPen(QPen(split ? kInk : QColor(170, 170, 170), 1, split ? Qt::SolidLine : Qt::DashLine));
    p.drawLine(QPointF(8, 3.5), QPointF(8, 12.5));
    p.setPen(QPen(kAccent, 1.5));
    if (split) {
        p.drawLine(QPointF(5, 8), QPointF(3, 8));
        p.drawLine(QPointF(11, 8), QPointF(13, 8));
    } else {
        p.drawLine(QPointF(3.5, 8), QPointF(6.5, 8));
        p.drawLine(QPointF(9.5, 8), QPointF(12.5, 8));
    }
}

void Page(QPainter& p, const QColor& fill) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(12.5, 4);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.drawPath(sheet);
}

void Tag(QPainter& p, const QString& text) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 250, 235));
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 2, 2);
    Text(p, text, 7, true, false, false, QRectF(0, 3, 16, 10));
}

const QHash<QString, std::pair<const char*, Drawing>>& Pictures() {
    static const QHash<QString, std::pair<const char*, Drawing>> table = {
        {"TBCut", {"edit-cut", [](QPainter& p) { Text(p, QStringLiteral("\u2702"), 14); }}},
        {"TBCopy",
         {"edit-copy",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 1));
              p.setBrush(Qt::white);
              p.drawRect(QRectF(1.5, 1.5, 8, 10));
              p.drawRect(QRectF(6.5, 4.5, 8, 10));
          }}},
        {"TBPaste",
         {"edit-paste",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 1));
              p.setBrush(QColor(205, 170, 110));
              p.drawRect(QRectF(2.5, 2.5, 10, 12));
              p.setBrush(Qt::white);
              p.drawRect(QRectF(6.5, 6.5, 8, 8));
          }}},
        {"TBDelete",
         {"edit-delete",
          [](QPainter& p) {
              Text(p, QStringLiteral("\u2716"), 13, false, false, false, QRectF(0, 0, 16, 16),
                   QColor(190, 0, 0));
          }}},
        {"TBUndo", {"edit-undo", [](QPainter& p) { Text(p, QStringLiteral("\u21b6"), 16, true); }}},
        {"TBRedo", {"edit-redo", [](QPainter& p) { Text(p, QStringLiteral("\u21b7"), 16, true); }}},
        {"TBFontStyle",
         {"preferences-desktop-font", [](QPainter& p) { Text(p, QStringLiteral("F"), 14, true, true); }}},
        {"TBBold", {"format-text-bold", [](QPainter& p) { Text(p, QStringLiteral("B"), 14, true); }}},
        {"TBItalic",
         {"format-text-italic", [](QPainter& p) { Text(p, QStringLiteral("I"), 14, true, true); }}},
        {"TBUnderline",
         {"format-text-underline", [](QPainter& p) { Text(p, QStringLiteral("U"), 13, true, false, true); }}},
        {"TBLeft", {"format-justify-left", [](QPainter& p) { Lines(p, Qt::AlignLeft); }}},
        {"TBCenter", {"format-justify-center", [](QPainter& p) { Lines(p, Qt::AlignHCenter); }}},
        {"TBRight", {"format-justify-right", [](QPainter& p) { Lines(p, Qt::AlignRight); }}},
        {"TBIndent", {"format-indent-more", [](QPainter& p) { Indent(p, true); }}},
        {"TBOutdent", {"format-indent-less", [](QPainter& p) { Indent(p, false); }}},
        {"TBFontBig",
         {"format-font-size-more",
          [](QPainter& p) {
              Text(p, QStringLiteral("A"), 14, true, false, false, QRectF(-2, 1, 16, 16));
              Text(p, QStringLiteral("+"), 10, true, false, false, QRectF(8, -3, 8, 10), kAccent);
          }}},
        {"TBFontSmall",
         {"format-font-size-less",
          [](QPainter& p) {
              Text(p, QStringLiteral("A"), 10, true, false, false, QRectF(-2, 3, 16, 16));
              Text(p, QStringLiteral("\u2212"), 10, true, false, false, QRectF(8, -3, 8, 10), kAccent);
          }}},
        {"TBForeColor",
         {"format-text-color",
          [](QPainter& p) {
              Text(p, QStringLiteral("A"), 12, true, false, false, QRectF(0, -2, 16, 14));
              p.fillRect(QRectF(1, 12, 14, 3.5), QColor(220, 0, 0));
          }}},
        {"TBPageColor", {"", [](QPainter& p) { Page(p, QColor(255, 230, 120)); }}},
        {"TBInsertColumn", {"", [](QPainter& p) { Table(p, true, true); }}},
        {"TBInsertRow", {"", [](QPainter& p) { Table(p, false, true); }}},
        {"TBDeleteColumn", {"", [](QPainter& p) { Table(p, true, false); }}},
        {"TBDeleteRow", {"", [](QPainter& p) { Table(p, false, false); }}},
        {"TBSplitCell", {"", [](QPainter& p) { Cells(p, true); }}},
        {"TBMergeCells", {"", [](QPainter& p) { Cells(p, false); }}},
        {"TBSpellCheck",
         {"tools-check-spelling",
          [](QPainter& p) {
              Text(p, QStringLiteral("abc"), 7, true, false, false, QRectF(0, 0, 16, 9));
              p.setPen(QPen(QColor(0, 130, 0), 2));
              p.drawPolyline(QPolygonF({QPointF(3, 11), QPointF(6.5, 14.5), QPointF(13.5, 8)}));
          }}},
        {"TBSearch",
         {"edit-find",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 2));
              p.setBrush(QColor(220, 235, 255));
              p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
              p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
          }}},
        {"TBShowDetails", {"", [](QPainter& p) { Text(p, QStringLiteral("\u00b6"), 14, true); }}},
        {"TBShowBorders",
         {"",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 1, Qt::DashLine));
              p.drawRect(QRectF(1.5, 1.5, 13, 13));
              p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
              p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
          }}},
        {"TBInsertImage",
         {"insert-image",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 1));
              p.setBrush(QColor(200, 230, 255));
              p.drawRect(QRectF(1.5, 2.5, 13, 11));
              QPainterPath hill;
              hill.moveTo(2, 13);
              hill.lineTo(6, 7);
              hill.lineTo(9, 10);
              hill.lineTo(11, 8);
              hill.lineTo(14, 13);
              hill.closeSubpath();
              p.fillPath(hill, QColor(60, 150, 60));
          }}},
        {"TBInsertApplet", {"", [](QPainter& p) { Tag(p, QStringLiteral("J")); }}},
        {"TBInsertPlugin", {"", [](QPainter& p) { Tag(p, QStringLiteral("OBJ")); }}},
        {"TBInsertRule",
         {"",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 2));
              p.drawLine(QPointF(1, 8), QPointF(15, 8));
          }}},
        {"TBInsertMarquee", {"", [](QPainter& p) { Text(p, QStringLiteral("\u21c4"), 14, true); }}},
        {"TBInsertIFrame",
         {"",
          [](QPainter& p) {
              p.setPen(QPen(kInk, 1));
              p.setBrush(Qt::white);
              p.drawRect(QRectF(1.5, 1.5, 13, 13));
              p.setBrush(QColor(200, 220, 250));
              p.drawRect(QRectF(4.5, 4.5, 7, 7));
          }}},
        {"TBInsertHTML", {"", [](QPainter& p) { Tag(p, QStringLiteral("</>")); }}},
        {"TBInsertAnchor", {"", [](QPainter& p) { Text(p, QStringLiteral("\u2693"), 14); }}},
        {"TBInsertLink",
         {"insert-link",
          [](QPainter& p) {
              Text(p, QStringLiteral("\u221e"), 16, true, false, false, QRectF(0, 0, 16, 16), kAccent);
          }}},
        {"TBInsertTable", {"insert-table", [](QPainter& p) { Table(p, false, true); }}},
        {"TBInsertBullets",
         {"format-list-unordered",
          [](QPainter& p) {
              for (int i = 0; i < 3; ++i) {
                  p.setPen(Qt::NoPen);
                  p.setBrush(kInk);
                  p.drawEllipse(QPointF(3, 3.5 + i * 4.5), 1.5, 1.5);
                  p.setPen(QPen(kInk, 1.5));
                  p.drawLine(QPointF(6, 3.5 + i * 4.5), QPointF(15, 3.5 + i * 4.5));
              }
          }}},
        {"TBInsertNumbers",
         {"format-list-ordered",
          [](QPainter& p) {
              for (int i = 0; i < 3; ++i) {
                  Text(p, QString::number(i + 1), 6, true, false, false, QRectF(0, i * 4.5 + 0.5, 5, 6));
                  p.setPen(QPen(kInk, 1.5));
                  p.drawLine(QPointF(6, 3.5 + i * 4.5), QPointF(15, 3.5 + i * 4.5));
              }
          }}},
        {"TBInsertComment", {"", [](QPainter& p) { Tag(p, QStringLiteral("!--")); }}},
        {"TBInsertScript", {"", [](QPainter& p) { Tag(p, QStringLiteral("JS")); }}},
    };
    return table;
}

QIcon Drawn(const Drawing& draw) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap picture(16 * scale, 16 * scale);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

}  // namespace

QIcon ToolbarIcon(const QString& item) {
    const auto found = Pictures().constFind(item);
    if (found == Pictures().constEnd()) return QIcon();
    const QString theme = QString::fromLatin1(found->first);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme)) return QIcon::fromTheme(theme);
    return Drawn(found->second);
}

}  // namespace plovane
