// page/MarginRuler.h — the margin ruler above the design view: a left margin panel, a centre panel
// holding the ruler and two grips, and a right margin panel. The side panels are as wide as the
// body's leftMargin and rightMargin; dragging a grip sets that margin.
#pragma once
#include <QPoint>
#include <QWidget>

namespace plovane {

class TDHTMLEdit;

// The half-open run [Begin, End) of strip pixels.
struct RulerSpan {
    int Begin = 0;
    int End = 0;
    int Width() const { return End - Begin; }
    bool operator==(const RulerSpan& other) const { return Begin == other.Begin && End == other.End; }
};

struct MarginLayout {
    RulerSpan Left;
    RulerSpan Centre;
    RulerSpan Right;
};

// The panels of a strip `width` pixels wide whose grips are `grip` pixels wide: a negative margin
// counts as 0, and the margins never take the three grip widths the centre keeps. A strip narrower
// than that gives the whole strip to the centre.
MarginLayout LayOutMargins(int width, int grip, qint64 leftMargin, qint64 rightMargin);

class MarginRuler : public QWidget {
    Q_OBJECT
public:
    static constexpr int StripHeight = 21;
    static constexpr int GripWidth = 7;

    explicit MarginRuler(TDHTMLEdit* design, QWidget* parent = nullptr);
    ~MarginRuler() override;

    // Takes the body's margins and lays out the panels; does nothing while the engine is busy, and
    // waits while the engine answers another call.
    void Relayout();
    const MarginLayout& Layout() const { return Current; }
    QWidget* LeftGrip() const { return GripLeft; }
    QWidget* RightGrip() const { return GripRight; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyLayout(const MarginLayout& layout);
    void GripDown(QWidget* grip, const QPoint& position);
    void GripMove(const QPoint& globalPosition);
    void GripUp();

    TDHTMLEdit* Design;
    QWidget* PanelLeftMargin;
    QWidget* PanelCenter;
    QWidget* PanelRightMargin;
    QWidget* GripLeft;
    QWidget* GripRight;
    MarginLayout Current;
    QWidget* DraggedGrip = nullptr;
    QPoint GripDownPoint;  // where the mouse went down, in the grip's own coordinates
};

}  // namespace plovane
