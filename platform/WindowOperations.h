// platform/WindowOperations.h — small window helpers: tab switching with a refusable changing step,
// status panel stretching, window placement on the screens, size text and a folder history.
#pragma once
#include <QList>
#include <QRect>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <functional>
#include <optional>

namespace plovane {

// A tab control whose "changing" step may refuse a switch, for clicks and programmatic switches
// alike. A refused click puts the old page back before anyone sees the new one.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // Called before the page changes; false keeps the current page.
    std::function<bool()> OnChanging;
    // Called after the page changed.
    std::function<void()> OnChange;

private:
    void CurrentChanged(int index);
    int Shown = -1;
    bool Reverting = false;
};

// When the page is not already active: run the changing step (which may refuse), make the page
// active and run the change step. True when the page changed.
bool SetActiveTab(TPageControl* tabs, int page);

// Widens one panel (a widget added to the bar) so that all panels together fill the bar.
void StretchStatusPanel(QStatusBar* bar, int index);

// A stored window rectangle placed on the screens there are now (their available areas, the primary
// first): on the screen it overlaps most, or the primary when it overlaps none, no larger than that
// screen and moved the least so that all of it shows. Without screens it stays as stored.
QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& screens);
// The available areas of the screens there are now, the primary first.
QList<QRect> AvailableScreens();

// Bytes / 1024 rounded up, with thousands separators, followed by "KB": 0 -> "0KB", 1025 -> "2KB".
QString FormatKilobytes(qint64 bytes);

// Back/forward history of folders. Adding drops every entry after the current one.
class TPIDLHistory {
public:
    void Add(const QString& folder);
    bool CanGoBack(int n = 1) const { return Current - n >= 0 && Current - n < Entries.size(); }
    bool CanGoForward(int n = 1) const { return Current + n >= 0 && Current + n < Entries.size(); }
    std::optional<QString> GoBack(int n = 1);
    std::optional<QString> GoForward(int n = 1);
    int CurrentIndex() const { return Current; }
    const QStringList& Folders() const { return Entries; }

private:
    QStringList Entries;
    int Current = -1;
};

}  // namespace plovane
