#include "shell/UnitMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include "engine/DHTMLEdit.h"
#include "engine/QelDHTMLLib.h"
#include "page/UnitChild.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "platform/FileTests.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/QelConsole.h"
#include "platform/RegistryStore.h"
#include "platform/SharedDialogs.h"
#include "platform/ShellOperations.h"
#include "platform/WindowOperations.h"
#include "shell/DesignKeyRouter.h"
#include "shell/FrameToolbars.h"
#include "shell/MRUManager.h"
#include "shell/SiteExplorerPanel.h"
#include "shell/ToolbarLayout.h"
#include "shell/UnitSplash.h"
#include "web/QelURI.h"
#include "web/UnitDownload.h"

namespace plovane {

namespace {

const QString kFrameClass = QStringLiteral("TFormQuenlockPlovane2");

QString RectText(const QRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.right() + 1).arg(r.bottom() + 1);
}

std::optional<QRect> TextRect(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (v[2] <= v[0] || v[3] <= v[1]) return std::nullopt;
    return QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
}

TFormChild* PageOf(QMdiSubWindow* window) {
    return window ? qobject_cast<TFormChild*>(window->widget()) : nullptr;
}

}  // namespace

TFormQuenlockPlovane2::TFormQuenlockPlovane2(QWidget* parent)
    : QMainWindow(parent),
      MDIArea(new QMdiArea(this)),
      StatusLabel(new QLabel(this)),
      Splash(new TFormSplash(this)) {
    setObjectName(QStringLiteral("FormQuenlockPlovane2"));
    setWindowTitle(ApplicationTitle());
    MDIArea->setObjectName(QStringLiteral("MDIArea"));
    MDIArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MDIArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MDIArea);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(StatusLabel, 1);
    StatusLabel->setText(QStringLiteral("No Document Loaded"));

    CreateToolbars();

    TBToolWindowSiteExplorer = new QDockWidget(QStringLiteral("Explorer"), this);
    TBToolWindowSiteExplorer->setObjectName(QStringLiteral("TBToolWindowSiteExplorer"));
    TBToolWindowSiteExplorer->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* explorer = new TSiteExplorerPanel(TBToolWindowSiteExplorer);
    explorer->setMaximumWidth(600);
    TBToolWindowSiteExplorer->setWidget(explorer);
    addDockWidget(Qt::LeftDockWidgetArea, TBToolWindowSiteExplorer);
    TBToolWindowSiteExplorer->hide();
    connect(explorer, &TSiteExplorerPanel::FileDoubleClicked, this,
            [this](const QString& path) { RunCommand([&] { OpenDocumentFile(path); }); });
    connect(explorer, &TSiteExplorerPanel::FolderChanged, this,
            [](const QString& folder) { SetSharedDialogFolder(folder); });
    CreateMenus();  // after the toolbars and the explorer, which the Window menu toggles

    MRUManager->Load(ProgramKey(kFrameClass + QStringLiteral(".MRUManager")));
    connect(MRUManager, &TMRUManager::RecentFileChosen, this,
            [this](const QString& name) { RunCommand([&] { MIRecentFileClick(name); }); });

    connect(MDIArea, &QMdiArea::subWindowActivated, this, &TFormQuenlockPlovane2::SubWindowActivated);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && Active) RunCommand([this] { Active->Activate(); });
    });

    new DesignKeyRouter(
        *menuBar(), [this] { return ActivePage(); }, this);

    LoadPlacement();
    LoadToolbarLayout();
    ResetToolbars();
}

TFormQuenlockPlovane2::~TFormQuenlockPlovane2() {
    // The pages go first, while the frame they report to is still whole; closed windows whose
    // deferred deletion has not run yet are no longer listed by the area but still report here.
    const QList<QMdiSubWindow*> windows = MDIArea->findChildren<QMdiSubWindow*>();
    for (QMdiSubWindow* window : windows) {
        window->disconnect(this);
        delete window;
    }
}

QAction* TFormQuenlockPlovane2::AddAction(QMenu* menu, const char* name, const QString& caption,
                                          void (TFormQuenlockPlovane2::*slot)(),
                                          const QKeySequence& shortcut) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, slot] { RunCommand([&] { (this->*slot)(); }); });
    return action;
}

void TFormQuenlockPlovane2::CreateMenus() {
    MIFile = menuBar()->addMenu(QStringLiteral("&File"));
    MIFile->setObjectName(QStringLiteral("MIFile"));
    auto* miNew = MIFile->addAction(QStringLiteral("&New"));
    miNew->setObjectName(QStringLiteral("MINew"));
    miNew->setShortcut(QKeySequence::New);
    connect(miNew, &QAction::triggered, this, [this] { RunCommand([this] { MINewClick(); }); });
    AddAction(MIFile, "MIOpen", QStringLiteral("&Open..."), &TFormQuenlockPlovane2::MIOpenClick,
              QKeySequence::Open);
    MISave = AddAction(MIFile, "MISave", QStringLiteral("&Save"), &TFormQuenlockPlovane2::MISaveClick,
                       QKeySequence::Save);
    MISaveAs =
        AddAction(MIFile, "MISaveAs", QStringLiteral("Save &As..."), &TFormQuenlockPlovane2::MISaveAsClick);
    MIRevert =
        AddAction(MIFile, "MIRevert", QStringLiteral("&Revert"), &TFormQuenlockPlovane2::MIRevertClick);
    MIFile->addSeparator();
    MIClose = AddAction(MIFile, "MIClose", QStringLiteral("&Close"), &TFormQuenlockPlovane2::MICloseClick);
    MICloseAll = AddAction(MIFile, "MICloseAll", QStringLiteral("C&lose All"),
                           &TFormQuenlockPlovane2::MICloseAllClick);
    MIFile->addSeparator();
    MIPrint = AddAction(MIFile, "MIPrint", QStringLiteral("&Print..."), &TFormQuenlockPlovane2::MIPrintClick,
                        QKeySequence::Print);
    AddAction(MIFile, "MIPrintSetup", QStringLiteral("P&rint Setup..."),
              &TFormQuenlockPlovane2::MIPrintSetupClick);
    MIPreviewInBrowser =
        AddAction(MIFile, "MIPreviewInBrowser", QStringLiteral("Pre&view in Browser"),
                  &TFormQuenlockPlovane2::MIPreviewInBrowserClick, QKeySequence(Qt::Key_F12));
    MIFile->addSeparator();
    MIExit = MIFile->addAction(QStringLiteral("E&xit"));
    MIExit->setObjectName(QStringLiteral("MIExit"));
    connect(MIExit, &QAction::triggered, this, &QWidget::close);
    MRUManager = new TMRUManager(MIFile, MIExit, this);
    connect(MIFile, &QMenu::aboutToShow, this, &TFormQuenlockPlovane2::FileMenuPopup);

    MIWindow = menuBar()->addMenu(QStringLiteral("&Window"));
    MIWindow->setObjectName(QStringLiteral("MIWindow"));
    MINextWindow = MIWindow->addAction(QStringLiteral("&Next"));
    MINextWindow->setObjectName(QStringLiteral("MINextWindow"));
    connect(MINextWindow, &QAction::triggered, MDIArea, &QMdiArea::activateNextSubWindow);
    MIPreviousWindow = MIWindow->addAction(QStringLiteral("&Previous"));
    MIPreviousWindow->setObjectName(QStringLiteral("MIPreviousWindow"));
    connect(MIPreviousWindow, &QAction::triggered, MDIArea, &QMdiArea::activatePreviousSubWindow);
    MICascade = MIWindow->addAction(QStringLiteral("&Cascade"));
    MICascade->setObjectName(QStringLiteral("MICascade"));
    connect(MICascade, &QAction::triggered, MDIArea, &QMdiArea::cascadeSubWindows);
    MITile = MIWindow->addAction(QStringLiteral("&Tile"));
    MITile->setObjectName(QStringLiteral("MITile"));
    connect(MITile, &QAction::triggered, MDIArea, &QMdiArea::tileSubWindows);
    MIWindow->addSeparator();
    // Show or hide a toolbar or the explorer; each is checked while its window shows.
    const auto toggle = [this](const char* name, const QString& caption, QWidget* window) {
        QAction* action = MIWindow->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        connect(action, &QAction::triggered, window, &QWidget::setVisible);
        Toggles.append({action, window});
    };
    toggle("MIFileTools", QStringLiteral("File Tools"), ToolbarFile);
    toggle("MIEditTools", QStringLiteral("Edit Tools"), Toolbars->EditTools());
    toggle("MIWindowsList", QStringLiteral("Windows List"), ToolbarWindowsList);
    toggle("MIHTMLElements", QStringLiteral("HTML Elements"), Toolbars->HTMLElements());
    toggle("MITableEditingTools", QStringLiteral("Table Editing Tools"), Toolbars->TableEditing());
    toggle("MIFontStyleTools", QStringLiteral("Font Style"), Toolbars->FontStyle());
    toggle("MIFontFaceTools", QStringLiteral("Font Face"), Toolbars->FontFace());
    toggle("MIFontColorTools", QStringLiteral("Font Color"), Toolbars->FontColor());
    toggle("MICoolTools", QStringLiteral("Cool Tools"), Toolbars->CoolTools());
    toggle("MISiteExplorer", QStringLiteral("Site Explorer"), TBToolWindowSiteExplorer);
    MIWindow->addSeparator();
    MIMDIChildren = MIWindow->addAction(QStringLiteral("MDI Children"));
    MIMDIChildren->setObjectName(QStringLiteral("MIMDIChildren"));
    MIMDIChildren->setVisible(false);
    connect(MIWindow, &QMenu::aboutToShow, this, &TFormQuenlockPlovane2::WindowMenuPopup);

    MIHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MIHelp->setObjectName(QStringLiteral("MIHelp"));
    AddAction(MIHelp, "MIShowReadMe", QStringLiteral("&Information..."),
              &TFormQuenlockPlovane2::MIShowReadMeClick);
    AddAction(MIHelp, "MIReadMeTxt", QStringLiteral("&Readme.txt..."),
              &TFormQuenlockPlovane2::MIReadMeTxtClick);
    MIHelp->addSeparator();
    auto* internet = MIHelp->addAction(QStringLiteral("Internet P&roperties..."));
    internet->setObjectName(QStringLiteral("MIInternetProperties"));
    connect(internet, &QAction::triggered, this,
            [] { RunCommand([] { RunControlPanel(QStringLiteral("Inetcpl.cpl")); }); });
}

void TFormQuenlockPlovane2::CreateToolbars() {
    const auto icon = [this](QStyle::StandardPixmap which) { return style()->standardIcon(which); };
    const auto button = [this](QToolBar* bar, const char* name, const QIcon& image, const QString& hint,
                               std::function<void()> run) {
        QAction* action = bar->addAction(image, hint);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, [run] { RunCommand(run); });
        return action;
    };

    ToolbarFile = addToolBar(QStringLiteral("File"));
    ToolbarFile->setObjectName(QStringLiteral("ToolbarFile"));
    button(ToolbarFile, "TBNew", icon(QStyle::SP_FileIcon), QStringLiteral("New"), [this] { MINewClick(); });
    button(ToolbarFile, "TBOpen", icon(QStyle::SP_DialogOpenButton), QStringLiteral("Open"),
           [this] { MIOpenClick(); });
    TBSave = button(ToolbarFile, "TBSave", icon(QStyle::SP_DialogSaveButton), QStringLiteral("Save"),
                    [this] { MISaveClick(); });
    Toolbars = new FrameToolbars(
        *this, [this] { return ActivePage(); }, [this] { return ActiveDesign(); });

    ToolbarWindowsList = new QToolBar(QStringLiteral("Windows List"), this);
    ToolbarWindowsList->setObjectName(QStringLiteral("ToolbarWindowsList"));
    ToolbarWindowsList->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addToolBar(Qt::BottomToolBarArea, ToolbarWindowsList);
    WindowButtons << button(ToolbarWindowsList, "TBPrevious", icon(QStyle::SP_ArrowBack),
                            QStringLiteral("Previous Window"),
                            [this] { MDIArea->activatePreviousSubWindow(); })
                  << button(ToolbarWindowsList, "TBNext", icon(QStyle::SP_ArrowForward),
                            QStringLiteral("Next Window"), [this] { MDIArea->activateNextSubWindow(); })
                  << button(ToolbarWindowsList, "TBCascade", icon(QStyle::SP_TitleBarNormalButton),
                            QStringLiteral("Cascade"), [this] { MDIArea->cascadeSubWindows(); })
                  << button(ToolbarWindowsList, "TBTile", icon(QStyle::SP_FileDialogListView),
                            QStringLiteral("Tile"), [this] { MDIArea->tileSubWindows(); });
    for (QAction* action : WindowButtons) action->setIconText(QString());
    ToolbarWindowsList->addSeparator();
}

QList<TFormChild*> TFormQuenlockPlovane2::Pages() const {
    QList<TFormChild*> pages;
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder))
        if (TFormChild* page = PageOf(window)) pages << page;
    return pages;
}

TFormChild* TFormQuenlockPlovane2::RequireActivePage() const {
    if (!Active) RaiseMessage(QStringLiteral("Internal Error. MDIChild is currently NOT avaliable."));
    return Active;
}

TDHTMLEdit* TFormQuenlockPlovane2::ActiveDesign() const { return RequireActivePage()->Design(); }

DomRef TFormQuenlockPlovane2::ActiveDocument() const {
    TDHTMLEdit* design = ActiveDesign();
    if (design->Busy()) RaiseMessage(QStringLiteral("Please wait until the HTML document is fully loaded."));
    return design->DOM();
}

TFormChild* TFormQuenlockPlovane2::MINewClick() {
    if (Pages().size() > MaxPages - 1)
        RaiseMessage(
            QStringLiteral("Only 10 windows can be opened at one time.\n\nPlease close some windows before "
                           "creating new ones."));
    auto* page = new TFormChild(*this);
    QMdiSubWindow* window = MDIArea->addSubWindow(page);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(page->Caption());
    window->setMinimumWidth(250);
    connect(page, &TFormChild::CaptionChanged, window, [this, window](const QString& caption) {
        window->setWindowTitle(caption);
        RebuildWindowButtons();
    });
    connect(window, &QObject::destroyed, this, [this] { RebuildWindowButtons(); });
    RegistryStore reg;
    const bool maximised = reg.OpenKey(ProgramKey(QStringLiteral("TFormChild")), false) &&
                           reg.ReadInteger(QStringLiteral("ShowCmd"), 1) == 3;
    if (maximised) {
        window->showMaximized();
    } else {
        // Only the show state is kept between runs; a page opens at three quarters of the area.
        window->resize(qMax(400, MDIArea->width() * 3 / 4), qMax(300, MDIArea->height() * 3 / 4));
        window->show();
    }
    MDIArea->setActiveSubWindow(window);
    if (Active != page) page->Activate();  // an inactive frame reports no activation
    RebuildWindowButtons();
    return page;
}

TFormChild* TFormQuenlockPlovane2::FindPage(const QString& path) const {
    for (TFormChild* page : Pages())
        if (!page->CurrentPath().isEmpty() && page->CurrentPath().compare(path, Qt::CaseInsensitive) == 0)
            return page;
    return nullptr;
}

TFormChild* TFormQuenlockPlovane2::OpenDocumentFile(const QString& requested) {
    const QString path = FetchUrl(requested);
    MRUManager->Remove(path);
    if (TFormChild* open = FindPage(path)) {
        MDIArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
        if (Active != open) open->Activate();
        MIRevertClick();
        MRUManager->Add(path);
        return open;
    }
    TFormChild* page = MINewClick();
    page->LoadPage(path);
    MRUManager->Add(path);
    return page;
}

void TFormQuenlockPlovane2::MIOpenClick() {
    const auto chosen = ExecuteOpenDialog(QString(), QString::fromLatin1(PageFileFilter));
    if (chosen) OpenDocumentFile(*chosen);
}

void TFormQuenlockPlovane2::MIRecentFileClick(const QString& name) {
    MRUManager->Remove(name);
    if (QFileInfo::exists(name)) {
        OpenDocumentFile(name);
        return;
    }
    const auto chosen = ExecuteOpenDialog(name, QString::fromLatin1(PageFileFilter));
    if (chosen) OpenDocumentFile(*chosen);
}

void TFormQuenlockPlovane2::MISaveClick() {
    TFormChild* page = RequireActivePage();
    page->CommitSource();
    if (CanSaveInPlace(page->CurrentPath()))
        SaveDocumentFile(page->CurrentPath());
    else
        MISaveAsClick();
}

void TFormQuenlockPlovane2::MISaveAsClick() {
    TFormChild* page = RequireActivePage();
    page->CommitSource();
    const auto chosen =
        ExecuteSaveDialog(page->CurrentPath(), QString::fromLatin1(PageFileFilter), QStringLiteral("htm"));
    if (chosen) SaveDocumentFile(*chosen);
}

void TFormQuenlockPlovane2::SaveDocumentFile(const QString& path) {
    if (!CanWriteFile(path))
        RaiseMessage(QStringLiteral("You don't have write permissions for the file \"%1\".").arg(path));
    TFormChild* page = RequireActivePage();
    MRUManager->Remove(path);
    page->SavePage(path);
    MRUManager->Add(path);
}

void TFormQuenlockPlovane2::MIRevertClick() {
    TFormChild* page = RequireActivePage();
    page->ShowTab(TFormChild::TabEdit);
    if (ConfirmYesNo(
            QStringLiteral("\"%1\" is already open.\r\rDo you wish to revert to the last saved version of "
                           "this document?")
                .arg(page->CurrentPath())))
        page->ReloadFromDisk();
}

void TFormQuenlockPlovane2::MICloseClick() {
    if (QMdiSubWindow* window = MDIArea->activeSubWindow()) window->close();
}

void TFormQuenlockPlovane2::MICloseAllClick() {
    const QList<QMdiSubWindow*> windows = MDIArea->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* window : windows) window->close();
}

void TFormQuenlockPlovane2::MIPrintClick() { ActiveDesign()->PrintDocument(true); }

void TFormQuenlockPlovane2::MIPrintSetupClick() {
    QPageSetupDialog dialog(&SharedPrinter(), this);
    dialog.exec();
}

void TFormQuenlockPlovane2::MIPreviewInBrowserClick() {
    MISaveClick();
    const QString path = RequireActivePage()->CurrentPath();
    if (!QFileInfo(path).isFile())
        RaiseMessage(QStringLiteral("You must save this file before you can preview it."));
    ShowInBrowser(path);
}

void TFormQuenlockPlovane2::MIShowReadMeClick() {
    ShowHelpPage(ProgramFolderFile(QStringLiteral("help/index.htm")));
}

void TFormQuenlockPlovane2::MIReadMeTxtClick() {
    ShowHelpPage(ProgramFolderFile(QStringLiteral("Readme.txt")));
}

void TFormQuenlockPlovane2::ShowHelpPage(const QString& address) {
    const QString scheme = UrlScheme(address).toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const bool local =
        QFileInfo(QUrl(address).isLocalFile() ? QUrl(address).toLocalFile() : address).isFile();
    if (!web || local || IsInternetConnected() ||
        ConfirmYesNo(
            QStringLiteral("You don't seem to be connected to the internet. Do you wish to connect now?")))
        ShowInBrowser(address);
}

void TFormQuenlockPlovane2::FileMenuPopup() {
    const bool page = Active;
    const int count = int(Pages().size());
    MISave->setEnabled(page);
    MISaveAs->setEnabled(page);
    MIRevert->setEnabled(page && Active->Modified() && QFileInfo(Active->CurrentPath()).isFile());
    MIPrint->setEnabled(page && Active->CurrentTab() == TFormChild::TabEdit);
    MIPreviewInBrowser->setEnabled(page);
    MIClose->setEnabled(count >= 1);
    MICloseAll->setEnabled(count >= 2);
}

void TFormQuenlockPlovane2::WindowMenuPopup() {
    const QList<TFormChild*> pages = Pages();
    MINextWindow->setVisible(pages.size() > 1);
    MIPreviousWindow->setVisible(pages.size() > 1);
    MITile->setVisible(Active);
    MICascade->setVisible(Active);
    for (const auto& [action, window] : Toggles) action->setChecked(!window->isHidden());
    // Everything after the marker is the window list, made anew each time.
    const QList<QAction*> actions = MIWindow->actions();
    for (qsizetype i = actions.indexOf(MIMDIChildren) + 1; i < actions.size(); ++i) {
        MIWindow->removeAction(actions.at(i));
        actions.at(i)->deleteLater();
    }
    if (pages.isEmpty()) return;
    MIWindow->addSeparator();
    int number = 1;
    for (TFormChild* page : pages) {
        QString caption = page->Caption();
        auto* item =
            MIWindow->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption.replace('&', "&&")));
        item->setStatusTip(page->Caption());
        item->setCheckable(true);
        item->setChecked(page == Active);
        QPointer<TFormChild> target = page;
        connect(item, &QAction::triggered, this, [this, target] {
            if (target) MDIArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(target->parentWidget()));
        });
    }
}

void TFormQuenlockPlovane2::RebuildWindowButtons() {
    for (QAction* action : PageButtons) {
        ToolbarWindowsList->removeAction(action);
        action->deleteLater();
    }
    PageButtons.clear();
    for (TFormChild* page : Pages()) {
        auto* action = ToolbarWindowsList->addAction(QFileInfo(page->Caption()).fileName());
        action->setToolTip(page->Caption());
        action->setCheckable(true);
        action->setChecked(page == Active);
        QPointer<TFormChild> target = page;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target) MDIArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(target->parentWidget()));
        });
        PageButtons << action;
    }
    const bool many = Pages().size() > 1;
    WindowButtons.at(0)->setEnabled(many);
    WindowButtons.at(1)->setEnabled(many);
}

void TFormQuenlockPlovane2::SubWindowActivated(QMdiSubWindow* window) {
    TFormChild* page = PageOf(window);
    if (!page || page == Active) return;
    RunCommand([page] { page->Activate(); });
}

void TFormQuenlockPlovane2::PageActivated(TFormChild* page) {
    Active = page;
    Toolbars->ShowCommandsOf(*page);
    MergePageMenus();
    SetStatusText(page->Caption());
    RebuildWindowButtons();
}

void TFormQuenlockPlovane2::PageMenusChanged(TFormChild* page) {
    if (page == Active) MergePageMenus();
}

// The page owns its menus; the menu bar only shows them, so a page that goes takes its menus along.
void TFormQuenlockPlovane2::MergePageMenus() {
    for (const QPointer<QAction>& action : std::as_const(MergedMenus))
        if (action) menuBar()->removeAction(action);
    MergedMenus.clear();
    if (!Active) return;
    for (QMenu* menu : Active->PageMenus()) {
        menuBar()->insertAction(MIWindow->menuAction(), menu->menuAction());
        MergedMenus << menu->menuAction();
    }
}

void TFormQuenlockPlovane2::PageClosing(TFormChild* page) {
    if (Active == page) Active = nullptr;
    MergePageMenus();
    ResetToolbars();
    QCoreApplication::processEvents();
    SetStatusText(QStringLiteral("No Document Loaded"));
}

void TFormQuenlockPlovane2::ResetToolbars() {
    Toolbars->Reset();
    TBSave->setEnabled(false);
    for (QAction* action : WindowButtons) action->setEnabled(false);
}

// Live only while the active page shows its design view; any other time the toolbars rest.
void TFormQuenlockPlovane2::UpdateToolbars() {
    if (!Active || Active->CurrentTab() != TFormChild::TabEdit || Active->Design()->Busy()) {
        ResetToolbars();
        return;
    }
    TBSave->setEnabled(true);
    WindowButtons.at(2)->setEnabled(true);
    WindowButtons.at(3)->setEnabled(true);
    const bool many = Pages().size() > 1;
    WindowButtons.at(0)->setEnabled(many);
    WindowButtons.at(1)->setEnabled(many);
    Toolbars->Update(*Active->Design());
}

void TFormQuenlockPlovane2::SetStatusText(const QString& text) { StatusLabel->setText(text); }

void TFormQuenlockPlovane2::RunSave() {
    RunCommand([this] { MISaveClick(); });
}

bool TFormQuenlockPlovane2::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !FirstPaintDone) {
        FirstPaintDone = true;
        QTimer::singleShot(0, this, &TFormQuenlockPlovane2::FirstPaint);
    }
    return QMainWindow::event(event);
}

void TFormQuenlockPlovane2::FirstPaint() {
    FirstPaintDone = true;
    if (HasSwitch(QStringLiteral("n")))
        RunCommand([this] { MINewClick(); });
    else if (HasFileParameter())
        RunCommand([this] { OpenDocumentFile(FileParameter()); });
    QCoreApplication::processEvents();
    Splash->ShowSplash(ProgramFolderFile(QStringLiteral("Setup.bmp")));
}

void TFormQuenlockPlovane2::CommandLineReceived(const QString& commandLine) {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    const QStringList items = SplitCommandLine(commandLine);
    if (items.size() >= 2 && !items.at(1).startsWith(QLatin1Char('-')))
        RunCommand([&] { OpenDocumentFile(items.at(1)); });
}

void TFormQuenlockPlovane2::closeEvent(QCloseEvent* event) {
    // Every page is asked first; a Cancel anywhere keeps everything open.
    const QList<TFormChild*> pages = Pages();
    for (TFormChild* page : pages) {
        bool mayClose = false;
        RunCommand([&] { mayClose = page->CloseQuery(); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    for (TFormChild* page : pages) {
        page->SkipCloseQuery();
        if (auto* window = qobject_cast<QMdiSubWindow*>(page->parentWidget())) window->close();
    }
    SavePlacement();
    MRUManager->Save(ProgramKey(kFrameClass + QStringLiteral(".MRUManager")));
    SaveToolbarLayout();
    event->accept();
}

void TFormQuenlockPlovane2::LoadPlacement() {
    RegistryStore reg;
    QRect normal(QPoint(60, 40), QSize(1000, 700));
    int show = 1;
    if (reg.OpenKey(ProgramKey(kFrameClass), false)) {
        if (const auto stored = TextRect(reg.ReadString(QStringLiteral("NormPos")))) normal = *stored;
        show = reg.ReadInteger(QStringLiteral("ShowCmd"), 1);
    }
    // A placement from a larger screen, or from one that is gone, comes back onto a screen there is.
    setGeometry(PlaceOnScreens(normal, AvailableScreens()));
    if (show == 3) setWindowState(Qt::WindowMaximized);
}

void TFormQuenlockPlovane2::SavePlacement() const {
    RegistryStore reg;
    if (!reg.OpenKey(ProgramKey(kFrameClass), true)) return;
    reg.WriteInteger(QStringLiteral("Flags"), 0);
    reg.WriteInteger(QStringLiteral("ShowCmd"), isMaximized() ? 3 : isMinimized() ? 2 : 1);
    reg.WriteString(QStringLiteral("MinMaxPos"), QStringLiteral("-1,-1,-1,-1"));
    reg.WriteString(QStringLiteral("NormPos"),
                    RectText(normalGeometry().isValid() ? normalGeometry() : geometry()));
    reg.WriteInteger(QStringLiteral("PixelsPerInch"), logicalDpiY());
}

void TFormQuenlockPlovane2::LoadToolbarLayout() {
    const IniDocument settings = TIniFile::ProgramFile(QStringLiteral("Settings.ini")).ReadAll();
    QList<ToolbarPlace> places = CurrentToolbarPlaces(*this);
    bool stored = false;
    for (ToolbarPlace& place : places) {
        const QString section = kFrameClass + place.Name;
        stored = stored || settings.Find(section);
        place = ReadToolbarPlace(settings, section, place);
    }
    // Before the first show the toolbars have no geometry yet, so the places read from the window
    // say nothing of their rows: a first start keeps the toolbars as they were built.
    if (stored) ApplyToolbarPlaces(*this, places);
}

void TFormQuenlockPlovane2::SaveToolbarLayout() const {
    TIniFile::ProgramFile(QStringLiteral("Settings.ini")).Update([this](IniDocument& settings) {
        for (const ToolbarPlace& place : CurrentToolbarPlaces(*this))
            WriteToolbarPlace(settings, kFrameClass + place.Name, place);
        return true;
    });
}

}  // namespace plovane
