#include "engine/EmbeddedWB.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "engine/EngineBridge.h"
#include "engine/EngineSetup.h"
#include "platform/Errors.h"
#include "platform/SharedDialogs.h"

namespace plovane {

TEmbeddedWB::TEmbeddedWB(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    WebView = new QWebEngineView(this);
    Page = CreateEnginePage(WebView, /*guarded=*/false);
    WebView->setPage(Page);
    layout->addWidget(WebView);
    Engine = new EngineBridge(Page, this);

    connect(Page, &QWebEnginePage::loadStarted, this, [this] {
        IsBusy = true;
        Engine->NewGeneration();
        emit DownloadBegin();
    });
    connect(Page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(Page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { emit StatusTextChange(url); });
    connect(Page, &QWebEnginePage::loadFinished, this, [this](bool) { ReportComplete(); });
    connect(Engine, &EngineBridge::PageLost, this, [this] { IsBusy = false; });
    connect(EngineProfile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* d) {
                if (d->page() == Page && !d->isSavePageDownload() && Downloads) d->accept();
            });
}

void TEmbeddedWB::ReportComplete() {
    // The browser control reported each frame's document before the page's own; the frames' addresses
    // are read in the engine's world, which runs whether page scripts are on or not.
    const QString frames = QStringLiteral(
        "Array.from(document.querySelectorAll('iframe[src], frame[src]')).map(function (f) { return f.src; "
        "})");
    QPointer<TEmbeddedWB> self(this);
    Page->runJavaScript(frames, QWebEngineScript::ApplicationWorld, [self](const QVariant& answer) {
        if (!self) return;
        const QStringList subDocuments = answer.toStringList();
        // Handlers may call the page again, which cannot answer from inside this answer.
        QMetaObject::invokeMethod(
            self,
            [self, subDocuments] {
                if (!self) return;
                self->IsBusy = false;
                emit self->DownloadComplete();
                for (const QString& url : subDocuments) {
                    emit self->DocumentComplete(url, false);
                    if (!self) return;
                }
                emit self->DocumentComplete(self->Page->url().toString(), true);
            },
            Qt::QueuedConnection);
    });
}

void TEmbeddedWB::Navigate(const QString& address) {
    IsBusy = true;
    Engine->NewGeneration();
    const QFileInfo local(address);
    Page->load(local.exists() ? QUrl::fromLocalFile(local.absoluteFilePath()) : QUrl::fromUserInput(address));
}

void TEmbeddedWB::Stop() {
    Page->triggerAction(QWebEnginePage::Stop);
    IsBusy = false;
}

QString TEmbeddedWB::LocationURL() const { return Page->url().toString(); }

void TEmbeddedWB::SetScriptsEnabled(bool on) {
    Page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, on);
}

void TEmbeddedWB::SetPluginsEnabled(bool on) {
    Page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, on);
}

DomRef TEmbeddedWB::Document() const { return IsBusy ? DomRef() : Engine->Document(); }

bool TEmbeddedWB::SaveAs(const QString& path, bool prompt) {
    QString file = path;
    if (prompt) {
        const auto chosen = ExecuteSaveDialog(path, PageFileFilter, "htm");
        if (!chosen) return false;
        file = *chosen;
    }
    if (file.isEmpty() || IsBusy) return false;
    QEventLoop loop;
    bool written = false;
    auto watch = connect(EngineProfile(), &QWebEngineProfile::downloadRequested, &loop,
                         [&](QWebEngineDownloadRequest* d) {
                             if (d->page() != Page || !d->isSavePageDownload()) return;
                             d->accept();
                             connect(d, &QWebEngineDownloadRequest::isFinishedChanged, &loop, [&, d] {
                                 written = d->state() == QWebEngineDownloadRequest::DownloadCompleted;
                                 loop.quit();
                             });
                         });
    Page->save(QFileInfo(file).absoluteFilePath(), QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    disconnect(watch);
    return written;
}

}  // namespace plovane
