#include "page/MarginRuler.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "engine/DHTMLEdit.h"
#include "engine/DomRef.h"
#include "engine/EngineBridge.h"
#include "platform/Errors.h"

namespace plovane {

namespace {

constexpr int kTickStep = 25;
constexpr int kNumberStep = 50;
constexpr int kTickTop = 5;     // below the top edge
constexpr int kTickBottom = 6;  // above the bottom edge

// One panel of the strip. Distances count from the left edge of the centre panel, in every panel.
class RulerPanel : public QWidget {
public:
    RulerPanel(const char* name, QPalette::ColorRole ink, QPalette::ColorRole paper, const MarginRuler* ruler,
               QWidget* parent)
        : QWidget(parent), Ink(ink), Paper(paper), Ruler(ruler) {
        setObjectName(QString::fromLatin1(name));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(Paper));
        painter.setPen(palette().color(Ink));
        QFont small = font();
        small.setPixelSize(9);
        painter.setFont(small);
        const int origin = Ruler->Layout().Centre.Begin - x();  // distance 0, in this panel's pixels
        const int first = -origin - kNumberStep;
        const int start = first - ((first % kTickStep) + kTickStep) % kTickStep;
        for (int distance = start; distance <= width() - origin + kNumberStep; distance += kTickStep) {
            const int at = origin + distance;
            if (distance % kNumberStep == 0) {
                const QRect box(at - kNumberStep / 2, 0, kNumberStep, height());
                painter.drawText(box, Qt::AlignCenter, QString::number(std::abs(distance)));
            } else {
                painter.drawLine(at, kTickTop, at, height() - 1 - kTickBottom);
            }
        }
    }

private:
    QPalette::ColorRole Ink;
    QPalette::ColorRole Paper;
    const MarginRuler* Ruler;
};

// A grip: button face with three etched horizontal lines across its middle.
class RulerGrip : public QWidget {
public:
    RulerGrip(const char* name, QWidget* parent) : QWidget(parent) {
        setObjectName(QString::fromLatin1(name));
        setCursor(Qt::SizeHorCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        const int middle = height() / 2;
        for (const int y : {middle - 4, middle - 1, middle + 2}) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(1, y, width() - 2, y);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(1, y + 1, width() - 2, y + 1);
        }
    }
};

}  // namespace

MarginLayout LayOutMargins(int width, int grip, qint64 leftMargin, qint64 rightMargin) {
    const qint64 room = std::max(0, width - 3 * grip);
    const int left = int(std::clamp<qint64>(leftMargin, 0, room));
    const int right = int(std::clamp<qint64>(rightMargin, 0, room - left));
    MarginLayout layout;
    layout.Left = {0, left};
    layout.Centre = {left, width - right};
    layout.Right = {width - right, width};
    return layout;
}

MarginRuler::MarginRuler(TDHTMLEdit* design, QWidget* parent)
    : QWidget(parent),
      Design(design),
      PanelLeftMargin(new RulerPanel("PanelLeftMargin", QPalette::WindowText, QPalette::Button, this, this)),
      PanelCenter(new RulerPanel("PanelCenter", QPalette::Light, QPalette::Dark, this, this)),
      PanelRightMargin(
          new RulerPanel("PanelRightMargin", QPalette::WindowText, QPalette::Button, this, this)),
      GripLeft(new RulerGrip("GripLeft", PanelCenter)),
      GripRight(new RulerGrip("GripRight", PanelCenter)) {
    setObjectName(QStringLiteral("PanelMargin"));
    setFixedHeight(StripHeight);
    GripLeft->installEventFilter(this);
    GripRight->installEventFilter(this);
    connect(design, &TDHTMLEdit::DocumentComplete, this, &MarginRuler::Relayout);
    connect(design, &TDHTMLEdit::DisplayChanged, this, &MarginRuler::Relayout);
    ApplyLayout(LayOutMargins(width(), GripWidth, 0, 0));
}

MarginRuler::~MarginRuler() { GripUp(); }

void MarginRuler::Relayout() {
    if (Design->Busy()) return;
    if (Design->Bridge().Answering()) {  // reading the margins would call the page now
        Design->RunWhenFree(this, [this] { Relayout(); });
        return;
    }
    qint64 left = 0;
    qint64 right = 0;
    try {
        if (const DomRef body = Design->DOM().Ref(QStringLiteral("body"))) {
            left = body.Get(QStringLiteral("leftMargin")).ToInt();
            right = body.Get(QStringLiteral("rightMargin")).ToInt();
        }
    } catch (const EngineError&) {
        return;  // no answer from the page: the ruler keeps its last layout
    }
    ApplyLayout(LayOutMargins(width(), GripWidth, left, right));
}

void MarginRuler::ApplyLayout(const MarginLayout& layout) {
    Current = layout;
    const int h = height();
    PanelLeftMargin->setGeometry(layout.Left.Begin, 0, layout.Left.Width(), h);
    PanelCenter->setGeometry(layout.Centre.Begin, 0, layout.Centre.Width(), h);
    PanelRightMargin->setGeometry(layout.Right.Begin, 0, layout.Right.Width(), h);
    GripLeft->setGeometry(0, 0, GripWidth, h);
    GripRight->setGeometry(layout.Centre.Width() - GripWidth, 0, GripWidth, h);
    // The panels' numbers hang on the centre's position, which may move without a panel resizing.
    PanelLeftMargin->update();
    PanelCenter->update();
    PanelRightMargin->update();
}

void MarginRuler::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyLayout(LayOutMargins(width(), GripWidth, Current.Left.Width(), Current.Right.Width()));
    Relayout();
}

bool MarginRuler::eventFilter(QObject* watched, QEvent* event) {
    auto* grip = qobject_cast<QWidget*>(watched);
    if (grip != GripLeft && grip != GripRight) return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() != Qt::LeftButton) return false;
            GripDown(grip, mouse->position().toPoint());
            return true;
        case QEvent::MouseMove:
            if (DraggedGrip != grip) return false;
            GripMove(mouse->globalPosition().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            if (DraggedGrip != grip || mouse->button() != Qt::LeftButton) return false;
            GripUp();
            return true;
        default:
            return false;
    }
}

void MarginRuler::GripDown(QWidget* grip, const QPoint& position) {
    if (DraggedGrip) return;
    DraggedGrip = grip;
    GripDownPoint = position;
    QApplication::setOverrideCursor(Qt::SizeHorCursor);
}

void MarginRuler::GripMove(const QPoint& globalPosition) {
    if (Design->Busy()) return;
    const int gripLeft = mapFromGlobal(globalPosition).x() - GripDownPoint.x();
    const bool ok = RunCommand([&] {
        const DomRef body = Design->DOM().Ref(QStringLiteral("body"));
        if (!body) return;  // a frameset page has no margins to set
        if (DraggedGrip == GripLeft)
            body.Put(QStringLiteral("leftMargin"), std::max(0, gripLeft));
        else
            body.Put(QStringLiteral("rightMargin"), std::max(0, width() - (gripLeft + GripWidth)));
        Relayout();
    });
    if (!ok) GripUp();  // one error box, not one per mouse move
}

void MarginRuler::GripUp() {
    if (!DraggedGrip) return;
    DraggedGrip = nullptr;
    QApplication::restoreOverrideCursor();
}

}  // namespace plovane
