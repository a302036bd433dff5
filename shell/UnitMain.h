// shell/UnitMain.h — TFormQuenlockPlovane2, the main frame: a multiple-document container of at
// most 10 page windows with the File, Window and Help menus, the toolbars, the status bar, the site
// explorer panel and the recent-files list.
#pragma once
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QToolBar>

#include "page/PageHost.h"
#include "page/UnitChild.h"

class QMdiSubWindow;
class QDockWidget;

namespace plovane {

class TDHTMLEdit;
class TFormChild;
class TMRUManager;
class TFormSplash;
class TSiteExplorerPanel;
class DomRef;
class FrameToolbars;

class TFormQuenlockPlovane2 : public QMainWindow, public PageHost {
    Q_OBJECT
public:
    static constexpr int MaxPages = 10;

    explicit TFormQuenlockPlovane2(QWidget* parent = nullptr);
    ~TFormQuenlockPlovane2() override;

    // Operations other parts call.
    TFormChild* OpenDocumentFile(const QString& path);
    void SaveDocumentFile(const QString& path);
    TDHTMLEdit* ActiveDesign() const;
    DomRef ActiveDocument() const;
    QList<TFormChild*> Pages() const;  // in creation order

    // The first-paint work: "-n" makes a new page, else a file on the command line is opened;
    // then the splash. Runs once; the frame's first paint calls it.
    void FirstPaint();
    // A command line handed over by a later start.
    void CommandLineReceived(const QString& commandLine);

    // Commands, as the menus and toolbars run them.
    TFormChild* MINewClick();
    void MIOpenClick();
    void MISaveClick();
    void MISaveAsClick();
    void MIRevertClick();
    void MICloseClick();
    void MICloseAllClick();
    void MIPrintClick();
    void MIPrintSetupClick();
    void MIPreviewInBrowserClick();
    void MIRecentFileClick(const QString& name);
    void MIShowReadMeClick();
    void MIReadMeTxtClick();
    // Help pages: opened at once unless the address is on the web and no connection is seen.
    void ShowHelpPage(const QString& address);

    // Menu states, recomputed when the menus open.
    void FileMenuPopup();
    void WindowMenuPopup();

    TMRUManager* RecentFiles() const { return MRUManager; }
    QString StatusText() const { return StatusLabel->text(); }

    // PageHost
    TFormChild* ActivePage() const override { return Active; }
    void PageActivated(TFormChild* page) override;
    void PageClosing(TFormChild* page) override;
    void ResetToolbars() override;
    void UpdateToolbars() override;
    void SetStatusText(const QString& text) override;
    void RunSave() override;
    void PageMenusChanged(TFormChild* page) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       void (TFormQuenlockPlovane2::*slot)(), const QKeySequence& shortcut = QKeySequence());
    void CreateMenus();
    void CreateToolbars();
    void RebuildWindowButtons();
    TFormChild* FindPage(const QString& path) const;
    void SubWindowActivated(QMdiSubWindow* window);
    void LoadPlacement();
    void SavePlacement() const;
    void LoadToolbarLayout();
    void SaveToolbarLayout() const;
    TFormChild* RequireActivePage() const;
    void MergePageMenus();

    QMdiArea* MDIArea;
    QLabel* StatusLabel;
    QMenu* MIFile;
    QMenu* MIWindow;
    QMenu* MIHelp;
    QAction* MISave;
    QAction* MISaveAs;
    QAction* MIRevert;
    QAction* MIClose;
    QAction* MICloseAll;
    QAction* MIPrint;
    QAction* MIPreviewInBrowser;
    QAction* MIExit;
    QAction* MINextWindow;
    QAction* MIPreviousWindow;
    QAction* MICascade;
    QAction* MITile;
    QAction* MIMDIChildren;
    QToolBar* ToolbarFile;
    QToolBar* ToolbarWindowsList;
    FrameToolbars* Toolbars;  // every toolbar but File and Windows List
    QAction* TBSave;
    QList<QAction*> WindowButtons;  // TBPrevious, TBNext, TBCascade, TBTile
    QList<QAction*> PageButtons;
    QList<QPointer<QAction>> MergedMenus;          // the active page's menus, shown between File and Window
    QList<std::pair<QAction*, QWidget*>> Toggles;  // Window menu items that show a toolbar or panel
    QDockWidget* TBToolWindowSiteExplorer;
    TMRUManager* MRUManager;
    TFormSplash* Splash;
    QPointer<TFormChild> Active;
    bool FirstPaintDone = false;
};

}  // namespace plovane
