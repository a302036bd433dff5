#include "engine/DHTMLEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "engine/EngineBridge.h"
#include "engine/EngineSetup.h"
#include "engine/PageEncoding.h"
#include "platform/Errors.h"
#include "platform/FileTests.h"
#include "platform/Prompter.h"
#include "platform/SharedDialogs.h"

namespace plovane {

// The receiving end of engine.js's event channel.
class EngineEvents : public QObject {
    Q_OBJECT
public:
    explicit EngineEvents(TDHTMLEdit* owner) : QObject(owner), Owner(owner) {}
public slots:
    void post(const QString& kind, const QVariantList& arguments) { Owner->Dispatch(kind, arguments); }

private:
    TDHTMLEdit* Owner;
};

namespace {

const char* const EmptyDocument = "<html><head><title></title></head><body></body></html>";

// Font sizes 1 to 7 in points, the classic mapping the font dialog works with.
const int PointSizes[] = {8, 10, 12, 14, 18, 24, 36};

int HtmlSizeForPoints(int points) {
    for (int i = 0; i < 7; ++i)
        if (points <= PointSizes[i]) return i + 1;
    return 7;
}

// Chromium's own editing keys, each bound to the command that does the same through the table.
struct EditingKey {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    DHTMLCommand Command;
};

const EditingKey EditingKeys[] = {
    {Qt::Key_B, Qt::ControlModifier, DECMD_BOLD},
    {Qt::Key_I, Qt::ControlModifier, DECMD_ITALIC},
    {Qt::Key_U, Qt::ControlModifier, DECMD_UNDERLINE},
    {Qt::Key_Z, Qt::ControlModifier, DECMD_UNDO},
    {Qt::Key_Y, Qt::ControlModifier, DECMD_REDO},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, DECMD_REDO},
    {Qt::Key_X, Qt::ControlModifier, DECMD_CUT},
    {Qt::Key_Delete, Qt::ShiftModifier, DECMD_CUT},
    {Qt::Key_C, Qt::ControlModifier, DECMD_COPY},
    {Qt::Key_Insert, Qt::ControlModifier, DECMD_COPY},
    {Qt::Key_V, Qt::ControlModifier, DECMD_PASTE},
    {Qt::Key_Insert, Qt::ShiftModifier, DECMD_PASTE},
    {Qt::Key_A, Qt::ControlModifier, DECMD_SELECTALL},
    {Qt::Key_Delete, Qt::NoModifier, DECMD_DELETE},
};

// The command of an editing key, or 0. A keypad key counts as the same key.
int CommandForKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const EditingKey& key : EditingKeys)
        if (key.Key == event.key() && key.Modifiers == modifiers) return key.Command;
    return 0;
}

QString FolderOf(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    return folder.endsWith('/') ? folder : folder + '/';
}

}  // namespace

TDHTMLEdit::TDHTMLEdit(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    WebView = new QWebEngineView(this);
    Page = CreateEnginePage(WebView, /*guarded=*/true);
    WebView->setPage(Page);
    WebView->setContextMenuPolicy(Qt::NoContextMenu);
    layout->addWidget(WebView);

    Engine = new EngineBridge(Page, this);
    connect(Engine, &EngineBridge::CallEnded, this, &TDHTMLEdit::DeliverHeldEvents);
    Events = new EngineEvents(this);
    auto* channel = new QWebChannel(this);
    channel->registerObject("engineEvents", Events);
    Page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);

    connect(Page, &QWebEnginePage::loadFinished, this, [this](bool ok) { LoadFinished(ok); });
    // The bridge fails its calls from now on; a load in progress ends as failed.
    connect(Engine, &EngineBridge::PageLost, this, [this] {
        PageGone = true;
        if (IsBusy) FinishLoad(false);
    });
    WebView->installEventFilter(this);
    NewDocument();
}

TDHTMLEdit::~TDHTMLEdit() = default;

// ---- loading -----------------------------------------------------------------------------------

void TDHTMLEdit::BeginLoad(bool dirty) {
    Engine->NewGeneration();
    IsBusy = true;
    Failed = false;
    PageGone = false;
    DirtyAfterLoad = dirty;
    ++LoadSerial;
    AllowNextNavigation(Page);
}

void TDHTMLEdit::StartLoad(const QByteArray& data, const QString& mimeType, const QString& documentUrl,
                           bool dirty) {
    BeginLoad(dirty);
    const QUrl url = documentUrl.isEmpty() ? QUrl("file:///") : QUrl(documentUrl);
    Page->setContent(data, mimeType, url);
}

void TDHTMLEdit::LoadFinished(bool) {
    // A load that a newer one interrupted finishes too; only the last one counts.
    if (!IsBusy || Page->isLoading()) return;
    CheckReady(false);
}

// The document is ready when engine.js is in it and it has loaded. A load that a crash or a newer
// load cut short may report its end before the right document is there, so a document that is not
// ready yet gets one more look a little later before the load counts as failed.
void TDHTMLEdit::CheckReady(bool lastLook) {
    const quint64 serial = LoadSerial;
    const QString script = QString(
                               "(function () {"
                               "  if (!window.PlovaneEngine)"
                               "    return document.readyState === 'complete' ? 'bare' : 'missing';"
                               "  if (document.readyState !== 'complete') return 'loading';"
                               "  PlovaneEngine.ready();"
                               "  PlovaneEngine.setDirty(%1);"
                               "  PlovaneEngine.setOptions({details: %2, borders: %3, snapToGrid: %4});"
                               "  return 'ready';"
                               "})()")
                               .arg(DirtyAfterLoad ? "true" : "false", Details ? "true" : "false",
                                    Borders ? "true" : "false", Snap ? "true" : "false");
    QPointer<TDHTMLEdit> self(this);
    Page->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [self, serial, lastLook](const QVariant& answer) {
            if (!self || serial != self->LoadSerial || !self->IsBusy) return;
            const QString state = answer.toString();
            if (state == "ready") {
                self->FinishLoad(true);
            } else if (state == "bare" && !lastLook) {
                // After a crash of the page's process the engine does not always put its script into
                // the next document; it is put in by hand then.
                self->Page->runJavaScript(EngineWorldScript(), QWebEngineScript::ApplicationWorld);
                self->CheckReady(true);
            } else if (lastLook) {
                self->FinishLoad(false);
            } else {
                QTimer::singleShot(1500, self, [self, serial] {
                    if (self && self->IsBusy && serial == self->LoadSerial) self->CheckReady(true);
                });
            }
        });
}

void TDHTMLEdit::FinishLoad(bool ok) {
    ForbidNavigation(Page);
    WatchFocusProxy();
    Failed = !ok;
    IsBusy = false;
    // This runs inside the page's answer to a script; the event reaches its handlers later.
    Deliver([this] { emit DocumentComplete(); });
}

void TDHTMLEdit::NewDocument() {
    DocumentPath.clear();
    Base.clear();
    StartLoad(EmptyDocument, "text/html;charset=UTF-8", QString(), false);
}

void TDHTMLEdit::LoadDocument(const QString& path, bool prompt) {
    QString file = path;
    if (prompt) {
        const auto chosen = ExecuteOpenDialog(path, PageFileFilter);
        if (!chosen) return;
        file = *chosen;
    }
    QFile input(file);
    if (!QFileInfo(file).isFile() || !input.open(QIODevice::ReadOnly))
        throw EngineError(QString("The file \"%1\" can not be read.").arg(file));
    const QByteArray bytes = input.readAll();
    if (bytes.size() > MaxContentBytes) throw EngineError(QString("The file \"%1\" is too large.").arg(file));
    DocumentPath = QFileInfo(file).absoluteFilePath();
    Base = FolderOf(DocumentPath);
    const QString type = ContentTypeFor(bytes);
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (type == "text/html" && (suffix == "htm" || suffix == "html" || suffix == "shtml")) {
        // Chromium reads a file by its address much faster than the same bytes handed over as data.
        BeginLoad(false);
        Page->load(QUrl::fromLocalFile(DocumentPath));
        return;
    }
    StartLoad(bytes, type, QUrl::fromLocalFile(DocumentPath).toString(), false);
}

void TDHTMLEdit::LoadURL(const QString& url) {
    BeginLoad(false);
    QUrl address(url);
    if (address.scheme().size() < 2) address = QUrl::fromUserInput(url);  // a path, or a drive letter
    DocumentPath = address.isLocalFile() ? address.toLocalFile() : url;
    Base = address.isLocalFile() ? FolderOf(address.toLocalFile())
                                 : address.adjusted(QUrl::RemoveFilename).toString();
    Page->load(address);
}

void TDHTMLEdit::SetDocumentHTML(const QString& text) {
    const QString url = !DocumentPath.isEmpty() && FolderOf(DocumentPath) == Base
                            ? QUrl::fromLocalFile(DocumentPath).toString()
                            : (Base.isEmpty() ? QString() : QUrl::fromLocalFile(Base).toString());
    const QByteArray data = text.toUtf8();
    if (data.size() > MaxContentBytes) throw EngineError("The document is too large.");
    StartLoad(data, "text/html;charset=UTF-8", url, true);
}

void TDHTMLEdit::SetBaseURL(const QString& folder) {
    QString wanted = folder;
    if (!wanted.isEmpty() && !wanted.endsWith('/')) wanted += '/';
    if (wanted == Base) return;
    const bool reshow = !IsBusy && !Failed;
    const QString text = reshow ? SerializedHTML() : QString();
    const bool dirty = reshow && IsDirty();
    Base = wanted;
    if (!reshow) return;
    const QString url = Base.isEmpty() ? QString() : QUrl::fromLocalFile(Base).toString();
    StartLoad(text.toUtf8(), "text/html;charset=UTF-8", url, dirty);
}

// ---- the document ------------------------------------------------------------------------------

QString TDHTMLEdit::SerializedHTML() const { return Engine->Invoke("serialize()").ToString(); }

QString TDHTMLEdit::DocumentHTML() const {
    if (IsBusy) throw EngineError("The document has not finished loading.");
    return SerializedHTML();
}

bool TDHTMLEdit::IsDirty() const {
    if (IsBusy) return DirtyAfterLoad;
    try {
        return Engine->Evaluate("window.PlovaneEngine ? PlovaneEngine.isDirty() : false").toBool();
    } catch (const EngineError&) {
        return false;
    }
}

void TDHTMLEdit::MarkClean() {
    if (IsBusy) {
        DirtyAfterLoad = false;
        return;
    }
    Engine->Evaluate("window.PlovaneEngine && PlovaneEngine.setDirty(false)");
}

DomRef TDHTMLEdit::DOM() const {
    if (IsBusy) return DomRef();
    return Engine->Document();
}

DomRef TDHTMLEdit::CreateScratchDocument() const { return Engine->Invoke("scratchDocument()").ToRef(); }

void TDHTMLEdit::SaveDocument(const QString& path, bool prompt) {
    QString file = path;
    if (prompt) {
        const auto chosen = ExecuteSaveDialog(path.isEmpty() ? DocumentPath : path, PageFileFilter, "htm");
        if (!chosen) return;
        file = *chosen;
    }
    if (file.isEmpty()) throw EngineError("No file name was given.");
    const QString text = DocumentHTML();
    const QString charset = Engine->Evaluate("PlovaneEngine.declaredCharset()").toString();
    if (!WriteFileAtomically(file, EncodePageText(text, charset)))
        throw EngineError(QString("The file \"%1\" can not be written.").arg(file));
    DocumentPath = QFileInfo(file).absoluteFilePath();
    Engine->Evaluate("window.PlovaneEngine && PlovaneEngine.setDirty(false)");
}

QString TDHTMLEdit::FilterSourceCode(const QString& text) const {
    // The serializer never lets editor artefacts into the text, so there is nothing to take out.
    return text;
}

void TDHTMLEdit::PrintDocument(bool prompt) {
    QPrinter& printer = SharedPrinter();
    if (prompt) {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    PrintDocument(printer);
}

void TDHTMLEdit::PrintDocument(QPrinter& printer) {
    QEventLoop loop;
    bool done = false;
    connect(WebView, &QWebEngineView::printFinished, &loop, [&] {
        done = true;
        loop.quit();
    });
    WebView->print(&printer);
    if (!done) loop.exec();
}

// ---- options -----------------------------------------------------------------------------------

void TDHTMLEdit::ApplyOptions() {
    if (IsBusy) return;  // the load applies them when it completes
    Engine->Evaluate(
        QString("window.PlovaneEngine && PlovaneEngine.setOptions({details: %1, borders: %2, "
                "snapToGrid: %3})")
            .arg(Details ? "true" : "false", Borders ? "true" : "false", Snap ? "true" : "false"));
}

void TDHTMLEdit::SetShowDetails(bool on) {
    Details = on;
    ApplyOptions();
}

void TDHTMLEdit::SetShowBorders(bool on) {
    Borders = on;
    ApplyOptions();
}

void TDHTMLEdit::SetSnapToGrid(bool on) {
    Snap = on;
    ApplyOptions();
}

// ---- commands ----------------------------------------------------------------------------------

const std::vector<TDHTMLEdit::CommandDefinition>& TDHTMLEdit::Commands() {
    using S = StatusSource;
    static const std::vector<CommandDefinition> table = {
        {DECMD_BOLD, S::EngineWorld, nullptr},
        {DECMD_COPY, S::EngineWorld, &TDHTMLEdit::CopyToClipboard},
        {DECMD_CUT, S::EngineWorld, &TDHTMLEdit::CopyToClipboard},
        {DECMD_DELETE, S::EngineWorld, nullptr},
        {DECMD_DELETECELLS, S::EngineWorld, nullptr},
        {DECMD_DELETECOLS, S::EngineWorld, nullptr},
        {DECMD_DELETEROWS, S::EngineWorld, nullptr},
        {DECMD_FINDTEXT, S::DocumentShown, &TDHTMLEdit::FindText},
        {DECMD_FONT, S::DocumentShown, &TDHTMLEdit::ChooseFont},
        {DECMD_GETBACKCOLOR, S::EngineWorld, nullptr},
        {DECMD_GETBLOCKFMT, S::EngineWorld, nullptr},
        {DECMD_GETBLOCKFMTNAMES, S::DocumentShown, nullptr},
        {DECMD_GETFONTNAME, S::EngineWorld, nullptr},
        {DECMD_GETFONTSIZE, S::EngineWorld, nullptr},
        {DECMD_GETFORECOLOR, S::EngineWorld, nullptr},
        {DECMD_HYPERLINK, S::DocumentShown, &TDHTMLEdit::AskForAddress},
        {DECMD_IMAGE, S::EngineWorld, &TDHTMLEdit::AskForAddress},
        {DECMD_INDENT, S::EngineWorld, nullptr},
        {DECMD_INSERTCELL, S::EngineWorld, nullptr},
        {DECMD_INSERTCOL, S::EngineWorld, nullptr},
        {DECMD_INSERTROW, S::EngineWorld, nullptr},
        {DECMD_INSERTTABLE, S::DocumentShown, nullptr},
        {DECMD_ITALIC, S::EngineWorld, nullptr},
        {DECMD_JUSTIFYCENTER, S::EngineWorld, nullptr},
        {DECMD_JUSTIFYLEFT, S::EngineWorld, nullptr},
        {DECMD_JUSTIFYRIGHT, S::EngineWorld, nullptr},
        {DECMD_LOCK_ELEMENT, S::EngineWorld, nullptr},
        {DECMD_MAKE_ABSOLUTE, S::EngineWorld, nullptr},
        {DECMD_MERGECELLS, S::EngineWorld, nullptr},
        {DECMD_ORDERLIST, S::EngineWorld, nullptr},
        {DECMD_OUTDENT, S::EngineWorld, nullptr},
        {DECMD_PASTE, S::DocumentShown, &TDHTMLEdit::PasteFromClipboard},
        {DECMD_REDO, S::EngineWorld, nullptr},
        {DECMD_REMOVEFORMAT, S::EngineWorld, nullptr},
        {DECMD_SELECTALL, S::EngineWorld, nullptr},
        {DECMD_SEND_BACKWARD, S::EngineWorld, nullptr},
        {DECMD_BRING_FORWARD, S::EngineWorld, nullptr},
        {DECMD_SEND_BELOW_TEXT, S::EngineWorld, nullptr},
        {DECMD_BRING_ABOVE_TEXT, S::EngineWorld, nullptr},
        {DECMD_SEND_TO_BACK, S::EngineWorld, nullptr},
        {DECMD_BRING_TO_FRONT, S::EngineWorld, nullptr},
        {DECMD_SETBACKCOLOR, S::EngineWorld, nullptr},
        {DECMD_SETBLOCKFMT, S::EngineWorld, nullptr},
        {DECMD_SETFONTNAME, S::EngineWorld, nullptr},
        {DECMD_SETFONTSIZE, S::EngineWorld, nullptr},
        {DECMD_SETFORECOLOR, S::EngineWorld, nullptr},
        {DECMD_SPLITCELL, S::EngineWorld, nullptr},
        {DECMD_UNDERLINE, S::EngineWorld, nullptr},
        {DECMD_UNDO, S::EngineWorld, nullptr},
        {DECMD_UNLINK, S::EngineWorld, nullptr},
        {DECMD_UNORDERLIST, S::EngineWorld, nullptr},
    };
    return table;
}

const TDHTMLEdit::CommandDefinition* TDHTMLEdit::FindCommand(int command) {
    for (const CommandDefinition& definition : Commands())
        if (definition.Command == command) return &definition;
    return nullptr;
}

std::optional<int> TDHTMLEdit::StatusWithoutPage(int command) const {
    const CommandDefinition* definition = FindCommand(command);
    if (!definition) return DECMDF_NOTSUPPORTED;
    if (IsBusy) return DECMDF_DISABLED;
    if (definition->Status == StatusSource::DocumentShown)
        return DocumentShown() ? DECMDF_ENABLED : DECMDF_NOTSUPPORTED;
    return std::nullopt;
}

int TDHTMLEdit::QueryStatus(int command) const {
    if (const auto known = StatusWithoutPage(command)) return *known;
    try {
        return Engine->Evaluate(QString("window.PlovaneEngine ? PlovaneEngine.status(%1) : 0").arg(command))
            .toInt();
    } catch (const EngineError&) {
        return DECMDF_NOTSUPPORTED;
    }
}

TDHTMLEdit::CommandStates TDHTMLEdit::QueryStatusMany(const QList<int>& commands,
                                                      const QList<int>& reads) const {
    CommandStates states;
    QStringList asked;
    for (const int command : commands) {
        const auto known = StatusWithoutPage(command);
        if (!known) asked << QString::number(command);
        // NOTSUPPORTED is also the answer when the page does not give one.
        states.Status.insert(command, known.value_or(DECMDF_NOTSUPPORTED));
    }
    QStringList read;
    for (const int command : reads) {
        const CommandDefinition* definition = FindCommand(command);
        if (!IsBusy && definition && definition->Status == StatusSource::EngineWorld && !definition->Run)
            read << QString::number(command);
    }
    if (asked.isEmpty() && read.isEmpty()) return states;
    try {
        const QVariantMap answer =
            Engine
                ->Evaluate(QString("window.PlovaneEngine ? PlovaneEngine.statusMany([%1], [%2]) : null")
                               .arg(asked.join(','), read.join(',')))
                .toMap();
        const QVariantMap status = answer.value("s").toMap();
        for (auto it = status.begin(); it != status.end(); ++it) {
            bool ok = false;
            const int command = it.key().toInt(&ok);
            if (ok && states.Status.contains(command)) states.Status[command] = it.value().toInt();
        }
        const QVariantMap values = answer.value("v").toMap();
        for (auto it = values.begin(); it != values.end(); ++it) {
            bool ok = false;
            const int command = it.key().toInt(&ok);
            if (ok && read.contains(it.key())) states.Values.insert(command, it.value());
        }
    } catch (const EngineError&) {
    }
    return states;
}

QVariant TDHTMLEdit::ExecCommand(int command, int option, const QVariant& in) {
    if (IsBusy) throw EngineError("The document has not finished loading.");
    const CommandDefinition* definition = FindCommand(command);
    if (!definition) throw EngineError("The command is not supported.");
    if (!definition->Run) return RunCommandScript(command, in);
    return (this->*definition->Run)(CommandCall{command, option != OLECMDEXECOPT_DONTPROMPTUSER, in});
}

QVariant TDHTMLEdit::RunCommandScript(int command, const QVariant& in) {
    QString value = "null";
    if (in.typeId() == QMetaType::QVariantList || in.typeId() == QMetaType::QStringList) {
        QStringList items;
        for (const QVariant& v : in.toList()) items << QString::number(v.toInt());
        value = "[" + items.join(',') + "]";
    } else if (in.isValid() && !in.isNull()) {
        value = EngineBridge::Quote(in.toString());
    }
    const QVariantMap answer =
        Engine
            ->Evaluate(
                QString(
                    "window.PlovaneEngine ? PlovaneEngine.exec(%1, %2) : {e: 'The document is not ready.'}")
                    .arg(command)
                    .arg(value))
            .toMap();
    if (answer.contains("e")) throw EngineError(answer.value("e").toString());
    return answer.value("v");
}

QVariant TDHTMLEdit::CopyToClipboard(const CommandCall& call) {
    const QVariantMap answer = Engine->Evaluate("PlovaneEngine.selectionData()").toMap();
    const QStringList data = answer.value("v").toStringList();
    if (answer.contains("e") || data.size() != 2) throw EngineError("There is nothing selected.");
    auto mime = std::make_unique<QMimeData>();
    mime->setHtml(data[0]);
    mime->setText(data[1]);
    QGuiApplication::clipboard()->setMimeData(mime.release());
    if (call.Command == DECMD_CUT) RunCommandScript(DECMD_DELETE, QVariant());
    return true;
}

QVariant TDHTMLEdit::PasteFromClipboard(const CommandCall&) {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime) return false;
    const QString script = QString("PlovaneEngine.paste(%1, %2)")
                               .arg(mime->hasHtml() ? EngineBridge::Quote(mime->html()) : "null",
                                    EngineBridge::Quote(mime->text()));
    const QVariantMap answer = Engine->Evaluate(script).toMap();
    if (answer.contains("e")) throw EngineError(answer.value("e").toString());
    return true;
}

QVariant TDHTMLEdit::AskForAddress(const CommandCall& call) {
    QString address = call.In.toString();
    if (call.Prompt) {
        const bool link = call.Command == DECMD_HYPERLINK;
        const auto typed =
            InputBox(link ? "Hyperlink" : "Picture",
                     link ? "Address:" : "Picture source:", address.isEmpty() && link ? "http://" : address);
        if (!typed) return QVariant();
        address = *typed;
    }
    if (address.isEmpty()) throw EngineError("No address was given.");
    return RunCommandScript(call.Command, address);
}

bool TDHTMLEdit::Find(const QString& text) {
    if (text.isEmpty()) return false;
    return Engine->Evaluate("PlovaneEngine.find(" + EngineBridge::Quote(text) + ", true, false, false)")
        .toBool();
}

bool TDHTMLEdit::FindNext() { return !IsBusy && Find(LastFind); }

QVariant TDHTMLEdit::FindText(const CommandCall& call) {
    QString text = call.In.toString();
    if (call.Prompt) {
        const auto typed = InputBox("Find", "Find what:", text.isEmpty() ? LastFind : text);
        if (!typed) return QVariant();
        text = *typed;
    }
    LastFind = text;
    return Find(text);
}

QVariant TDHTMLEdit::ChooseFont(const CommandCall& call) {
    QFont current(RunCommandScript(DECMD_GETFONTNAME, QVariant()).toString());
    const int size = RunCommandScript(DECMD_GETFONTSIZE, QVariant()).toInt();  // 0 when mixed
    current.setPointSize(PointSizes[(size >= 1 && size <= 7 ? size : 3) - 1]);
    current.setBold(QueryStatus(DECMD_BOLD) == DECMDF_LATCHED);
    current.setItalic(QueryStatus(DECMD_ITALIC) == DECMDF_LATCHED);
    current.setUnderline(QueryStatus(DECMD_UNDERLINE) == DECMDF_LATCHED);
    std::optional<QFont> chosen = current;
    if (call.Prompt) chosen = CurrentPrompter().ChooseFont(current);
    if (!chosen) return QVariant();
    RunCommandScript(DECMD_SETFONTNAME, chosen->family());
    RunCommandScript(DECMD_SETFONTSIZE, HtmlSizeForPoints(chosen->pointSize()));
    const std::pair<int, bool> styles[] = {{DECMD_BOLD, chosen->bold()},
                                           {DECMD_ITALIC, chosen->italic()},
                                           {DECMD_UNDERLINE, chosen->underline()}};
    for (const auto& [styleCommand, wanted] : styles)
        if ((QueryStatus(styleCommand) == DECMDF_LATCHED) != wanted)
            RunCommandScript(styleCommand, QVariant());
    return true;
}

// ---- keys --------------------------------------------------------------------------------------

int TDHTMLEdit::TranslateAccelerator(QKeyEvent* event) {
    const int command = event ? CommandForKey(*event) : 0;
    if (!command) return 1;
    RunCommand([&] {
        if ((QueryStatus(command) & DECMDF_ENABLED) == DECMDF_ENABLED)
            ExecCommand(command, OLECMDEXECOPT_DONTPROMPTUSER);
    });
    return 0;
}

// Chromium gives its editing widget (the view's focus proxy) a new instance when the page's process
// is replaced, so the widget is looked for again whenever the view gains a child and after a load.
void TDHTMLEdit::WatchFocusProxy() {
    QWidget* proxy = WebView->focusProxy();
    if (!proxy || proxy == KeyTarget) return;
    if (KeyTarget) KeyTarget->removeEventFilter(this);
    KeyTarget = proxy;
    KeyTarget->installEventFilter(this);
}

bool TDHTMLEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WebView) {
        if (event->type() == QEvent::ChildAdded)
            QMetaObject::invokeMethod(this, &TDHTMLEdit::WatchFocusProxy, Qt::QueuedConnection);
    } else if (watched == KeyTarget) {
        if (event->type() == QEvent::ShortcutOverride) {
            // Winning the override keeps a menu shortcut on the same key from taking it, so the
            // key press comes here and runs the command once.
            auto* key = static_cast<QKeyEvent*>(event);
            if (CommandForKey(*key)) {
                key->accept();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            if (TranslateAccelerator(static_cast<QKeyEvent*>(event)) == 0) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- events ------------------------------------------------------------------------------------

void TDHTMLEdit::Dispatch(const QString& kind, const QVariantList& arguments) {
    if (kind == "DisplayChanged")
        Deliver([this] { emit DisplayChanged(); });
    else if (kind == "ShowContextMenu")
        Deliver([this, x = arguments.value(0).toInt(), y = arguments.value(1).toInt()] {
            emit ShowContextMenu(x, y);
        });
    else if (kind == "onclick")
        Deliver([this] { emit onclick(); });
    else if (kind == "ondblclick")
        Deliver([this] { emit ondblclick(); });
    else if (kind == "onmousedown")
        Deliver([this] { emit onmousedown(); });
    else if (kind == "onmousemove")
        Deliver([this] { emit onmousemove(); });
    else if (kind == "onkeyup")
        Deliver([this] { emit onkeyup(); });
}

void TDHTMLEdit::Deliver(std::function<void()> event) {
    HeldEvents.append(std::move(event));
    QMetaObject::invokeMethod(this, &TDHTMLEdit::DeliverHeldEvents, Qt::QueuedConnection);
}

void TDHTMLEdit::RunWhenFree(QObject* context, std::function<void()> work) {
    if (!Engine->Answering()) {
        work();
        return;
    }
    HeldEvents.append([guard = QPointer<QObject>(context), work = std::move(work)] {
        if (guard) work();
    });
}

void TDHTMLEdit::DeliverHeldEvents() {
    while (!HeldEvents.isEmpty() && !Engine->Answering()) HeldEvents.takeFirst()();
}

}  // namespace plovane

#include "DHTMLEdit.moc"
