#include "engine/QelDHTMLLib.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include "engine/DHTMLEdit.h"
#include "engine/DomRef.h"
#include "platform/Errors.h"

namespace plovane {

namespace {

// Files of this size or more are refused: 512 KiB.
constexpr qint64 LargestEditableFile = 0x80000 - 1;

TDHTMLEdit& Design(TDHTMLEdit* edit) {
    if (!edit) throw EngineError("There is no design view.");
    return *edit;
}

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString FolderPart(const QString& path) {
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

}  // namespace

void WaitUntilReady(TDHTMLEdit* edit) {
    TDHTMLEdit& design = Design(edit);
    if (!design.Busy()) return;
    const BusyCursor cursor;
    QPointer<TDHTMLEdit> guard(edit);
    while (guard && guard->Busy()) {
        // Woken by the document's completion, or every 50 ms to look again.
        QEventLoop loop;
        QTimer tick;
        tick.setSingleShot(true);
        QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(edit, &TDHTMLEdit::DocumentComplete, &loop, &QEventLoop::quit);
        QObject::connect(edit, &QObject::destroyed, &loop, &QEventLoop::quit);
        tick.start(50);
        loop.exec();
    }
    if (!guard) throw EngineError("There is no design view.");
}

void DesignNew(TDHTMLEdit* edit) {
    WaitUntilReady(edit);
    Design(edit).NewDocument();
    WaitUntilReady(edit);
}

void DesignLoadFile(TDHTMLEdit* edit, const QString& path) {
    DesignNew(edit);
    const QFileInfo file(path);
    if (!file.exists()) RaiseMessage(QString("\"%1\" does not exists.").arg(path));
    if (file.size() > LargestEditableFile)
        RaiseMessage(QString("The file \"%1\" it too big to edit.").arg(path));
    const QString failed = QString("Error while loading \"%1\"\n\nThis file can not be loaded.").arg(path);
    try {
        edit->LoadDocument(path, false);
        WaitUntilReady(edit);
    } catch (const EngineError&) {
        RaiseMessage(failed);
    }
    if (edit->LoadFailed()) RaiseMessage(failed);
}

void DesignSaveFile(TDHTMLEdit* edit, const QString& path) {
    WaitUntilReady(edit);
    // The engine writes the document text itself, in the charset the page declares, so that no
    // character is lost; writing it again here in another code page could only lose some.
    Design(edit).SaveDocument(path, false);
    const QString folder = FolderPart(QFileInfo(path).absoluteFilePath());
    if (edit->BaseURL().compare(folder, Qt::CaseInsensitive) != 0) DesignLoadFile(edit, path);
    WaitUntilReady(edit);
}

void DesignSetHTML(TDHTMLEdit* edit, const QString& text, bool retitle) {
    const QString base = Design(edit).BaseURL();
    if (text.isEmpty()) {
        DesignNew(edit);
    } else {
        WaitUntilReady(edit);
        edit->SetDocumentHTML(text);
    }
    SetBaseFolder(edit, base);
    if (retitle) RefreshTitle(edit);
}

QString DesignGetHTML(TDHTMLEdit* edit) {
    WaitUntilReady(edit);
    return Design(edit).DocumentHTML();
}

void SetBaseFolder(TDHTMLEdit* edit, const QString& path) {
    WaitUntilReady(edit);
    const QString folder = FolderPart(path);
    if (!folder.isEmpty()) Design(edit).SetBaseURL(folder);
    WaitUntilReady(edit);
}

void RefreshTitle(TDHTMLEdit* edit) {
    WaitUntilReady(edit);
    const DomRef document = Design(edit).DOM();
    document.Put("title", document.Get("title"));
    WaitUntilReady(edit);
}

bool CommandEnabled(TDHTMLEdit* edit, int command) {
    WaitUntilReady(edit);
    return (Design(edit).QueryStatus(command) & DECMDF_ENABLED) == DECMDF_ENABLED;
}

bool CommandLatched(TDHTMLEdit* edit, int command) {
    WaitUntilReady(edit);
    return (Design(edit).QueryStatus(command) & DECMDF_LATCHED) == DECMDF_LATCHED;
}

QString FilterForDisplay(TDHTMLEdit* edit, const QString& text) {
    const TDHTMLEdit& design = Design(edit);
    if (text.isEmpty() || !design.SourceCodePreservation()) return text;
    return design.FilterSourceCode(text);
}

}  // namespace plovane
