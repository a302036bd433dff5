// platform/CurlTransfer.h — the internet transfer service: libcurl, set up once for the whole
// program, and the worker thread every transfer runs on. A transfer worker is a QObject living on a
// thread of its own; its owner posts requests to it and receives its reports (progress, status,
// result) through queued signals on the owner's thread.
#pragma once
#include <curl/curl.h>

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace plovane {

// Sets libcurl up for the program the first time it is called and returns at once afterwards;
// safe from any thread. libcurl stays set up until the program ends. False when it could not be
// set up.
bool EnsureCurlInitialised();

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyCleanup>;

// A fresh easy handle, libcurl set up first; null when either fails.
CurlEasyHandle NewCurlEasyHandle();

// The worker side: runs requests on its thread and may be cancelled from any thread.
class TransferWorker : public QObject {
    Q_OBJECT
public:
    // Any thread: the running transfer aborts at its next progress callback, and so does every
    // later one until ClearCancel().
    void Cancel() { CancelFlag = true; }
    void ClearCancel() { CancelFlag = false; }
    bool Cancelled() const { return CancelFlag || AbandonFlag; }
    // Any thread: the owner is going (TransferThread::Stop). Cancels for good; whatever the running
    // request leaves unfinished is of no use to anyone, and the worker removes it.
    void Abandon() { AbandonFlag = true; }
    bool Abandoned() const { return AbandonFlag; }

protected:
    // Routes the progress callbacks of `easy` to OnTransferProgress; the transfer aborts when that
    // returns false or once the worker is cancelled.
    void WatchProgress(CURL* easy);
    // On the worker's thread, at every progress callback of a watched transfer: the bytes received
    // and sent so far, each with its expected total (0 while unknown). False aborts the transfer.
    virtual bool OnTransferProgress(qint64 received, qint64 receiveTotal, qint64 sent, qint64 sendTotal);

private:
    static int ProgressCallback(void* worker, curl_off_t receiveTotal, curl_off_t received,
                                curl_off_t sendTotal, curl_off_t sent);

    std::atomic<bool> CancelFlag{false};
    std::atomic<bool> AbandonFlag{false};
};

// The owner side: a thread of its own with one worker moved onto it. It lives on the owner's
// thread; connections that carry the worker's reports should take it as their context, so that a
// report still queued when it goes is dropped with it. Destroying it stops the thread at once.
class TransferThread : public QObject {
    Q_OBJECT
public:
    explicit TransferThread(const QString& name, QObject* parent = nullptr);
    ~TransferThread() override;  // Stop(), then deletes the worker

    // Moves `worker` onto the thread and starts the thread. The worker stays owned here; the
    // pointer given back is valid as long as this object.
    template <class WorkerType>
    WorkerType* Start(std::unique_ptr<WorkerType> worker) {
        WorkerType* const started = worker.get();
        Adopt(std::move(worker));
        return started;
    }

    // Runs `call` on the worker's thread after every call posted before it; nothing once stopped.
    void Post(std::function<void()> call);

    // Abandons the worker, lets the thread end after the call it is running and waits for that.
    // Calls still queued may run first, cancelled. The worker can still be read afterwards; it is
    // deleted with this object.
    void Stop();
    bool Running() const { return Thread.isRunning(); }

private:
    void Adopt(std::unique_ptr<TransferWorker> worker);

    QThread Thread;
    std::unique_ptr<TransferWorker> Worker;
};

}  // namespace plovane
