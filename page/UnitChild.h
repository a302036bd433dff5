// page/UnitChild.h — TFormChild, one open page: the design view, the preview and the source text on
// three tabs chosen from a tab row at the bottom, a status bar, and the page's lifecycle (new-page
// template, load, save, the modified state, the changed-on-disk check and the refresh timer).
#pragma once
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

#include "engine/DomRef.h"
#include "platform/WindowOperations.h"

namespace plovane {

class DesignCommands;
class PageHost;
class TDHTMLEdit;

// The 15 lines a new page starts with, each closed by CR LF.
QString NewPageTemplate();

class TFormChild : public QWidget {
    Q_OBJECT
public:
    enum Tab { TabEdit = 0, TabPreview = 1, TabSource = 2 };

    explicit TFormChild(PageHost& host, QWidget* parent = nullptr);
    ~TFormChild() override;

    QString CurrentPath() const;
    QString Caption() const { return windowTitle(); }
    // Modified in the design view.
    bool Modified() const;

    // Load and save drive the design view; both stamp LoadedFileAge.
    void LoadPage(const QString& path);
    void SavePage(const QString& path);
    void ReloadFromDisk();
    // Takes pending source edits into the design view.
    void CommitSource();
    // Waits until the engine is ready and gives its document.
    DomRef ReadyDocument();

    // The page became the active page (also when the application regains activation): refresh,
    // then the changed-on-disk question.
    void Activate();
    // Asks about unsaved changes. False keeps the window open.
    bool CloseQuery();
    // The frame asked the close question already (at exit): the next close does not ask again.
    void SkipCloseQuery() { QueryAnswered = true; }
    // Shows the given tab through the tab control's changing step; false when refused.
    bool ShowTab(Tab tab);
    Tab CurrentTab() const;

    TDHTMLEdit* Design() const { return DHTMLEdit; }
    QStatusBar* PageStatusBar() const { return StatusBar; }
    QString StatusPanelText(int index) const;
    qint64 FileAge() const { return LoadedFileAge; }
    // Filled by the design commands: the design view's context menu.
    QMenu* DesignPopupMenu() const { return PopupMenuDesign; }
    DesignCommands* Commands() const { return PageCommands; }
    // The menus the frame shows for this page while it is active: the design menus on the Editor tab.
    QList<QMenu*> PageMenus() const;
    // The element below the mouse at the last mouse move in the design view, or none.
    DomRef MouseElement() const { return ElementUnderMouse; }

signals:
    void CaptionChanged(const QString& caption);
    // The double-click hook: the element properties command attaches here.
    void DesignDoubleClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void DisplayChanged();
    void RefreshTimerFire();
    void DesignMouseMove();
    void DesignContextMenu(int x, int y);
    void DocumentComplete();
    void TabSetChange(int index);
    void SetCaption(const QString& caption);
    void StampFileAge();
    static qint64 FileTimeStamp(const QString& path);

    PageHost& Host;
    TPageControl* PageControl;
    QTabBar* TabSet;
    QWidget* TabSheetEdit;
    QWidget* TabSheetPreview;
    QWidget* TabSheetSource;
    TDHTMLEdit* DHTMLEdit;
    QStatusBar* StatusBar;
    QList<QLabel*> Panels;
    QPushButton* ButtonDummy;
    QMenu* PopupMenuDesign;
    DesignCommands* PageCommands = nullptr;
    QTimer RefreshTimer;
    DomRef ElementUnderMouse;
    qint64 LoadedFileAge = -1;
    bool FirstShown = false;
    bool Closing = false;
    bool QueryAnswered = false;
};

}  // namespace plovane
