// web/UnitDownload.h — fetching a URL into the local download cache: a worker thread running
// libcurl and the modal progress window that starts it, shows its progress and can cancel it.
#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

class QFile;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace plovane {

// One download into the cache. Created suspended (start() runs it); the result is read after the
// thread has ended.
class TThreadDownload : public QThread {
    Q_OBJECT
public:
    static constexpr int ResultFailed = -1;  // until the transfer returns, and when it is skipped

    // The cached copy will be `cacheFolder` + a folder of the URL's own + the URL's file name.
    TThreadDownload(QString url, const QString& cacheFolder, QObject* parent = nullptr);
    ~TThreadDownload() override;  // terminates and waits

    // Asks the transfer to stop; it aborts at its next progress report.
    void Terminate() { TerminateFlag = true; }
    bool Terminated() const { return TerminateFlag; }

    const QString& Url() const { return Address; }
    // 0 on success, otherwise ResultFailed or the transfer's error code.
    int Result() const { return Outcome; }
    // The cached copy; empty unless Result() is 0.
    QString CacheFileName() const;
    // Where the copy goes: always inside the cache folder, whatever the URL holds.
    const QString& CacheTarget() const { return Target; }
    qint64 LastProgress() const { return Progress; }
    qint64 LastMaximum() const { return Maximum; }

    // Called by the transfer on this thread; false aborts it.
    bool ProgressReport(qint64 progress, qint64 maximum);

protected:
    void run() override;
    // On this thread, at most every few milliseconds, never after Terminate().
    virtual void OnProgress(qint64 progress, qint64 maximum);
    // On this thread, after the transfer returned.
    virtual void OnFinished();

private:
    int Transfer();
    int Perform(QFile& file);

    const QString Address;
    QString Target;
    QString Cached;
    std::atomic<int> Outcome{ResultFailed};
    std::atomic<bool> TerminateFlag{false};
    std::atomic<qint64> Progress{0};
    std::atomic<qint64> Maximum{0};
    QElapsedTimer Clock;
    qint64 LastReportMs = -1;
    qint64 LastReported = -1;
};

class TFormDownload;

// The download of the progress window: reports go to the window and wait until it has shown them.
class TMyThreadDownload : public TThreadDownload {
    Q_OBJECT
public:
    TMyThreadDownload(TFormDownload* form, QString url, const QString& cacheFolder);
    // Stops the run before this object's own parts go: the running thread still uses them.
    ~TMyThreadDownload() override;

protected:
    void OnProgress(qint64 progress, qint64 maximum) override;
    void OnFinished() override;

private:
    TFormDownload* const Form;  // owns this thread
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

    // Caption, status and progress lines, and a suspended thread for the URL. The thread starts on
    // the window's first paint after this.
    void Prepare(const QString& caption, const QString& url);
    // After the window has ended: stops and waits for the thread; on success `location` becomes the
    // cached copy. True exactly when the download succeeded.
    bool Conclude(QString& location);
    // Prepare, the modal run, Conclude.
    bool Run(const QString& caption, QString& location);
    // True when the last run was ended by the user (Cancel or Esc) rather than by the thread.
    bool EndedByUser() const { return result() == QDialog::Rejected; }

    // The progress report of the running download, on this window's thread.
    void ShowProgress(qint64 progress, qint64 maximum);
    const TThreadDownload* Download() const { return Thread.get(); }

    QLabel* LabelStatus;
    QLabel* LabelProgress;
    QProgressBar* ProgressBar;
    TCopyAnimation* Animate;
    QPushButton* ButtonCancel;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TMyThreadDownload> Thread;
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
