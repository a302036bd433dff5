#include "web/UnitDownload.h"

#include <curl/curl.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>
#include <limits>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "platform/Translation.h"
#include "web/QelURI.h"

namespace plovane {

namespace {

constexpr qint64 ReportIntervalMs = 100;

// The name the cached copy keeps: the URL's file name, decoded, made into one harmless path segment.
QString CacheFileNameFor(const QString& url) {
    QString name = QUrl::fromPercentEncoding(UrlFileName(url).toUtf8());
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32) c = QLatin1Char('_');
    if (name.size() > 120) name = name.right(120);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("index.html");
    return name;
}

// One folder per URL, so a download never replaces the copy of another URL with the same name.
QString CacheTargetFor(const QString& url, const QString& cacheFolder) {
    const QByteArray digest = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString root = QDir::cleanPath(cacheFolder);
    const QString target = QDir::cleanPath(root + QLatin1Char('/') + QString::fromLatin1(digest.left(16)) +
                                           QLatin1Char('/') + CacheFileNameFor(url));
    return target.startsWith(root + QLatin1Char('/')) ? target : QString();
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    const qint64 length = static_cast<qint64>(size * count);
    return static_cast<QFile*>(file)->write(data, length) == length ? size * count : 0;
}

// Replaces each "%d" of a message in turn, so a translated text is never used as a format string.
QString WithNumbers(QString text, std::initializer_list<qint64> numbers) {
    for (const qint64 number : numbers) {
        const int at = text.indexOf(QStringLiteral("%d"));
        if (at < 0) break;
        text.replace(at, 2, QString::number(number));
    }
    return text;
}

QString Message(const char* text) {
    return Translate(QString::fromUtf8(text), QStringLiteral("STRING_TABLE"));
}

QPointer<TFormDownload>& RegisteredWindow() {
    static QPointer<TFormDownload> window;
    return window;
}

}  // namespace

// ---- TThreadDownload ----

TThreadDownload::TThreadDownload(QString url, const QString& cacheFolder)
    : Address(std::move(url)), Target(CacheTargetFor(Address, cacheFolder)) {}

QString TThreadDownload::CacheFileName() const { return Done ? Cached : QString(); }

void TThreadDownload::Run() {
    Outcome = ResultFailed;
    // A server on this machine answers without any network connection.
    if (!Terminated() &&
        (IsLoopbackHost(UrlHostName(Address)) || IsAvailableOffline(Address) || IsInternetConnected()))
        Outcome = Transfer();
    Done = true;
    emit Finished(Outcome);
}

int TThreadDownload::Transfer() {
    if (Target.isEmpty() || !QDir().mkpath(QFileInfo(Target).absolutePath())) return ResultFailed;
    // Written beside the target and renamed over it only when complete, so a failed or cancelled
    // download leaves neither a partial file nor a damaged earlier copy. (Not QSaveFile: its sync
    // to disk would double the time of a large download, and a cache needs no such guarantee.)
    const QString partial = Target + QStringLiteral(".part");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return CURLE_WRITE_ERROR;
    const int code = Perform(file);
    file.close();
    if (code == CURLE_OK && file.error() == QFileDevice::NoError &&
        std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(Target).constData()) == 0) {
        Cached = Target;
        return 0;
    }
    QFile::remove(partial);
    return code != CURLE_OK ? code : CURLE_WRITE_ERROR;
}

int TThreadDownload::Perform(QFile& file) {
    const CurlEasyHandle curl = NewCurlEasyHandle();
    if (!curl) return CURLE_FAILED_INIT;
    const QByteArray url = Address.toUtf8();
    const QByteArray agent = ApplicationTitle().toUtf8() + "/" PLOVANE_VERSION;
    CURL* const handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WriteToFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &RecordServerResponseLine);
    WatchProgress(handle);
    const CURLcode code = curl_easy_perform(handle);
    return code == CURLE_OK && Terminated() ? CURLE_ABORTED_BY_CALLBACK : code;
}

bool TThreadDownload::OnTransferProgress(qint64 received, qint64 receiveTotal, qint64, qint64) {
    Progress = received;
    Maximum = receiveTotal;
    if (Terminated()) return false;
    // The window's download waits for every report, so they are spaced out; the last one always
    // goes through.
    if (!Clock.isValid()) Clock.start();
    const qint64 nowMs = Clock.elapsed();
    const bool complete = receiveTotal > 0 && received == receiveTotal;
    if (received != LastReported &&
        (complete || LastReportMs < 0 || nowMs - LastReportMs >= ReportIntervalMs)) {
        LastReportMs = nowMs;
        LastReported = received;
        OnProgress(received, receiveTotal);
    }
    return !Terminated();
}

void TThreadDownload::OnProgress(qint64 progress, qint64 maximum) { emit ProgressChanged(progress, maximum); }

// ---- TMyThreadDownload ----

void TMyThreadDownload::OnProgress(qint64 progress, qint64 maximum) {
    TThreadDownload::OnProgress(progress, maximum);
    // Waits for the window, but never past Terminate(): the window may be waiting for this thread.
    while (!Shown.tryAcquire(1, 20))
        if (Terminated()) return;
}

// ---- TCopyAnimation ----

TCopyAnimation::TCopyAnimation(QWidget* parent) : QWidget(parent), Timer(new QTimer(this)) {
    Timer->setInterval(60);
    connect(Timer, &QTimer::timeout, this, [this] {
        Frame = (Frame + 1) % 20;
        update();
    });
    setMinimumSize(sizeHint());
}

void TCopyAnimation::Start() {
    if (!Timer->isActive()) Timer->start();
}

void TCopyAnimation::Stop() {
    Timer->stop();
    Frame = 0;
    update();
}

bool TCopyAnimation::Active() const { return Timer->isActive(); }

void TCopyAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int middle = height() / 2;
    const QColor folder(230, 190, 80);
    painter.setBrush(folder);
    painter.setPen(folder.darker(140));
    painter.drawRect(QRect(4, middle - 12, 36, 26));
    painter.drawRect(QRect(width() - 40, middle - 12, 36, 26));
    if (!Timer->isActive()) return;
    const int travel = width() - 100;
    const int x = 46 + travel * Frame / 19;
    const int lift = (Frame < 10 ? Frame : 19 - Frame) * 2;
    painter.setBrush(Qt::white);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRect(x, middle - 14 - lift, 14, 18));
}

// ---- TFormDownload ----

TFormDownload::TFormDownload(QWidget* parent)
    : QDialog(parent),
      LabelStatus(new QLabel(this)),
      LabelProgress(new QLabel(this)),
      ProgressBar(new QProgressBar(this)),
      Animate(new TCopyAnimation(this)),
      ButtonCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("FormDownload"));
    setWindowTitle(QStringLiteral("Downloading File"));
    setModal(true);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelProgress->setObjectName(QStringLiteral("LabelProgress"));
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    Animate->setObjectName(QStringLiteral("Animate"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { RunCommand([this] { reject(); }); });

    auto* const buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonCancel);
    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(Animate, 0, Qt::AlignHCenter);
    layout->addWidget(LabelStatus);
    layout->addWidget(ProgressBar);
    layout->addWidget(LabelProgress);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

TFormDownload::~TFormDownload() = default;

void TFormDownload::Prepare(const QString& caption, const QString& url) {
    // A report of an earlier download still queued goes with its thread.
    Thread.reset();
    Worker = nullptr;
    Started = false;
    setResult(0);
    setWindowTitle(caption);
    const QString name = UrlFileName(url);
    LabelStatus->setText((name.isEmpty() ? QStringLiteral("Downloading") : name) + QStringLiteral(" from (") +
                         UrlHostName(url) + QLatin1Char(')'));
    LabelProgress->setText(Message("Initializing Download."));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    Thread = std::make_unique<TransferThread>(QStringLiteral("Download"));
    TMyThreadDownload* const worker = Thread->Start(std::make_unique<TMyThreadDownload>(url, CacheFolder()));
    Worker = worker;
    connect(
        worker, &TThreadDownload::ProgressChanged, Thread.get(),
        [this, worker](qint64 progress, qint64 maximum) {
            if (!worker->Terminated()) ShowProgress(progress, maximum);
            worker->ReportShown();
        },
        Qt::QueuedConnection);
    connect(
        worker, &TThreadDownload::Finished, Thread.get(),
        [this, worker] { done(worker->Terminated() ? QDialog::Rejected : QDialog::Accepted); },
        Qt::QueuedConnection);
}

void TFormDownload::paintEvent(QPaintEvent* event) {
    if (Thread && !Started) {
        Started = true;
        Thread->Post([worker = Worker] { worker->Run(); });
    }
    QDialog::paintEvent(event);
}

void TFormDownload::ShowProgress(qint64 progress, qint64 maximum) {
    Animate->Start();
    // The bar counts in int; very large files are shown in kilobytes.
    const int shift = maximum > std::numeric_limits<int>::max() ? 10 : 0;
    ProgressBar->setMaximum(static_cast<int>(maximum >> shift));
    ProgressBar->setValue(static_cast<int>(qMin(progress, maximum) >> shift));
    LabelProgress->setText(WithNumbers(Message("%d of %d bytes completed."), {progress, maximum}));
}

bool TFormDownload::Conclude(QString& location) {
    Animate->Stop();
    if (!Thread) return false;
    // A report the download is waiting on is given up once it is terminated, so this never waits
    // for the window.
    Thread->Stop();
    const bool downloaded = Worker->Result() == 0;
    if (downloaded) location = Worker->CacheFileName();
    Thread.reset();
    Worker = nullptr;
    return downloaded;
}

bool TFormDownload::Run(const QString& caption, QString& location) {
    Prepare(caption, location);
    exec();
    return Conclude(location);
}

void SetDownloadWindow(TFormDownload* window) { RegisteredWindow() = window; }

namespace {

enum class DownloadEnd { Downloaded, Failed, Cancelled };

DownloadEnd RunDownload(const QString& caption, QString& location) {
    const QFileInfo local(location);
    if (local.isFile()) return DownloadEnd::Downloaded;
    std::unique_ptr<TFormDownload> own;
    TFormDownload* window = RegisteredWindow();
    if (!window) {
        own = std::make_unique<TFormDownload>(QApplication::activeWindow());
        window = own.get();
    }
    if (window->Run(caption, location)) return DownloadEnd::Downloaded;
    return window->EndedByUser() ? DownloadEnd::Cancelled : DownloadEnd::Failed;
}

}  // namespace

bool DownloadToCache(const QString& caption, QString& location) {
    return RunDownload(caption, location) == DownloadEnd::Downloaded;
}

QString FetchUrl(const QString& url) {
    QString location = url;
    switch (RunDownload(QStringLiteral("Downloading URL"), location)) {
        case DownloadEnd::Downloaded:
            return location;
        case DownloadEnd::Cancelled:
            RaiseMessage(Message("Download Terminated By User."));
        case DownloadEnd::Failed:
            break;
    }
    QString text = Message("URL not found \"%s\"");
    const int at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0) text.replace(at, 2, url);
    RaiseMessage(text);
}

}  // namespace plovane
