#include "web/UnitDownload.h"

#include <curl/curl.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
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
#include <mutex>

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

void InitializeCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    const qint64 length = static_cast<qint64>(size * count);
    return static_cast<QFile*>(file)->write(data, length) == length ? size * count : 0;
}

int ReportTransferProgress(void* thread, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    return static_cast<TThreadDownload*>(thread)->ProgressReport(now, total) ? 0 : 1;
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

TThreadDownload::TThreadDownload(QString url, const QString& cacheFolder, QObject* parent)
    : QThread(parent), Address(std::move(url)), Target(CacheTargetFor(Address, cacheFolder)) {}

TThreadDownload::~TThreadDownload() {
    Terminate();
    wait();
}

QString TThreadDownload::CacheFileName() const { return isFinished() ? Cached : QString(); }

void TThreadDownload::run() {
    Outcome = ResultFailed;
    // A server on this machine answers without any network connection.
    if (IsLoopbackHost(UrlHostName(Address)) || IsAvailableOffline(Address) || IsInternetConnected())
        Outcome = Transfer();
    OnFinished();
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
    InitializeCurl();
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
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
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &ReportTransferProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    const CURLcode code = curl_easy_perform(handle);
    return code == CURLE_OK && Terminated() ? CURLE_ABORTED_BY_CALLBACK : code;
}

bool TThreadDownload::ProgressReport(qint64 progress, qint64 maximum) {
    Progress = progress;
    Maximum = maximum;
    if (Terminated()) return false;
    // Every report waits for the window, so they are spaced out; the last one always goes through.
    if (!Clock.isValid()) Clock.start();
    const qint64 nowMs = Clock.elapsed();
    const bool complete = maximum > 0 && progress == maximum;
    if (progress != LastReported &&
        (complete || LastReportMs < 0 || nowMs - LastReportMs >= ReportIntervalMs)) {
        LastReportMs = nowMs;
        LastReported = progress;
        OnProgress(progress, maximum);
    }
    return !Terminated();
}

void TThreadDownload::OnProgress(qint64, qint64) {}

void TThreadDownload::OnFinished() {}

// ---- TMyThreadDownload ----

TMyThreadDownload::TMyThreadDownload(TFormDownload* form, QString url, const QString& cacheFolder)
    : TThreadDownload(std::move(url), cacheFolder), Form(form) {}

TMyThreadDownload::~TMyThreadDownload() {
    Terminate();
    wait();
}

void TMyThreadDownload::OnProgress(qint64 progress, qint64 maximum) {
    // Calls made in the context of this object die with it, so a late one never reaches a later run.
    QMetaObject::invokeMethod(
        this,
        [this, progress, maximum] {
            if (!Terminated()) Form->ShowProgress(progress, maximum);
            Shown.release();
        },
        Qt::QueuedConnection);
    // Waits for the window, but never past Terminate(): the window may be waiting for this thread.
    while (!Shown.tryAcquire(1, 20))
        if (Terminated()) return;
}

void TMyThreadDownload::OnFinished() {
    QMetaObject::invokeMethod(
        this, [this] { Form->done(Terminated() ? QDialog::Rejected : QDialog::Accepted); },
        Qt::QueuedConnection);
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
    Thread.reset();
    Started = false;
    setResult(0);
    setWindowTitle(caption);
    const QString name = UrlFileName(url);
    LabelStatus->setText((name.isEmpty() ? QStringLiteral("Downloading") : name) + QStringLiteral(" from (") +
                         UrlHostName(url) + QLatin1Char(')'));
    LabelProgress->setText(Message("Initializing Download."));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    Thread = std::make_unique<TMyThreadDownload>(this, url, CacheFolder());
}

void TFormDownload::paintEvent(QPaintEvent* event) {
    if (Thread && !Started) {
        Started = true;
        Thread->start();
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
    Thread->Terminate();
    if (Thread->isRunning()) {
        // The thread may be handing this window a last report; keep serving it until the thread ends.
        QEventLoop loop;
        connect(Thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (Thread->isRunning()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    Thread->wait();
    const bool downloaded = Thread->Result() == 0;
    if (downloaded) location = Thread->CacheFileName();
    Thread.reset();
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
