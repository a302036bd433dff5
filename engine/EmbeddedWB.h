// engine/EmbeddedWB.h — TEmbeddedWB, the browser control of the preview, help pages, page import
// and export. Page scripts, plug-ins and downloads are off until a caller turns them on.
#pragma once
#include <QString>
#include <QWidget>

#include "engine/DomRef.h"

class QWebEngineView;
class QWebEnginePage;

namespace plovane {

class EngineBridge;

class TEmbeddedWB : public QWidget {
    Q_OBJECT
public:
    explicit TEmbeddedWB(QWidget* parent = nullptr);

    // Starts loading an address (a web address or a local path); Busy until DocumentComplete.
    void Navigate(const QString& address);
    void Stop();
    bool Busy() const { return IsBusy; }
    QString LocationURL() const;

    // Saves the shown page with its pictures beside it (a complete page). prompt: ask for the file
    // with the shared save dialog. True when the page was written.
    bool SaveAs(const QString& path, bool prompt = false);

    void SetScriptsEnabled(bool on);
    void SetPluginsEnabled(bool on);
    void SetDownloadsEnabled(bool on) { Downloads = on; }
    bool DownloadsEnabled() const { return Downloads; }

    // The shown document, for getElementById / scrollIntoView and the like; empty while Busy.
    DomRef Document() const;
    EngineBridge& Bridge() const { return *Engine; }
    QWebEngineView* View() const { return WebView; }

signals:
    // Once per frame's document (topLevel false, in document order), then for the page itself
    // (topLevel true), when the page has loaded.
    void DocumentComplete(const QString& url, bool topLevel);
    void DownloadBegin();
    void DownloadComplete();
    void ProgressChange(int progress, int progressMax);
    void StatusTextChange(const QString& text);

private:
    void ReportComplete();
    QWebEngineView* WebView = nullptr;
    QWebEnginePage* Page = nullptr;
    EngineBridge* Engine = nullptr;
    bool IsBusy = false;
    bool Downloads = false;
};

}  // namespace plovane
