// shell/ToolbarLayout.h — where a window's toolbars are, as the Settings.ini sections of its toolbars
// hold it: docked (dock, row, place along the row) or floating (screen position), and shown or not.
#pragma once
#include <QList>
#include <QMainWindow>
#include <QString>

#include "platform/IniFile.h"

namespace plovane {

struct ToolbarPlace {
    QString Name;  // the toolbar's component name
    bool Visible = true;
    QString DockedTo;  // "TopDock", "BottomDock", "LeftDock", "RightDock"; empty while floating
    QString LastDock;  // the dock it was last in, floating or not
    int DockRow = 0;   // the row of the dock, 0 nearest the window's edge
    int DockPos = 0;   // pixels from the start of the row; restoring keeps the order, not the gaps
    int FloatLeft = 0;
    int FloatTop = 0;
};

// The section's seven values; a missing or unreadable value keeps what `current` has.
ToolbarPlace ReadToolbarPlace(const IniDocument& settings, const QString& section,
                              const ToolbarPlace& current);
void WriteToolbarPlace(IniDocument& settings, const QString& section, const ToolbarPlace& place);

// The window's toolbars (its direct children) as they stand.
QList<ToolbarPlace> CurrentToolbarPlaces(const QMainWindow& window);

// Puts each toolbar named in `places` there; the window's dock widgets stay where they are.
void ApplyToolbarPlaces(QMainWindow& window, const QList<ToolbarPlace>& places);

}  // namespace plovane
