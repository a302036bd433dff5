#include "shell/ToolbarLayout.h"

#include <QDataStream>
#include <QDockWidget>
#include <QToolBar>
#include <algorithm>
#include <map>

#include "platform/WindowOperations.h"

namespace plovane {

namespace {

QString DockName(Qt::ToolBarArea area) {
    switch (area) {
        case Qt::TopToolBarArea:
            return QStringLiteral("TopDock");
        case Qt::BottomToolBarArea:
            return QStringLiteral("BottomDock");
        case Qt::LeftToolBarArea:
            return QStringLiteral("LeftDock");
        case Qt::RightToolBarArea:
            return QStringLiteral("RightDock");
        default:
            return QString();
    }
}

bool IsVerticalDock(const QString& dock) {
    return dock == QLatin1String("LeftDock") || dock == QLatin1String("RightDock");
}

// The dock's number in the main window's saved state: left, right, top, bottom. An unknown name is
// the top dock.
int StateDockIndex(const QString& dock) {
    const QStringList order = {QStringLiteral("LeftDock"), QStringLiteral("RightDock"),
                               QStringLiteral("TopDock"), QStringLiteral("BottomDock")};
    const qsizetype index = order.indexOf(dock);
    return index < 0 ? 2 : int(index);
}

int IntValue(const IniDocument& settings, const QString& section, const char* key, int fallback) {
    bool ok = false;
    const int value =
        settings.Value(section, QString::fromLatin1(key)).value_or(QString()).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// The main window's saved-state text for the toolbars alone: a marker, then the rows of each dock,
// each row its toolbars in order with their place. A floating toolbar keeps its own row in the dock it
// came from and carries its screen rectangle.
QByteArray ToolbarState(const QMainWindow& window, const QList<ToolbarPlace>& places) {
    std::map<std::pair<int, int>, QList<const ToolbarPlace*>> rows;  // (dock, row) -> toolbars
    int floatingRow = 1 << 20;
    for (const ToolbarPlace& place : places) {
        const bool floating = place.DockedTo.isEmpty();
        const int dock = StateDockIndex(floating ? place.LastDock : place.DockedTo);
        rows[{dock, floating ? floatingRow++ : place.DockRow}] << &place;
    }
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out << int(0xff) << int(0) << uchar(0xfc) << int(rows.size());
    for (auto& [key, row] : rows) {
        std::stable_sort(row.begin(), row.end(), [](const ToolbarPlace* a, const ToolbarPlace* b) {
            return a->DockPos < b->DockPos;
        });
        out << key.first << int(row.size());
        for (const ToolbarPlace* place : row) {
            const bool floating = place->DockedTo.isEmpty();
            const uchar shown = place->Visible ? 1 : 0;
            out << place->Name << uchar(shown | (!floating && IsVerticalDock(place->DockedTo) ? 2 : 0))
                << (floating ? 0 : std::max(0, place->DockPos)) << int(-1);
            uint geometry0 = 0;
            uint geometry1 = 0;
            if (floating) {
                const auto* bar = window.findChild<QToolBar*>(place->Name, Qt::FindDirectChildrenOnly);
                // A place on a screen that is gone comes back onto one there is.
                const QRect r = PlaceOnScreens(
                    QRect(QPoint(place->FloatLeft, place->FloatTop), bar ? bar->sizeHint() : QSize(0, 0)),
                    AvailableScreens());
                geometry0 = (uint(r.width()) & 0x7fff) << 16 | uint(std::clamp(r.left() + 0x7fff, 0, 0xffff));
                geometry1 = (uint(r.height()) & 0xffff) << 16 | uint(std::clamp(r.top() + 0x7fff, 0, 0xffff));
                geometry0 = geometry0 << 1 | 1;
            }
            out << geometry0 << geometry1;
        }
    }
    return state;
}

}  // namespace

ToolbarPlace ReadToolbarPlace(const IniDocument& settings, const QString& section,
                              const ToolbarPlace& current) {
    ToolbarPlace place = current;
    place.Visible =
        IniBool(settings.Value(section, QStringLiteral("Visible")).value_or(QString()), current.Visible);
    if (const auto dock = settings.Value(section, QStringLiteral("DockedTo")))
        place.DockedTo = dock->trimmed();
    if (const auto last = settings.Value(section, QStringLiteral("LastDock"));
        last && !last->trimmed().isEmpty())
        place.LastDock = last->trimmed();
    place.DockRow = IntValue(settings, section, "DockRow", current.DockRow);
    place.DockPos = IntValue(settings, section, "DockPos", current.DockPos);
    place.FloatLeft = IntValue(settings, section, "FloatLeft", current.FloatLeft);
    place.FloatTop = IntValue(settings, section, "FloatTop", current.FloatTop);
    return place;
}

void WriteToolbarPlace(IniDocument& settings, const QString& section, const ToolbarPlace& place) {
    IniSection& values = settings.Make(section);
    values.Set(QStringLiteral("Visible"), IniBoolText(place.Visible));
    values.Set(QStringLiteral("DockedTo"), place.DockedTo);
    values.Set(QStringLiteral("LastDock"), place.LastDock);
    values.Set(QStringLiteral("DockRow"), QString::number(place.DockRow));
    values.Set(QStringLiteral("DockPos"), QString::number(place.DockPos));
    values.Set(QStringLiteral("FloatLeft"), QString::number(place.FloatLeft));
    values.Set(QStringLiteral("FloatTop"), QString::number(place.FloatTop));
}

QList<ToolbarPlace> CurrentToolbarPlaces(const QMainWindow& window) {
    const QList<QToolBar*> bars = window.findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly);
    // The side docks start below the top dock.
    int sideTop = window.menuWidget() && window.menuWidget()->isVisible() ? window.menuWidget()->height() : 0;
    for (const QToolBar* bar : bars)
        if (!bar->isFloating() && !bar->isHidden() && window.toolBarArea(bar) == Qt::TopToolBarArea)
            sideTop = std::max(sideTop, bar->geometry().bottom() + 1);

    QList<ToolbarPlace> places;
    std::map<QString, QList<int>> edges;  // dock -> the rows' distances from the window's edge
    QList<int> edgeOf;
    for (const QToolBar* bar : bars) {
        ToolbarPlace place;
        place.Name = bar->objectName();
        place.Visible = !bar->isHidden();
        place.LastDock = DockName(window.toolBarArea(bar));
        const QRect r = bar->geometry();
        int edge = 0;
        if (bar->isFloating()) {
            place.FloatLeft = r.left();
            place.FloatTop = r.top();
        } else {
            place.DockedTo = place.LastDock;
            const Qt::ToolBarArea area = window.toolBarArea(bar);
            place.DockPos = IsVerticalDock(place.DockedTo) ? r.top() - sideTop : r.left();
            edge = area == Qt::TopToolBarArea      ? r.top()
                   : area == Qt::LeftToolBarArea   ? r.left()
                   : area == Qt::BottomToolBarArea ? window.height() - r.bottom()
                                                   : window.width() - r.right();
            edges[place.DockedTo] << edge;
        }
        edgeOf << edge;
        places << place;
    }
    for (auto& [dock, list] : edges) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    for (int i = 0; i < places.size(); ++i) {
        if (places[i].DockedTo.isEmpty()) continue;
        const QList<int>& list = edges[places[i].DockedTo];
        places[i].DockRow = int(std::lower_bound(list.begin(), list.end(), edgeOf[i]) - list.begin());
    }
    return places;
}

void ApplyToolbarPlaces(QMainWindow& window, const QList<ToolbarPlace>& places) {
    QList<ToolbarPlace> all = CurrentToolbarPlaces(window);
    for (ToolbarPlace& place : all) {
        const auto stored = std::find_if(places.begin(), places.end(),
                                         [&](const ToolbarPlace& p) { return p.Name == place.Name; });
        if (stored != places.end()) place = *stored;
    }
    // Restoring the toolbars alone takes the docked tool windows out of their docks; they go back.
    QList<std::pair<QDockWidget*, Qt::DockWidgetArea>> docked;
    for (QDockWidget* dock : window.findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!dock->isFloating() && window.dockWidgetArea(dock) != Qt::NoDockWidgetArea)
            docked << std::make_pair(dock, window.dockWidgetArea(dock));
    window.restoreState(ToolbarState(window, all));
    for (const auto& [dock, area] : docked)
        if (window.dockWidgetArea(dock) != area) window.addDockWidget(area, dock);
    for (const ToolbarPlace& place : all)
        if (auto* bar = window.findChild<QToolBar*>(place.Name, Qt::FindDirectChildrenOnly))
            bar->setVisible(place.Visible);
}

}  // namespace plovane
