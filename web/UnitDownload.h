// web/UnitDownload.h — fetching a URL into the local download cache: a download worker running
// libcurl on a thread of its own, and the modal progress window that starts it, shows its progress
// and can cancel it.
#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QString>
#include <atomic>
#include <memory>

#include "platform/CurlTransfer.h"

class QFile;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace plovane {

// One download into the cache, as the worker of a TransferThread: Run() downloads on the thread
// that calls it and reports through the signals; the result is read after Finished.
class TThreadDownload : public TransferWorker {
    Q_OBJECT
public:
    static constexpr int ResultFailed = -1;  // until the transfer returns, and when it is skipped

    // The cached copy will be `cacheFolder` + a folder of the URL's own + the URL's file name.
    TThreadDownload(QString url, const QString& cacheFolder);

    // Any thread: asks the transfer to stop; it aborts at its next progress report.
    void Terminate() { Cancel(); }
    bool Terminated() const { return Cancelled(); }

    const QString& Url() const { return Address; }
    // 0 on success, otherwise ResultFailed or the transfer's error code.
    int Result() const { return Outcome; }
    // The cached copy; empty until the download has finished with Result() 0.
    QString CacheFileName() const;
    // Where the copy goes: always inside the cache folder, whatever the URL holds.
    const QString& CacheTarget() const { return Target; }
    qint64 LastProgress() const { return Progress; }
    qint64 LastMaximum() const { return Maximum; }

    // The download, then Finished. Skipped (ResultFailed) when terminated before it starts.
    void Run();

signals:
    // Spaced a few milliseconds apart, never after Terminate(); the last one comes before Finished.
    void ProgressChanged(qint64 progress, qint64 maximum);
    void Finished(int result);

protected:
    bool OnTransferProgress(qint64 received, qint64 receiveTotal, qint64 sent, qint64 sendTotal) override;
    // On the worker's thread, for each report that goes out: emits ProgressChanged.
    virtual void OnProgress(qint64 progress, qint64 maximum);

private:
    int Transfer();
    int Perform(QFile& file);

    const QString Address;
    const QString Target;
    QString Cached;
    std::atomic<bool> Done{false};  // set once Cached and Outcome hold the result
    std::atomic<int> Outcome{ResultFailed};
    std::atomic<qint64> Progress{0};
    std::atomic<qint64> Maximum{0};
    QElapsedTimer Clock;
    qint64 LastReportMs = -1;
    qint64 LastReported = -1;
};

// The download of the progress window: each report waits until the window has shown it.
class TMyThreadDownload : public TThreadDownload {
    Q_OBJECT
public:
    using TThreadDownload::TThreadDownload;

    // Any thread: the window has shown (or dropped) the last report.
    void ReportShown() { Shown.release(); }

protected:
    void OnProgress(qint64 progress, qint64 maximum) override;

private:
    QSemaphore Shown;
};

// A small file-copy animation: a page travelling between two folders while it runs.
class TCopyAnimation : public QWidget {
    Q_OBJECT
public:
    explicit TCopyAnimation(QWidget* parent = nullptr);
    void Start();
    void Stop();
    bool Active() const;
    QSize sizeHint() const override { return {220, 44}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* Timer;
    int Frame = 0;
};

class TFormDownload : public QDialog {
    Q_OBJECT
public:
    explicit TFormDownload(QWidget* parent = nullptr);
    ~TFormDownload() override;

    // Caption, status and progress lines, and the download of the URL on a thread of its own. The
    // download starts on the window's first paint after this.
    void Prepare(const QString& caption, const QString& url);
    // After the window has ended: stops the download and waits for its thread; on success
    // `location` becomes the cached copy. True exactly when the download succeeded.
    bool Conclude(QString& location);
    // Prepare, the modal run, Conclude.
    bool Run(const QString& caption, QString& location);
    // True when the last run was ended by the user (Cancel or Esc) rather than by the thread.
    bool EndedByUser() const { return result() == QDialog::Rejected; }

    // The progress report of the running download, on this window's thread.
    void ShowProgress(qint64 progress, qint64 maximum);
    // The download of the last Prepare, until Conclude.
    const TThreadDownload* Download() const { return Worker; }

    QLabel* LabelStatus;
    QLabel* LabelProgress;
    QProgressBar* ProgressBar;
    TCopyAnimation* Animate;
    QPushButton* ButtonCancel;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TransferThread> Thread;  // the context of every report of the download
    TMyThreadDownload* Worker = nullptr;     // lives on Thread, owned by it
    bool Started = false;
};

// The window DownloadToCache uses; the main frame registers the one it creates at start. Without
// one, each download uses a window of its own.
void SetDownloadWindow(TFormDownload* window);

// An existing local file is returned at once. Otherwise the URL in `location` is downloaded with the
// progress window; on success `location` becomes the cached copy and the result is true.
bool DownloadToCache(const QString& caption, QString& location);

// The local file for a file name or URL: the name itself when it is an existing local file, else the
// downloaded copy in the cache. A cancelled download raises "Download Terminated By User.", a failed
// one "URL not found "<url>"".
QString FetchUrl(const QString& url);

}  // namespace plovane
