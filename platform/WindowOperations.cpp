#include "platform/WindowOperations.h"

#include <QGuiApplication>
#include <QLayout>
#include <QLocale>
#include <QScreen>
#include <QSizeGrip>
#include <algorithm>

namespace plovane {

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
    connect(this, &QTabWidget::currentChanged, this, &TPageControl::CurrentChanged);
}

void TPageControl::CurrentChanged(int index) {
    if (Reverting) return;
    if (Shown >= 0 && index != Shown && OnChanging && !OnChanging()) {
        Reverting = true;
        setCurrentIndex(Shown);
        Reverting = false;
        return;
    }
    Shown = index;
    if (OnChange) OnChange();
}

bool SetActiveTab(TPageControl* tabs, int page) {
    if (!tabs || tabs->currentIndex() == page || page < 0 || page >= tabs->count()) return false;
    tabs->setCurrentIndex(page);
    return tabs->currentIndex() == page;
}

void StretchStatusPanel(QStatusBar* bar, int index) {
    QList<QWidget*> panels;
    for (QWidget* child : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QSizeGrip*>(child) && !child->isHidden()) panels << child;
    if (index < 0 || index >= panels.size()) return;
    int others = 0;
    for (int i = 0; i < panels.size(); ++i)
        if (i != index) others += panels.at(i)->width() + bar->layout()->spacing();
    const QMargins margins = bar->contentsMargins();
    const int room = bar->width() - margins.left() - margins.right() - others;
    panels.at(index)->setMinimumWidth(qMax(0, room));
}

QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& screens) {
    if (screens.isEmpty()) return stored;
    QRect room = screens.first();
    qint64 best = 0;
    for (const QRect& screen : screens) {
        const QRect shared = screen.intersected(stored);
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > best) {
            best = area;
            room = screen;
        }
    }
    QRect placed(stored.topLeft(), stored.size().boundedTo(room.size()));
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() + 1 - placed.height()));
    return placed;
}

QList<QRect> AvailableScreens() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen())
            screens.prepend(screen->availableGeometry());
        else
            screens.append(screen->availableGeometry());
    }
    return screens;
}

QString FormatKilobytes(qint64 bytes) {
    const qint64 kilobytes = bytes <= 0 ? 0 : (bytes + 1023) / 1024;
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(kilobytes) + QStringLiteral("KB");
}

void TPIDLHistory::Add(const QString& folder) {
    if (Current + 1 < Entries.size()) Entries.erase(Entries.begin() + Current + 1, Entries.end());
    Entries << folder;
    Current = int(Entries.size()) - 1;
}

std::optional<QString> TPIDLHistory::GoBack(int n) {
    if (!CanGoBack(n)) return std::nullopt;
    Current -= n;
    return Entries.at(Current);
}

std::optional<QString> TPIDLHistory::GoForward(int n) {
    if (!CanGoForward(n)) return std::nullopt;
    Current += n;
    return Entries.at(Current);
}

}  // namespace plovane
