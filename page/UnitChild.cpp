#include "page/UnitChild.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "engine/DHTMLEdit.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "page/DesignCommands.h"
#include "page/MarginRuler.h"
#include "page/PageHost.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Prompter.h"
#include "platform/RegistryStore.h"
#include "platform/TextTrim.h"

namespace plovane {

namespace {

const char* const kFrameClass = "TFormQuenlockPlovane2";

// A stored display value: -1 on, 0 off, absent on.
bool StoredSwitch(const QString& name) {
    RegistryStore reg;
    if (!reg.OpenKey(ProgramKey(QString::fromLatin1(kFrameClass)), false)) return true;
    return reg.ReadInteger(name, -1) != 0;
}

QWidget* TabSheet(const char* name, QWidget* parent) {
    auto* sheet = new QWidget(parent);
    sheet->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return sheet;
}

}  // namespace

QString NewPageTemplate() {
    const QStringList lines = {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("  <TITLE>Enter Page Title Here</TITLE>"),
        QStringLiteral("  <META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"),
        QStringLiteral("  <META name=\"generator\" content=\"") + ApplicationTitle() + QStringLiteral("\">"),
        QStringLiteral("<STYLE>"),
        QStringLiteral("     .{margin-bottom:-14pt}"),
        QStringLiteral("  BODY{font-family:arial}"),
        QStringLiteral("</STYLE>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY text=#000000 bgColor=#ffffff scroll=auto>"),
        QStringLiteral("  <P>"),
        QStringLiteral("  </P>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

TFormChild::TFormChild(PageHost& host, QWidget* parent)
    : QWidget(parent),
      Host(host),
      PageControl(new TPageControl(this)),
      TabSet(new QTabBar(this)),
      TabSheetEdit(TabSheet("TabSheetEdit", PageControl)),
      TabSheetPreview(TabSheet("TabSheetPreview", PageControl)),
      TabSheetSource(TabSheet("TabSheetSource", PageControl)),
      DHTMLEdit(new TDHTMLEdit(TabSheetEdit)),
      StatusBar(new QStatusBar(this)),
      ButtonDummy(new QPushButton(this)),
      PopupMenuDesign(new QMenu(this)) {
    setObjectName(QStringLiteral("FormChild"));
    setAttribute(Qt::WA_DeleteOnClose, false);  // the sub-window owns and deletes the page
    setMinimumWidth(250);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSet->setObjectName(QStringLiteral("TabSet"));
    DHTMLEdit->setObjectName(QStringLiteral("DHTMLEdit"));
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    ButtonDummy->setObjectName(QStringLiteral("ButtonDummy"));
    PopupMenuDesign->setObjectName(QStringLiteral("PopupMenuDesign"));
    PageCommands = new DesignCommands(*this);  // fills PopupMenuDesign

    // The focus target sits behind the views, where nobody sees it.
    ButtonDummy->setGeometry(0, 0, 1, 1);
    ButtonDummy->lower();

    TabSheetEdit->layout()->addWidget(new MarginRuler(DHTMLEdit, TabSheetEdit));
    TabSheetEdit->layout()->addWidget(DHTMLEdit);
    PageControl->addTab(TabSheetEdit, QStringLiteral("Editor"));
    PageControl->addTab(TabSheetPreview, QStringLiteral("Preview"));
    PageControl->addTab(TabSheetSource, QStringLiteral("Source"));
    PageControl->tabBar()->hide();
    PageControl->setDocumentMode(true);
    for (const char* text : {"Editor", "Preview", "Source"}) TabSet->addTab(QString::fromLatin1(text));
    TabSet->setShape(QTabBar::RoundedSouth);

    const int widths[] = {60, 60, 60, 22};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        panel->setTextFormat(Qt::PlainText);  // panel 2 shows markup, which must not be rendered
        if (i < 2) panel->setAlignment(Qt::AlignCenter);
        StatusBar->addWidget(panel, i == 2 ? 1 : 0);
        Panels << panel;
    }

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(TabSet);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl, 1);
    layout->addLayout(bottom);
    layout->addWidget(StatusBar);

    RefreshTimer.setObjectName(QStringLiteral("RefreshTimer"));
    RefreshTimer.setInterval(200);
    RefreshTimer.setSingleShot(true);
    connect(&RefreshTimer, &QTimer::timeout, this, [this] { RunCommand([this] { RefreshTimerFire(); }); });

    PageControl->OnChanging = [this] { return !DHTMLEdit->Busy(); };
    PageControl->OnChange = [this] {
        const QSignalBlocker block(TabSet);
        TabSet->setCurrentIndex(PageControl->currentIndex());
        if (CurrentTab() != TabEdit) Host.ResetToolbars();
        Host.PageMenusChanged(this);
    };
    connect(TabSet, &QTabBar::currentChanged, this, [this](int index) { TabSetChange(index); });

    // The engine delivers its events when the page can be called again.
    connect(DHTMLEdit, &TDHTMLEdit::DisplayChanged, this,
            [this] { RunCommand([this] { DisplayChanged(); }); });
    connect(DHTMLEdit, &TDHTMLEdit::onmousedown, this, [this] { RefreshTimer.start(); });
    connect(DHTMLEdit, &TDHTMLEdit::onmousemove, this, [this] { RunCommand([this] { DesignMouseMove(); }); });
    connect(DHTMLEdit, &TDHTMLEdit::ShowContextMenu, this,
            [this](int x, int y) { RunCommand([&] { DesignContextMenu(x, y); }); });
    connect(DHTMLEdit, &TDHTMLEdit::ondblclick, this, [this] { emit DesignDoubleClicked(); });
    connect(DHTMLEdit, &TDHTMLEdit::DocumentComplete, this,
            [this] { RunCommand([this] { DocumentComplete(); }); });

    DesignSetHTML(DHTMLEdit, NewPageTemplate(), false);
    WaitUntilReady(DHTMLEdit);
    DHTMLEdit->MarkClean();  // an untouched new page asks nothing when it closes
    SetCaption(QStringLiteral("untitled.htm"));
}

TFormChild::~TFormChild() = default;

QString TFormChild::CurrentPath() const { return DHTMLEdit->CurrentDocumentPath(); }

bool TFormChild::Modified() const { return DHTMLEdit->IsDirty(); }

QString TFormChild::StatusPanelText(int index) const {
    return Panels.value(index) ? Panels.at(index)->text() : QString();
}

QList<QMenu*> TFormChild::PageMenus() const {
    return CurrentTab() == TabEdit ? PageCommands->Menus() : QList<QMenu*>();
}

TFormChild::Tab TFormChild::CurrentTab() const { return Tab(PageControl->currentIndex()); }

bool TFormChild::ShowTab(Tab tab) {
    if (CurrentTab() == tab) return true;
    return SetActiveTab(PageControl, int(tab));
}

void TFormChild::TabSetChange(int index) {
    if (SetActiveTab(PageControl, index)) return;
    const QSignalBlocker block(TabSet);
    TabSet->setCurrentIndex(PageControl->currentIndex());
}

void TFormChild::LoadPage(const QString& path) {
    DesignLoadFile(DHTMLEdit, path);
    StampFileAge();
    SetCaption(CurrentPath());
}

void TFormChild::SavePage(const QString& path) {
    DesignSaveFile(DHTMLEdit, path);
    StampFileAge();
    SetCaption(CurrentPath());
}

void TFormChild::ReloadFromDisk() { LoadPage(CurrentPath()); }

void TFormChild::CommitSource() {
    // The source view keeps no text of its own yet, so nothing is pending.
}

DomRef TFormChild::ReadyDocument() {
    WaitUntilReady(DHTMLEdit);
    return DHTMLEdit->DOM();
}

void TFormChild::Activate() {
    static bool asking = false;  // the question's own box must not ask again
    Host.PageActivated(this);
    DisplayChanged();
    if (asking || Closing) return;
    const qint64 age = FileTimeStamp(CurrentPath());
    if (age <= LoadedFileAge) return;
    ShowTab(TabEdit);
    asking = true;
    const bool reload =
        ConfirmYesNo(QStringLiteral("File has been change since loading. Do you want to reload file?"));
    asking = false;
    if (reload)
        ReloadFromDisk();
    else
        LoadedFileAge = age;
}

bool TFormChild::CloseQuery() {
    ShowTab(TabEdit);
    CommitSource();
    if (!Modified()) return true;
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = window->mdiArea()) area->setActiveSubWindow(window);
    }
    const Answer answer =
        AskYesNoCancel(QStringLiteral("The file \"%1\" has been changed.\r\rDo you want to save the changes?")
                           .arg(Caption()));
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    Host.RunSave();
    return !Modified();
}

void TFormChild::closeEvent(QCloseEvent* event) {
    bool mayClose = QueryAnswered;
    if (!mayClose) RunCommand([&] { mayClose = CloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    Closing = true;
    ButtonDummy->setFocus();
    RefreshTimer.stop();
    DHTMLEdit->disconnect(this);
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        RegistryStore reg;
        if (reg.OpenKey(ProgramKey(QStringLiteral("TFormChild")), true))
            reg.WriteInteger(QStringLiteral("ShowCmd"), window->isMaximized() ? 3 : 1);
    }
    Host.PageClosing(this);
    event->accept();
}

void TFormChild::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    StretchStatusPanel(StatusBar, 2);
}

void TFormChild::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FirstShown) return;
    FirstShown = true;
    Host.ResetToolbars();
}

void TFormChild::DisplayChanged() {
    if (CurrentTab() != TabEdit) {
        Host.ResetToolbars();
        QCoreApplication::processEvents();
        return;
    }
    RefreshTimer.stop();
    RefreshTimer.start();
}

void TFormChild::RefreshTimerFire() {
    RefreshTimer.stop();
    if (Host.ActivePage() != this || DHTMLEdit->Busy()) return;
    if (DHTMLEdit->Bridge().Answering()) {  // fired during a call into the page: try again after it
        RefreshTimer.start();
        return;
    }
    if (ElementUnderMouse) {
        try {
            Panels.at(1)->setText(ElementUnderMouse.Text(QStringLiteral("tagName")));
            Panels.at(2)->setText(TrimControls(
                FilterForDisplay(DHTMLEdit, ElementUnderMouse.Text(QStringLiteral("outerHTML")))));
        } catch (const EngineError&) {
            ElementUnderMouse = DomRef();  // the element left the document since the mouse was over it
        }
    }
    if (!CurrentPath().isEmpty() && CurrentPath().compare(Caption(), Qt::CaseInsensitive) != 0)
        SetCaption(CurrentPath());
    Host.SetStatusText(Caption());
    Host.UpdateToolbars();
}

void TFormChild::DesignMouseMove() {
    if (Host.ActivePage() != this || DHTMLEdit->Busy()) return;
    const DomRef event = DHTMLEdit->DOM().Ref(QStringLiteral("parentWindow")).Ref(QStringLiteral("event"));
    if (!event) return;
    ElementUnderMouse = event.Ref(QStringLiteral("srcElement"));
    Panels.at(0)->setText(
        QStringLiteral("%1 x %2").arg(event.Text(QStringLiteral("x")), event.Text(QStringLiteral("y"))));
}

void TFormChild::DesignContextMenu(int x, int y) {
    const DomRef element = DHTMLEdit->DOM().Call(QStringLiteral("elementFromPoint"), {x, y}).ToRef();
    if (!element) return;
    const QString tag = element.Text(QStringLiteral("tagName")).toUpper();
    if (tag == QLatin1String("APPLET") || tag == QLatin1String("OBJECT") || tag == QLatin1String("EMBED"))
        return;
    if (!PopupMenuDesign->actions().isEmpty()) PopupMenuDesign->popup(QCursor::pos());
}

void TFormChild::DocumentComplete() {
    DHTMLEdit->SetShowBorders(StoredSwitch(QStringLiteral("ShowBorders")));
    DHTMLEdit->SetShowDetails(StoredSwitch(QStringLiteral("ShowDetails")));
    DisplayChanged();  // a new document is a change of display: the status and toolbars follow it
}

void TFormChild::SetCaption(const QString& caption) {
    if (caption == windowTitle()) return;
    setWindowTitle(caption);
    if (Host.ActivePage() == this) Host.SetStatusText(caption);
    emit CaptionChanged(caption);
}

void TFormChild::StampFileAge() { LoadedFileAge = FileTimeStamp(CurrentPath()); }

qint64 TFormChild::FileTimeStamp(const QString& path) {
    if (path.isEmpty()) return -1;
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
}

}  // namespace plovane
