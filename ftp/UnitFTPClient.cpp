#include "ftp/UnitFTPClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QUrl>

#include "platform/Errors.h"
#include "platform/Prompter.h"
#include "platform/WindowOperations.h"

namespace plovane {

namespace {

// Stands in while no window watches, so the session never needs to ask.
class QuietObserver : public FtpSessionObserver {
public:
    void ShowStatus(const QString&) override {}
    void AppendLog(const QString&) override {}
    void ShowBytePanels(const QString&, const QString&) override {}
    void EnableControls(bool, bool) override {}
    void ShowTransfer(const QString&, qint64) override {}
    void SetTransferProgress(qint64) override {}
    void HideTransfer() override {}
    void RemoteListChanged(const QString&, const QVector<FtpEntry>&) override {}
    void LocalFolderChanged() override {}
};

FtpSessionObserver* QuietObserverInstance() {
    static QuietObserver quiet;
    return &quiet;
}

// "ftp://host:port" for "host", "host:port" or "[v6 address]:port"; nothing when the text names
// no usable server.
std::optional<QString> ServerUrlOf(const QString& hostText) {
    const QString text = hostText.trimmed();
    QString host = text;
    QString portText = QStringLiteral("21");
    if (text.startsWith(QLatin1Char('['))) {
        const int close = int(text.indexOf(QLatin1Char(']')));
        if (close < 0) return std::nullopt;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) return std::nullopt;
            portText = rest.mid(1);
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        const int colon = int(text.indexOf(QLatin1Char(':')));
        host = text.left(colon);
        portText = text.mid(colon + 1);
    }
    bool ok = false;
    const int port = portText.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || host.isEmpty()) return std::nullopt;
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(host, QUrl::StrictMode);
    url.setPort(port);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    return url.toString(QUrl::FullyEncoded);
}

// The URL path that makes libcurl change to `directory` with one CWD: "/a b" -> "/%2Fa%20b/".
QString DirectoryUrlPath(const QString& directory) {
    if (directory.isEmpty()) return QStringLiteral("/");
    QByteArray encoded = QUrl::toPercentEncoding(directory, "/");
    if (encoded.startsWith('/')) encoded = "%2F" + encoded.mid(1);
    if (!encoded.endsWith('/')) encoded += '/';
    return QLatin1Char('/') + QString::fromLatin1(encoded);
}

QString JoinRemotePath(const QString& directory, const QString& name) {
    if (name.startsWith(QLatin1Char('/'))) return name;
    if (name == QLatin1String("..")) {
        const int slash = int(directory.lastIndexOf(QLatin1Char('/')));
        return slash <= 0 ? QStringLiteral("/") : directory.left(slash);
    }
    return directory.endsWith(QLatin1Char('/')) ? directory + name : directory + QLatin1Char('/') + name;
}

// A name as the log can show it on one line.
QString Printable(const QString& name) {
    QString shown = name;
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control) c = QLatin1Char('?');
    return shown;
}

QByteArray Command(const char* verb, const QString& argument) {
    return QByteArray(verb) + ' ' + argument.toUtf8();
}

}  // namespace

QString FtpStatusText(int status) {
    switch (status) {
        case 10:
            return QStringLiteral("Resolving Name");
        case 11:
            return QStringLiteral("Name Resolved");
        case 20:
            return QStringLiteral("Connecting to Server");
        case 21:
            return QStringLiteral("Connected to Server");
        case 50:
            return QStringLiteral("Closing Connection");
        case 51:
            return QStringLiteral("Connection Closed");
        case 70:
            return QStringLiteral("Handle Closing");
        case 110:
            return QStringLiteral("Redirect");
        case 200:
            return QStringLiteral("State Changed");
        default:
            return QString();
    }
}

QString FtpErrorText(int error, const QString& serverResponse) {
    switch (error) {
        case 0:
        case 87:
            return QString();
        case 18:
            return QStringLiteral("No More Files");
        case 12002:
            return QStringLiteral("ERROR! Timeout");
        case 12003:
            return serverResponse;
        case 12005:
            return QStringLiteral("ERROR! Invalid URL");
        case 12006:
            return QStringLiteral("ERROR! Unrecognized Scheme");
        case 12007:
            return QStringLiteral("ERROR! Name Not Resolved");
        case 12008:
            return QStringLiteral("ERROR! Protocol Not Found");
        case 12013:
            return QStringLiteral("ERROR! Incorrect User Name");
        case 12014:
            return QStringLiteral("ERROR! Incorrect Password");
        case 12015:
            return QStringLiteral("ERROR! Login Failure");
        case 12017:
            return QStringLiteral("ERROR! Operation Cancelled");
        case 12029:
            return QStringLiteral("ERROR! Cannot Connect");
        case 12030:
            return QStringLiteral("ERROR! Connection Aborted");
        case 12031:
            return QStringLiteral("ERROR! Connection Reset");
        case 12110:
            return QStringLiteral("ERROR! Transfer in Progress");
        default:
            return QStringLiteral("ERROR! Error Code #") + QString::number(error);
    }
}

FtpSession::FtpSession(FtpSessionObserver* observer, QObject* parent)
    : QObject(parent), Observer(observer ? observer : QuietObserverInstance()) {
    qRegisterMetaType<FtpReply>();
    Worker = Thread.Start(std::make_unique<FtpWorker>());
    connect(Worker, &FtpWorker::StatusChanged, this, &FtpSession::OnStatus, Qt::QueuedConnection);
    connect(Worker, &FtpWorker::BytesMoved, this, &FtpSession::OnBytes, Qt::QueuedConnection);
    connect(Worker, &FtpWorker::Completed, this, &FtpSession::OnCompleted, Qt::QueuedConnection);
}

FtpSession::~FtpSession() {
    Worker->disconnect(this);
    Thread.Stop();
    // The worker goes with Thread, after this: its handle ends the connection politely (QUIT, then
    // close).
}

void FtpSession::SetObserver(FtpSessionObserver* observer) {
    Observer = observer ? observer : QuietObserverInstance();
    ShowBytes();
}

void FtpSession::Connect(TFormFTPSite& site) {
    if (IsConnected) {
        ShowMessageBox(QStringLiteral("Please disconnect from the current FTP site."));
        return;
    }
    if (!site.Execute()) return;
    ConnectToSite(site.FtpSiteDetails);
}

bool FtpSession::ConnectToSite(const FtpSiteDetails& site) {
    if (IsConnected || RequestPending) {
        ShowMessageBox(QStringLiteral("Please disconnect from the current FTP site."));
        return false;
    }
    const std::optional<QString> server = ServerUrlOf(site.HostName);
    User = site.UserName.isEmpty() ? std::nullopt : std::optional<QString>(site.UserName);
    Password = site.Password.isEmpty() ? std::nullopt : std::optional<QString>(site.Password);
    ServerUrl = server.value_or(QString());
    Directory.clear();
    OffersMlsd = false;

    BeginOperation();
    if (server) {
        FtpRequest request = NewRequest(FtpRequestKind::Connect, ContextConnection);
        request.url = ServerUrl + QLatin1Char('/');
        request.commands = {{"FEAT", false}};
        Issue(request);
    } else {
        Refuse(FtpErrorText(ErrorInvalidUrl));
    }
    WaitForCompletion(QStringLiteral("Attempting to connect to FTP Site"));
    if (Result != 0) {
        IsConnected = true;
        OffersMlsd = LastReply.offersMlsd;
        Directory = LastReply.entryPath.isEmpty() ? QStringLiteral("/") : LastReply.entryPath;
    }
    EndOperation();

    if (!IsConnected) {
        // Nothing is connected, so the disconnect step only tidies up; its "not connected" notice
        // would only confuse.
        DropConnection();
        ShowMessageBox(QStringLiteral("Unable to connect to FTP site. Please check your settings."));
        return false;
    }
    RefreshRemoteList();
    if (!site.LocalPath.isEmpty() && QDir::setCurrent(site.LocalPath)) Observer->LocalFolderChanged();
    if (!site.RemotePath.isEmpty() && IsConnected) ChangeDirectory(site.RemotePath, RefreshAfter::Always);
    return true;
}

void FtpSession::Disconnect() {
    if (!IsConnected) {
        ShowMessageBox(QStringLiteral("You are not currently connected to a FTP site."));
        return;
    }
    DropConnection();
}

void FtpSession::DropConnection() {
    IsConnected = false;
    if (RequestPending) Worker->Cancel();
    Thread.Post([worker = Worker] { worker->Close(); });
    Directory.clear();
    Entries.clear();
    Observer->RemoteListChanged(QString(), Entries);
    BeginOperation();
    Busy = 0;
    Observer->EnableControls(true, false);
}

bool FtpSession::RefreshRemoteList() {
    if (!RunCommandRequest({{"PWD", true}}, QStringLiteral("Refreshing Directory"))) return false;
    const QString path = QuotedPathOf(LastReply.replies.value(0));
    if (!path.isEmpty()) Directory = path;

    BeginOperation();
    BeginOperation();
    FtpRequest request = NewRequest(FtpRequestKind::List, ContextFind);
    request.url = DirectoryUrl();
    request.mlsd = OffersMlsd;
    Issue(request);
    WaitForCompletion(QStringLiteral("Finding Files"));
    EndOperation();
    if (IsConnected) {
        Entries = Result != 0 ? ParseListing(LastReply.listing, OffersMlsd) : QVector<FtpEntry>();
        Observer->RemoteListChanged(Directory, Entries);
    }
    EndOperation();
    return Result != 0 && IsConnected;
}

bool FtpSession::ChangeDirectory(const QString& name, RefreshAfter refresh) {
    return ChangeDirectoryTo(name, QStringLiteral("Changing to directory \"%1\"").arg(Printable(name)),
                             refresh);
}

bool FtpSession::ChangeToParent() {
    return ChangeDirectoryTo(QStringLiteral(".."), QStringLiteral("Changing to parent directory"),
                             RefreshAfter::Always);
}

bool FtpSession::ChangeDirectoryTo(const QString& name, const QString& text, RefreshAfter refresh) {
    const QString previous = Directory;
    const bool changed = RunCommandRequest({{Command("CWD", name), true}, {"PWD", false}}, text);
    if (changed) {
        const QString path = QuotedPathOf(LastReply.replies.value(1));
        Directory = path.isEmpty() ? JoinRemotePath(previous, name) : path;
    }
    if (IsConnected && (changed || refresh == RefreshAfter::Always)) RefreshRemoteList();
    return changed;
}

bool FtpSession::MakeDirectory(const QString& name) {
    const bool made = RunCommandRequest({{Command("MKD", name), true}},
                                        QStringLiteral("Creating Directory \"%1\"").arg(Printable(name)));
    if (made) RefreshRemoteList();
    return made;
}

bool FtpSession::RenameEntry(const QString& oldName, const QString& newName) {
    return RunCommandRequest(
        {{Command("RNFR", oldName), true}, {Command("RNTO", newName), true}},
        QStringLiteral("Renaming \"%1\" to \"%2\"").arg(Printable(oldName), Printable(newName)));
}

bool FtpSession::DeleteFile(const QString& name) {
    return RunCommandRequest({{Command("DELE", name), true}},
                             QStringLiteral("Deleteing File \"%1\"").arg(Printable(name)));
}

bool FtpSession::RemoveDirectory(const QString& name) {
    return RunCommandRequest({{Command("RMD", name), true}},
                             QStringLiteral("Removing Directory \"%1\"").arg(Printable(name)));
}

bool FtpSession::DownloadFile(const QString& name, qint64 size) {
    return Transfer(FtpRequestKind::Download, ContextDownload, QStringLiteral("Download"),
                    QStringLiteral("Downloading"), name, size);
}

bool FtpSession::UploadFile(const QString& name, qint64 size) {
    return Transfer(FtpRequestKind::Upload, ContextUpload, QStringLiteral("Upload"),
                    QStringLiteral("Uploading"), name, size);
}

bool FtpSession::Transfer(FtpRequestKind kind, int context, const QString& noun, const QString& verb,
                          const QString& name, qint64 size) {
    if (!IsConnected || RequestPending) return false;
    if (!IsPlainFileName(name)) {
        Log(QStringLiteral("%1 of \"%2\" refused: the name leads outside the current folder.")
                .arg(noun, Printable(name)));
        return false;
    }
    BeginOperation();
    FtpRequest request = NewRequest(kind, context);
    request.url = DirectoryUrl() + QString::fromLatin1(QUrl::toPercentEncoding(name));
    request.localFile = QDir::current().absoluteFilePath(name);
    Issue(request);
    const QString caption = QStringLiteral("%1 \"%2\"").arg(verb, Printable(name));
    Position = 0;
    Observer->ShowTransfer(caption, size);
    WaitForCompletion(caption);
    EndOperation();
    QCoreApplication::processEvents();
    Observer->HideTransfer();
    return Result != 0;
}

void FtpSession::Terminate() { Worker->SetTerminate(true); }

void FtpSession::BeginOperation() {
    ++Busy;
    Observer->EnableControls(false, false);
    RequestDone = false;
    Worker->SetTerminate(false);
}

void FtpSession::WaitForCompletion(const QString& text) {
    if (!text.isEmpty()) {
        Observer->ShowStatus(text);
        Log(text);
    }
    while (!RequestDone && RequestPending) {
        QEventLoop loop;
        Waiting = &loop;
        loop.exec();
        Waiting = nullptr;
    }
    Observer->ShowStatus(QStringLiteral("Ready"));
    Worker->SetTerminate(false);
    RequestDone = false;
}

void FtpSession::EndOperation() {
    if (Busy > 0) --Busy;
    // A disconnect while the operation waited leaves the remote side off.
    if (Busy == 0) Observer->EnableControls(true, IsConnected);
}

bool FtpSession::RunCommandRequest(const QList<FtpCommand>& commands, const QString& text) {
    if (!IsConnected || RequestPending) return false;
    BeginOperation();
    const bool sendable = std::all_of(commands.begin(), commands.end(), [](const FtpCommand& command) {
        return IsSendableName(QString::fromUtf8(command.text));
    });
    if (sendable) {
        FtpRequest request = NewRequest(FtpRequestKind::Command, ContextConnection);
        request.url = DirectoryUrl();
        request.commands = commands;
        Issue(request);
    } else {
        Refuse(QStringLiteral("The name holds a line break and cannot be sent to the server."));
    }
    WaitForCompletion(text);
    EndOperation();
    return Result != 0;
}

FtpRequest FtpSession::NewRequest(FtpRequestKind kind, int context) const {
    FtpRequest request;
    request.kind = kind;
    request.context = context;
    request.user = User;
    request.password = Password;
    return request;
}

QString FtpSession::DirectoryUrl() const { return ServerUrl + DirectoryUrlPath(Directory); }

void FtpSession::Issue(FtpRequest request) {
    RequestPending = true;
    PendingKind = request.kind;
    Worker->ClearCancel();
    Thread.Post([worker = Worker, request = std::move(request)] { worker->Run(request); });
}

void FtpSession::Refuse(const QString& text) {
    RequestPending = true;
    PendingKind = FtpRequestKind::Command;
    FtpReply reply;
    reply.error = ErrorExtended;
    reply.serverResponse = text;
    QMetaObject::invokeMethod(
        this, [this, reply] { OnCompleted(reply); }, Qt::QueuedConnection);
}

void FtpSession::Log(const QString& text) {
    const QString line = text.trimmed();
    if (!line.isEmpty()) Observer->AppendLog(line);
}

void FtpSession::ShowBytes() {
    Observer->ShowBytePanels(QStringLiteral("Sent: ") + FormatKilobytes(Sent),
                             QStringLiteral("Received: ") + FormatKilobytes(Received));
}

void FtpSession::OnStatus(int, int status) {
    RunCommand([&] { Log(FtpStatusText(status)); });
}

void FtpSession::OnBytes(int context, qint64 sent, qint64 received, qint64 transferred) {
    Sent += sent;
    Received += received;
    if ((context == ContextDownload || context == ContextUpload) && transferred > 0) Position += transferred;
    RunCommand([&] {
        ShowBytes();
        if ((context == ContextDownload || context == ContextUpload) && transferred > 0)
            Observer->SetTransferProgress(Position);
    });
}

void FtpSession::OnCompleted(const FtpReply& reply) {
    RequestPending = false;
    LastReply = reply;
    // A listing ends the way an enumeration does: with no more files to find.
    const QString text = PendingKind == FtpRequestKind::List && reply.error == ErrorNone
                             ? FtpErrorText(ErrorNoMoreFiles)
                             : FtpErrorText(reply.error, reply.serverResponse);
    Result = reply.error == ErrorNone ? 1 : 0;
    RequestDone = true;
    if (Waiting) Waiting->quit();
    RunCommand([&] { Log(text); });
}

}  // namespace plovane
