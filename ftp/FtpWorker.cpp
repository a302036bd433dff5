#include "ftp/FtpWorker.h"

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>

namespace plovane {

namespace {

// Generous enough for any honest directory, small enough that a server sending without end cannot
// exhaust memory.
constexpr qint64 MaxListingBytes = 64 * 1024 * 1024;
constexpr long TransferBufferBytes = 512 * 1024;
constexpr qint64 ReportIntervalMs = 50;
constexpr int MaxKeptLines = 1000;

bool IsFinalReplyLine(const QString& line) {
    static const QRegularExpression finalLine(QStringLiteral("^\\d{3}( |$)"));
    return finalLine.match(line).hasMatch();
}

int ReplyCode(const QString& line) { return line.left(3).toInt(); }

bool IsTransfer(const FtpRequest& request) {
    return request.kind == FtpRequestKind::Download || request.kind == FtpRequestKind::Upload;
}

// Errors that mean the server refused something: its own words explain it best.
bool IsServerRefusal(CURLcode code) {
    switch (code) {
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_FTP_COULDNT_SET_TYPE:
        case CURLE_FTP_WEIRD_SERVER_REPLY:
        case CURLE_FTP_PRET_FAILED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_REMOTE_FILE_EXISTS:
        case CURLE_UPLOAD_FAILED:
        case CURLE_QUOTE_ERROR:
            return true;
        default:
            return false;
    }
}

int ErrorOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return ErrorNone;
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_FTP_ACCEPT_TIMEOUT:
            return ErrorTimeout;
        case CURLE_URL_MALFORMAT:
            return ErrorInvalidUrl;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ErrorUnrecognizedScheme;
        case CURLE_COULDNT_RESOLVE_HOST:
            return ErrorNameNotResolved;
        case CURLE_LOGIN_DENIED:
            return ErrorLoginFailure;
        case CURLE_ABORTED_BY_CALLBACK:
            return ErrorOperationCancelled;
        case CURLE_COULDNT_CONNECT:
            return ErrorCannotConnect;
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
            return ErrorConnectionAborted;
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return ErrorConnectionReset;
        case CURLE_WRITE_ERROR:
        case CURLE_READ_ERROR:
            return ErrorAccessDenied;
        default:
            return IsServerRefusal(code) ? ErrorExtended : ErrorInternal;
    }
}

}  // namespace

struct FtpWorker::LocalFile {
    explicit LocalFile(const QString& path) : File(path) {}
    QFile File;
    bool Opened = false;
};

// libcurl's callbacks, with access to the worker's request state.
struct FtpCallbacks {
    static size_t Header(char* buffer, size_t size, size_t count, void* data) {
        auto* worker = static_cast<FtpWorker*>(data);
        const size_t length = size * count;
        QString line = QString::fromUtf8(buffer, int(length));
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (worker->Connecting) {
            // The greeting: the server is there and talking.
            worker->Connecting = false;
            emit worker->StatusChanged(ContextConnection, StatusConnectedToServer);
        }
        // A server that never ends its reply must not fill memory; the first lines say enough.
        if (worker->AllLines.size() < MaxKeptLines) worker->AllLines << line;
        const bool final = IsFinalReplyLine(line);
        if (worker->ReplyLines.size() < MaxKeptLines || final) worker->ReplyLines << line;
        if (final) {
            worker->Replies << line;
            worker->LastResponse = worker->ReplyLines.join(QLatin1Char(' ')).simplified();
            worker->ReplyLines.clear();
        }
        return length;
    }

    static int Debug(CURL*, curl_infotype type, char*, size_t size, void* data) {
        auto* worker = static_cast<FtpWorker*>(data);
        const qint64 bytes = qint64(size);
        switch (type) {
            case CURLINFO_HEADER_IN:
                worker->PendingReceived += bytes;
                break;
            case CURLINFO_HEADER_OUT:
                worker->PendingSent += bytes;
                break;
            case CURLINFO_DATA_IN:
                worker->PendingReceived += bytes;
                if (worker->Current->kind == FtpRequestKind::Download) worker->PendingTransferred += bytes;
                break;
            case CURLINFO_DATA_OUT:
                worker->PendingSent += bytes;
                if (worker->Current->kind == FtpRequestKind::Upload) worker->PendingTransferred += bytes;
                break;
            default:
                break;
        }
        return 0;
    }

    static size_t Write(char* buffer, size_t size, size_t count, void* data) {
        auto* worker = static_cast<FtpWorker*>(data);
        const size_t length = size * count;
        if (worker->Current->kind == FtpRequestKind::List) {
            if (worker->Data.size() + qint64(length) > MaxListingBytes) return 0;
            worker->Data.append(buffer, int(length));
            return length;
        }
        FtpWorker::LocalFile* file = worker->File.get();
        if (!file || worker->WriteFailed) return 0;
        if (!file->Opened) {
            // Opened at the first byte, so a refused download leaves no empty file behind.
            file->Opened =
                file->File.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
            if (!file->Opened) {
                worker->WriteFailed = true;
                return 0;
            }
        }
        return file->File.write(buffer, qint64(length)) == qint64(length) ? length : 0;
    }

    static size_t Read(char* buffer, size_t size, size_t count, void* data) {
        auto* worker = static_cast<FtpWorker*>(data);
        const qint64 read = worker->File->File.read(buffer, qint64(size * count));
        return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
    }

    static curl_socket_t OpenSocket(void* data, curlsocktype purpose, curl_sockaddr* address) {
        auto* worker = static_cast<FtpWorker*>(data);
        if (purpose == CURLSOCKTYPE_IPCXN && worker->ControlSocket < 0 && !worker->Connecting) {
            worker->Connecting = true;
            emit worker->StatusChanged(ContextConnection, StatusResolvingName);
            emit worker->StatusChanged(ContextConnection, StatusNameResolved);
            emit worker->StatusChanged(ContextConnection, StatusConnectingToServer);
        }
        return ::socket(address->family, address->socktype, address->protocol);
    }

    static int CloseSocket(void* data, curl_socket_t socket) {
        auto* worker = static_cast<FtpWorker*>(data);
        const bool control = socket == worker->ControlSocket;
        if (control) emit worker->StatusChanged(ContextConnection, StatusClosingConnection);
        const int result = ::close(socket);
        if (control) {
            worker->ControlSocket = -1;
            emit worker->StatusChanged(ContextConnection, StatusConnectionClosed);
        }
        return result;
    }
};

FtpWorker::FtpWorker() : Curl(NewCurlEasyHandle()) {}

FtpWorker::~FtpWorker() = default;

void FtpWorker::Run(const FtpRequest& request) {
    const FtpReply reply = Perform(request);
    ReportBytes(true);
    Current = nullptr;
    emit Completed(reply);
}

void FtpWorker::Close() {
    // Cleaning up the handle sends QUIT and closes the control socket, which reports itself.
    Curl = NewCurlEasyHandle();
    ControlSocket = -1;
    Connecting = false;
    emit StatusChanged(ContextConnection, StatusHandleClosing);
}

bool FtpWorker::OnTransferProgress(qint64, qint64, qint64, qint64) {
    ReportBytes(false);
    return !(IsTransfer(*Current) && TerminateFlag);
}

void FtpWorker::ReportBytes(bool force) {
    if (PendingSent == 0 && PendingReceived == 0 && PendingTransferred == 0) return;
    // The first bytes go out at once, so a Terminate can come while the first burst is still read.
    if (!force && SinceReport.isValid() && SinceReport.elapsed() < ReportIntervalMs) return;
    SinceReport.start();
    emit BytesMoved(Current ? Current->context : ContextConnection, PendingSent, PendingReceived,
                    PendingTransferred);
    PendingSent = PendingReceived = PendingTransferred = 0;
}

FtpReply FtpWorker::Perform(const FtpRequest& request) {
    BeginRequest(request);
    FtpReply reply;
    if (!Curl) Curl = NewCurlEasyHandle();
    if (!Curl) {
        reply.error = ErrorInternal;
        return reply;
    }
    if (!OpenUploadSource(request, reply)) return reply;

    CURL* const easy = Curl.get();
    SetCommonOptions(easy, request);
    const CommandList commands = SetCommands(easy, request);
    SetKindOptions(easy, request);
    const CURLcode code = curl_easy_perform(easy);
    curl_socket_t active = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(easy, CURLINFO_ACTIVESOCKET, &active) == CURLE_OK && active != CURL_SOCKET_BAD)
        ControlSocket = active;
    Connecting = false;

    reply = JudgeReply(code, request);
    CollectResults(easy, request, reply);
    // A download cut short because the session went is nobody's to finish: no partial file stays.
    // (Terminate and Disconnect leave it, and the log says so.)
    if (reply.error != ErrorNone && Abandoned() && request.kind == FtpRequestKind::Download && File->Opened)
        File->File.remove();
    File.reset();
    Data.clear();
    return reply;
}

void FtpWorker::BeginRequest(const FtpRequest& request) {
    Current = &request;
    Data.clear();
    Replies.clear();
    ReplyLines.clear();
    AllLines.clear();
    LastResponse.clear();
    WriteFailed = false;
    Connecting = false;
    File.reset();
    SinceReport.invalidate();
}

bool FtpWorker::OpenUploadSource(const FtpRequest& request, FtpReply& reply) {
    if (!IsTransfer(request)) return true;
    File = std::make_unique<LocalFile>(request.localFile);
    // A download target is opened at its first byte instead (see FtpCallbacks::Write).
    if (request.kind != FtpRequestKind::Upload) return true;
    File->Opened = File->File.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (File->Opened) return true;
    reply.error = File->File.exists() ? ErrorAccessDenied : ErrorFileNotFound;
    File.reset();
    return false;
}

void FtpWorker::SetCommonOptions(CURL* easy, const FtpRequest& request) {
    curl_easy_reset(easy);
    curl_easy_setopt(easy, CURLOPT_URL, request.url.toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Active mode: the server connects back to the address of our control connection.
    curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    if (request.user) curl_easy_setopt(easy, CURLOPT_USERNAME, request.user->toUtf8().constData());
    if (request.password) curl_easy_setopt(easy, CURLOPT_PASSWORD, request.password->toUtf8().constData());

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &FtpCallbacks::Header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    // The debug stream is the one place libcurl shows the commands it sends, which the byte
    // counters include.
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &FtpCallbacks::Debug);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
    WatchProgress(easy);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &FtpCallbacks::OpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &FtpCallbacks::CloseSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
}

FtpWorker::CommandList FtpWorker::SetCommands(CURL* easy, const FtpRequest& request) {
    // Each command is marked optional for libcurl ("*"): a refused command would otherwise close
    // the control connection. Its reply is judged in JudgeReply instead.
    CommandList commands(nullptr, &curl_slist_free_all);
    for (const FtpCommand& command : request.commands)
        commands.reset(curl_slist_append(commands.release(), ("*" + command.text).constData()));
    if (commands) curl_easy_setopt(easy, CURLOPT_POSTQUOTE, commands.get());
    return commands;
}

void FtpWorker::SetKindOptions(CURL* easy, const FtpRequest& request) {
    switch (request.kind) {
        case FtpRequestKind::Connect:
        case FtpRequestKind::Command:
            curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
            break;
        case FtpRequestKind::List:
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FtpCallbacks::Write);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
            if (request.mlsd) curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "MLSD");
            break;
        case FtpRequestKind::Download:
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FtpCallbacks::Write);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
            curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, TransferBufferBytes);
            break;
        case FtpRequestKind::Upload:
            curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(easy, CURLOPT_READFUNCTION, &FtpCallbacks::Read);
            curl_easy_setopt(easy, CURLOPT_READDATA, this);
            curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, curl_off_t(File->File.size()));
            curl_easy_setopt(easy, CURLOPT_UPLOAD_BUFFERSIZE, TransferBufferBytes);
            break;
    }
}

FtpReply FtpWorker::JudgeReply(CURLcode code, const FtpRequest& request) const {
    FtpReply reply;
    reply.error = ErrorOf(code);
    if (reply.error == ErrorExtended) reply.serverResponse = LastResponse;
    if (reply.error == ErrorExtended && LastResponse.isEmpty()) reply.error = ErrorInternal;

    // The request's own commands: each required one must have been answered without refusal.
    const int count = int(request.commands.size());
    if (reply.error != ErrorNone || count == 0) return reply;
    if (Replies.size() < count) {
        reply.error = LastResponse.isEmpty() ? ErrorInternal : ErrorExtended;
        reply.serverResponse = LastResponse;
        return reply;
    }
    reply.replies = Replies.mid(Replies.size() - count);
    for (int i = 0; i < count; ++i) {
        if (request.commands.at(i).required && ReplyCode(reply.replies.at(i)) >= 400) {
            reply.error = ErrorExtended;
            reply.serverResponse = reply.replies.at(i);
            break;
        }
    }
    return reply;
}

void FtpWorker::CollectResults(CURL* easy, const FtpRequest& request, FtpReply& reply) {
    if (reply.error != ErrorNone) return;
    switch (request.kind) {
        case FtpRequestKind::Connect: {
            const char* entry = nullptr;
            if (curl_easy_getinfo(easy, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry)
                reply.entryPath = QString::fromUtf8(entry);
            for (const QString& line : AllLines)
                if (line.trimmed().startsWith(QLatin1String("MLST"), Qt::CaseInsensitive))
                    reply.offersMlsd = true;
            break;
        }
        case FtpRequestKind::List:
            reply.listing = Data;
            break;
        case FtpRequestKind::Download:
            if (!File->Opened) {
                // An empty remote file still gives a local one.
                File->Opened = File->File.open(QIODevice::WriteOnly | QIODevice::Truncate);
                if (!File->Opened) reply.error = ErrorAccessDenied;
            }
            break;
        case FtpRequestKind::Command:
        case FtpRequestKind::Upload:
            break;
    }
}

}  // namespace plovane
