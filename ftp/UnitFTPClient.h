// ftp/UnitFTPClient.h — the FTP session of the FTP client window: one connection at a time, the
// remote operations, the message log texts and the byte counters. The protocol work runs on a
// thread of its own (FtpWorker on a TransferThread); every operation here runs on the
// user-interface thread and returns when its request has completed, processing events meanwhile.
// The window shows what the session reports through FtpSessionObserver.
#pragma once
#include <QObject>
#include <QString>
#include <QVector>

#include "ftp/FtpListing.h"
#include "ftp/FtpWorker.h"
#include "ftp/UnitFTPSite.h"

class QEventLoop;

namespace plovane {

// What the FTP client window shows of the session. Every call comes on the user-interface thread.
class FtpSessionObserver {
public:
    virtual ~FtpSessionObserver() = default;
    // The first status bar panel.
    virtual void ShowStatus(const QString& text) = 0;
    // One line for the end of the message log, which then scrolls to it.
    virtual void AppendLog(const QString& line) = 0;
    // The second and third status bar panels: "Sent: 3KB" and "Received: 12KB".
    virtual void ShowBytePanels(const QString& sent, const QString& received) = 0;
    // The local side is the local up button, history box and list; the remote side the remote up
    // button, history box and list and the Download and Upload buttons.
    virtual void EnableControls(bool local, bool remote) = 0;
    // The transfer progress dialog: shown with its caption and maximum at progress 0, moved on,
    // then hidden (restoring the application window first when it is minimised).
    virtual void ShowTransfer(const QString& caption, qint64 maximum) = 0;
    virtual void SetTransferProgress(qint64 position) = 0;
    virtual void HideTransfer() = 0;
    // The remote directory and its entries after a refresh, without "." and ".." (the window adds
    // its own parent entry); an empty directory and no entries after a disconnect.
    virtual void RemoteListChanged(const QString& directory, const QVector<FtpEntry>& entries) = 0;
    // Connecting made the site's local path the current directory: the local list is stale.
    virtual void LocalFolderChanged() = 0;
};

// The message log text of a status report (empty for statuses that show nothing).
QString FtpStatusText(int status);
// The message log text of a completed request's error code; the extended error shows the
// server's own response.
QString FtpErrorText(int error, const QString& serverResponse = QString());

class FtpSession : public QObject {
    Q_OBJECT
public:
    explicit FtpSession(FtpSessionObserver* observer = nullptr, QObject* parent = nullptr);
    ~FtpSession() override;

    void SetObserver(FtpSessionObserver* observer);

    // The window's Connect: refuses while connected, runs the site dialog, then ConnectToSite.
    void Connect(TFormFTPSite& site);
    // Logs in with the details ("host" or "host:port", port 21 by default; an empty user name logs
    // in anonymously), then lists the remote directory, moves to the local and remote paths. A
    // failed attempt ends with "Unable to connect to FTP site. Please check your settings.".
    bool ConnectToSite(const FtpSiteDetails& site);
    void Disconnect();

    bool RefreshRemoteList();
    // Started from a list double-click the list is refreshed whatever the result; from the history
    // box only on success.
    enum class RefreshAfter { Always, OnSuccess };
    bool ChangeDirectory(const QString& name, RefreshAfter refresh = RefreshAfter::Always);
    bool ChangeToParent();
    bool MakeDirectory(const QString& name);  // refreshes on success
    bool RenameEntry(const QString& oldName, const QString& newName);
    bool DeleteFile(const QString& name);
    bool RemoveDirectory(const QString& name);
    // The remote file `name` of the current remote directory to the file of that name in the
    // process's current directory, and back. `size` is the progress maximum.
    bool DownloadFile(const QString& name, qint64 size);
    bool UploadFile(const QString& name, qint64 size);
    // The transfer dialog's Terminate: the running transfer stops at its next progress report and
    // completes with "ERROR! Operation Cancelled".
    void Terminate();

    // The three steps around every request.
    void BeginOperation();
    void WaitForCompletion(const QString& text);
    void EndOperation();

    bool Connected() const { return IsConnected; }
    int BusyCount() const { return Busy; }
    quint32 LastResult() const { return Result; }
    qint64 BytesSent() const { return Sent; }
    qint64 BytesReceived() const { return Received; }
    QString RemoteDirectory() const { return Directory; }
    const QVector<FtpEntry>& RemoteEntries() const { return Entries; }

private:
    void Issue(FtpRequest request);
    // Completes the pending request without the server, as a request that failed at once.
    void Refuse(const QString& text);
    bool RunCommandRequest(const QList<FtpCommand>& commands, const QString& text);
    bool ChangeDirectoryTo(const QString& name, const QString& text, RefreshAfter refresh);
    void DropConnection();
    void Log(const QString& text);
    void ShowBytes();
    QString DirectoryUrl() const;
    FtpRequest NewRequest(FtpRequestKind kind, int context) const;
    // One file down or up; `noun` and `verb` name the direction in the log and the caption.
    bool Transfer(FtpRequestKind kind, int context, const QString& noun, const QString& verb,
                  const QString& name, qint64 size);

    void OnStatus(int context, int status);
    void OnBytes(int context, qint64 sent, qint64 received, qint64 transferred);
    void OnCompleted(const FtpReply& reply);

    FtpSessionObserver* Observer;
    TransferThread Thread{QStringLiteral("FtpWorker")};
    FtpWorker* Worker = nullptr;  // lives on Thread, owned by it

    bool IsConnected = false;
    bool RequestPending = false;
    bool RequestDone = false;
    FtpRequestKind PendingKind = FtpRequestKind::Command;
    QEventLoop* Waiting = nullptr;
    FtpReply LastReply;
    quint32 Result = 0;
    int Busy = 0;
    qint64 Sent = 0;
    qint64 Received = 0;
    qint64 Position = 0;

    QString ServerUrl;  // "ftp://host:port"
    std::optional<QString> User;
    std::optional<QString> Password;
    bool OffersMlsd = false;
    QString Directory;
    QVector<FtpEntry> Entries;
};

}  // namespace plovane
