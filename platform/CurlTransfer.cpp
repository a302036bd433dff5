#include "platform/CurlTransfer.h"

namespace plovane {

bool EnsureCurlInitialised() {
    // A function-local static is set up exactly once even when threads race to it.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

CurlEasyHandle NewCurlEasyHandle() {
    if (!EnsureCurlInitialised()) return CurlEasyHandle();
    return CurlEasyHandle(curl_easy_init());
}

// ---- TransferWorker ----

void TransferWorker::WatchProgress(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &TransferWorker::ProgressCallback);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
}

bool TransferWorker::OnTransferProgress(qint64, qint64, qint64, qint64) { return true; }

int TransferWorker::ProgressCallback(void* data, curl_off_t receiveTotal, curl_off_t received,
                                     curl_off_t sendTotal, curl_off_t sent) {
    auto* const worker = static_cast<TransferWorker*>(data);
    const bool goOn = worker->OnTransferProgress(received, receiveTotal, sent, sendTotal);
    return goOn && !worker->Cancelled() ? 0 : 1;
}

// ---- TransferThread ----

TransferThread::TransferThread(const QString& name, QObject* parent) : QObject(parent) {
    Thread.setObjectName(name);
}

TransferThread::~TransferThread() {
    Stop();
    // The thread has ended, so nothing runs on the worker any more; calls still queued for it go
    // with it.
    Worker.reset();
}

void TransferThread::Adopt(std::unique_ptr<TransferWorker> worker) {
    Stop();
    Worker.reset();
    Worker = std::move(worker);
    Worker->moveToThread(&Thread);
    Thread.start();
}

void TransferThread::Post(std::function<void()> call) {
    if (Worker && Thread.isRunning())
        QMetaObject::invokeMethod(Worker.get(), std::move(call), Qt::QueuedConnection);
}

void TransferThread::Stop() {
    if (!Worker) return;
    Worker->Abandon();
    Thread.quit();
    Thread.wait();
}

}  // namespace plovane
