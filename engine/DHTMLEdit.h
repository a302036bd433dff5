// engine/DHTMLEdit.h — TDHTMLEdit, the design view: a page in design mode on Chromium with
// engine.js in its application world. Page scripts never run in it.
//
// Loading is asynchronous: NewDocument, LoadDocument, LoadURL, setting DocumentHTML or BaseURL make
// the control Busy until the page has loaded and engine.js is ready; DocumentComplete fires then.
// Work on the document waits until Busy is false (see WaitUntilReady in QelDHTMLLib.h).
#pragma once
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/DHTMLCommands.h"
#include "engine/DomRef.h"

class QKeyEvent;
class QPrinter;
class QWebEngineView;
class QWebEnginePage;

namespace plovane {

class EngineBridge;
class EngineEvents;

class TDHTMLEdit : public QWidget {
    Q_OBJECT
public:
    explicit TDHTMLEdit(QWidget* parent = nullptr);
    ~TDHTMLEdit() override;

    // The whole document as text: doctype and document element, without any editor decoration.
    // Reading it twice without an edit gives the same text. Setting it replaces the document
    // (asynchronously), keeps BaseURL and CurrentDocumentPath, and marks the document dirty.
    QString DocumentHTML() const;
    void SetDocumentHTML(const QString& text);

    QString CurrentDocumentPath() const { return DocumentPath; }
    // The folder relative addresses resolve against, as a local path with a trailing "/".
    // Setting it shows the same document again against the new folder.
    QString BaseURL() const { return Base; }
    void SetBaseURL(const QString& folder);

    bool IsDirty() const;
    // The document as it stands counts as unchanged (a new page's template is no user change).
    // Waits for a running load first.
    void MarkClean();
    bool Busy() const { return IsBusy; }
    // True when the last load did not give a document (the engine refused it or crashed).
    bool LoadFailed() const { return Failed; }

    bool ShowDetails() const { return Details; }
    void SetShowDetails(bool on);
    bool ShowBorders() const { return Borders; }
    void SetShowBorders(bool on);
    bool SnapToGrid() const { return Snap; }
    void SetSnapToGrid(bool on);
    bool SourceCodePreservation() const { return Preservation; }
    void SetSourceCodePreservation(bool on) { Preservation = on; }

    // The document object; empty while Busy. Throws EngineError when the page does not answer.
    DomRef DOM() const;
    // A document of its own (not shown), for parsing fragments with `write`.
    DomRef CreateScratchDocument() const;

    void NewDocument();
    // prompt: ask for the file with the shared open/save dialog; a cancelled dialog does nothing.
    // LoadDocument throws EngineError when the file cannot be read; SaveDocument when it cannot be
    // written (the old file is then untouched). Saving sets the path and clears IsDirty.
    void LoadDocument(const QString& path, bool prompt = false);
    void SaveDocument(const QString& path, bool prompt = false);
    void LoadURL(const QString& url);
    void PrintDocument(bool prompt = true);
    void PrintDocument(QPrinter& printer);
    QString FilterSourceCode(const QString& text) const;

    // Runs a DECMD_* command. `in` is the command's input (a colour text, a font name, a size 1-7,
    // a block format name, {rows, columns} for a table); the answer is the command's output.
    // Throws EngineError when the command is not supported or not possible here.
    QVariant ExecCommand(int command, int option = OLECMDEXECOPT_DODEFAULT, const QVariant& in = QVariant());
    // A DECMDF_* value; a query that fails is DECMDF_NOTSUPPORTED. At most one call into the page.
    int QueryStatus(int command) const;
    // The status of many commands, as QueryStatus gives each, and the outputs of reading commands
    // (DECMD_GETFONTNAME, DECMD_GETBLOCKFMT, ...), all in at most one call into the page. A read that
    // fails, or a command that is no plain read, is absent from Values; so is every read while Busy.
    struct CommandStates {
        QHash<int, int> Status;
        QHash<int, QVariant> Values;
    };
    CommandStates QueryStatusMany(const QList<int>& commands, const QList<int>& reads = {}) const;
    // Find Next: repeats the last DECMD_FINDTEXT search without a dialog. True when found.
    bool FindNext();

    // The editing keys (Ctrl+B, Ctrl+Z, Ctrl+C, Delete, ...): each runs its command through
    // ExecCommand when the command is enabled, and is consumed either way (0); any other key gives 1.
    // The view's own key events come here first, so Chromium never runs one of these on a key itself.
    int TranslateAccelerator(QKeyEvent* event);

    // One command: how its status is found and how it runs. The status comes from engine.js's
    // command table, or is enabled whenever a document is shown; the command runs as engine.js's
    // command (Run empty) or as the member given (clipboard, prompts, find, font dialog).
    enum class StatusSource { EngineWorld, DocumentShown };
    struct CommandCall {
        int Command;
        bool Prompt;  // the command may ask the user
        QVariant In;
    };
    struct CommandDefinition {
        DHTMLCommand Command;
        StatusSource Status;
        QVariant (TDHTMLEdit::*Run)(const CommandCall& call);
    };
    // The design view's commands, one definition each; a command that is not here is not supported.
    static const std::vector<CommandDefinition>& Commands();

    EngineBridge& Bridge() const { return *Engine; }
    QWebEngineView* View() const { return WebView; }

    // Runs `work` now, or, while a call into the page waits for its answer (`work` would call the
    // page again), once that call has ended; nothing when `context` is gone by then.
    void RunWhenFree(QObject* context, std::function<void()> work);

signals:
    // Emitted from the event loop while no call into the page waits for its answer, so handlers
    // may call the page (see Deliver).
    void DocumentComplete();
    void DisplayChanged();
    void ShowContextMenu(int x, int y);  // client coordinates of the document
    void onclick();
    void ondblclick();
    void onmousedown();
    void onmousemove();
    void onkeyup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class EngineEvents;
    void BeginLoad(bool dirty);
    void StartLoad(const QByteArray& data, const QString& mimeType, const QString& documentUrl, bool dirty);
    void LoadFinished(bool ok);
    void CheckReady(bool lastLook);
    void FinishLoad(bool ok);
    void ApplyOptions();
    void Dispatch(const QString& kind, const QVariantList& arguments);
    // Page events reach their handlers from the event loop, never from inside the page's answer
    // to a call, and only while no call into the page waits for its answer (a handler calls the
    // page again, which the engine cannot answer then); until then they are held, in order.
    void Deliver(std::function<void()> event);
    void DeliverHeldEvents();
    QString SerializedHTML() const;
    static const CommandDefinition* FindCommand(int command);
    // The status of a command when it is known without asking the page (unsupported, busy, or a
    // command enabled whenever a document is shown); nothing when the page must answer.
    std::optional<int> StatusWithoutPage(int command) const;
    QList<std::function<void()>> HeldEvents;
    bool DocumentShown() const { return !IsBusy && !Failed && !PageGone; }
    QVariant RunCommandScript(int command, const QVariant& in);
    QVariant CopyToClipboard(const CommandCall& call);
    QVariant PasteFromClipboard(const CommandCall& call);
    QVariant AskForAddress(const CommandCall& call);
    QVariant FindText(const CommandCall& call);
    QVariant ChooseFont(const CommandCall& call);
    bool Find(const QString& text);
    void WatchFocusProxy();

    QWebEngineView* WebView = nullptr;
    QWebEnginePage* Page = nullptr;
    EngineBridge* Engine = nullptr;
    EngineEvents* Events = nullptr;

    QString DocumentPath;
    QString Base;
    bool IsBusy = false;
    bool Failed = false;
    bool PageGone = false;  // the page's process ended after the document was shown
    bool DirtyAfterLoad = false;
    bool Details = false;
    bool Borders = false;
    bool Snap = false;
    bool Preservation = true;
    quint64 LoadSerial = 0;
    QString LastFind;
    QPointer<QWidget> KeyTarget;  // the view's focus proxy, whose key events pass eventFilter
};

}  // namespace plovane
