// ftp/FtpWorker.h — the protocol side of the FTP session: one libcurl easy handle, reused for every
// request so that the control connection stays open, driven as the worker of a TransferThread. It
// runs one request at a time and reports what happens through signals, which the session receives
// queued on the user-interface thread.
#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

#include "platform/CurlTransfer.h"

namespace plovane {

// The request contexts: the value every report of a request carries.
enum FtpContext { ContextConnection = 1, ContextDownload = 2, ContextUpload = 3, ContextFind = 4 };

// The status codes the worker reports (the numbers of the status table).
enum FtpStatus {
    StatusResolvingName = 10,
    StatusNameResolved = 11,
    StatusConnectingToServer = 20,
    StatusConnectedToServer = 21,
    StatusClosingConnection = 50,
    StatusConnectionClosed = 51,
    StatusHandleClosing = 70
};

// The error codes of a completed request (the numbers of the error table).
enum FtpError {
    ErrorNone = 0,
    ErrorFileNotFound = 2,
    ErrorAccessDenied = 5,
    ErrorNoMoreFiles = 18,
    ErrorTimeout = 12002,
    ErrorInternal = 12004,
    ErrorExtended = 12003,
    ErrorInvalidUrl = 12005,
    ErrorUnrecognizedScheme = 12006,
    ErrorNameNotResolved = 12007,
    ErrorLoginFailure = 12015,
    ErrorOperationCancelled = 12017,
    ErrorCannotConnect = 12029,
    ErrorConnectionAborted = 12030,
    ErrorConnectionReset = 12031
};

enum class FtpRequestKind { Connect, Command, List, Download, Upload };

// A command sent on the control connection after the request's own work. A failed command that
// is not `required` (the way back to the current directory, a feature query) fails nothing.
struct FtpCommand {
    QByteArray text;
    bool required = true;
};

struct FtpRequest {
    FtpRequestKind kind = FtpRequestKind::Command;
    int context = ContextConnection;
    QString url;                  // the server and the directory or file the request is about
    std::optional<QString> user;  // absent: log in anonymously
    std::optional<QString> password;
    QList<FtpCommand> commands;
    bool mlsd = false;  // list with MLSD instead of LIST
    QString localFile;  // download target, upload source
};

struct FtpReply {
    int error = ErrorNone;
    QString serverResponse;  // the response that explains the error (extended error)
    QStringList replies;     // the final line of each reply to the request's commands
    QByteArray listing;
    QString entryPath;  // the directory the login ended in
    bool offersMlsd = false;
};

// Cancel() (from TransferWorker) stops any request at its next progress report.
class FtpWorker : public TransferWorker {
    Q_OBJECT
public:
    FtpWorker();
    ~FtpWorker() override;

    // Any thread: a download or upload stops at its next progress report; other requests go on.
    void SetTerminate(bool terminate) { TerminateFlag = terminate; }

    void Run(const FtpRequest& request);
    // Ends the connection (QUIT) and starts afresh with a new handle.
    void Close();

signals:
    void StatusChanged(int context, int status);
    // Bytes sent and received on both connections since the last report, and the data bytes of
    // the file being transferred.
    void BytesMoved(int context, qint64 sent, qint64 received, qint64 transferred);
    void Completed(const plovane::FtpReply& reply);

protected:
    bool OnTransferProgress(qint64 received, qint64 receiveTotal, qint64 sent, qint64 sendTotal) override;

private:
    friend struct FtpCallbacks;
    using CommandList = std::unique_ptr<struct curl_slist, void (*)(struct curl_slist*)>;

    void ReportBytes(bool force);
    FtpReply Perform(const FtpRequest& request);
    // The steps of Perform, in order.
    void BeginRequest(const FtpRequest& request);
    bool OpenUploadSource(const FtpRequest& request, FtpReply& reply);
    void SetCommonOptions(CURL* easy, const FtpRequest& request);
    CommandList SetCommands(CURL* easy, const FtpRequest& request);
    void SetKindOptions(CURL* easy, const FtpRequest& request);
    FtpReply JudgeReply(CURLcode code, const FtpRequest& request) const;
    void CollectResults(CURL* easy, const FtpRequest& request, FtpReply& reply);

    CurlEasyHandle Curl;
    std::atomic<bool> TerminateFlag{false};

    // Per request, touched only on the worker thread.
    const FtpRequest* Current = nullptr;
    QByteArray Data;
    QStringList Replies;
    QStringList ReplyLines;  // the lines of the reply being read
    QStringList AllLines;    // every response line of the request
    QString LastResponse;
    bool WriteFailed = false;
    struct LocalFile;
    std::unique_ptr<LocalFile> File;
    qint64 PendingSent = 0;
    qint64 PendingReceived = 0;
    qint64 PendingTransferred = 0;
    QElapsedTimer SinceReport;

    // The control connection's socket, kept across requests to tell it from data sockets.
    long long ControlSocket = -1;
    bool Connecting = false;  // a control connection is being opened
};

}  // namespace plovane

Q_DECLARE_METATYPE(plovane::FtpReply)
