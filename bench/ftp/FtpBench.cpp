// Speed of the FTP session against a local FTP server: a large file down and up, and the listing
// of a large directory. compare_with_curl.py runs it beside the curl command line against the same
// server; run alone, it starts a server of its own.
//
// Environment: PLOVANE_FTP_HOST ("127.0.0.1:port") and PLOVANE_FTP_ROOT (the served folder) name a
// running server with the user tester/secret; PLOVANE_FTP_MB sets the file size (default 200).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "ftp/UnitFTPClient.h"

namespace {

using plovane::FtpSession;

struct Server {
    QString Host;
    QString Root;
    QTemporaryDir Folder;
    QProcess Process;

    Server() {
        Host = qEnvironmentVariable("PLOVANE_FTP_HOST");
        Root = qEnvironmentVariable("PLOVANE_FTP_ROOT");
        if (!Host.isEmpty()) return;
        Root = Folder.path() + QStringLiteral("/root");
        QDir().mkpath(Root);
        Process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(PLOVANE_SOURCE_DIR "/tests/ftp/ftp_test_server.py"),
                       QStringLiteral("--root"), Root});
        Process.waitForStarted();
        while (!Process.canReadLine() && Process.waitForReadyRead(10000)) {
        }
        Host = QStringLiteral("127.0.0.1:") + QString::fromLatin1(Process.readLine().trimmed());
    }
    ~Server() {
        if (Process.state() == QProcess::NotRunning) return;
        Process.closeWriteChannel();
        if (!Process.waitForFinished(5000)) Process.kill();
        Process.waitForFinished();
    }
};

Server& TheServer() {
    static Server server;
    return server;
}

qint64 FileBytes() {
    const int mb =
        qEnvironmentVariableIsSet("PLOVANE_FTP_MB") ? qEnvironmentVariableIntValue("PLOVANE_FTP_MB") : 200;
    return qint64(mb) * 1024 * 1024;
}

void WriteFile(const QString& path, qint64 size) {
    if (QFileInfo(path).size() == size) return;
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QByteArray block(1024 * 1024, 'x');
    for (qint64 written = 0; written < size; written += block.size()) file.write(block);
}

bool Connect(FtpSession& session) {
    return session.ConnectToSite(
        {TheServer().Host, QStringLiteral("tester"), QStringLiteral("secret"), {}, {}});
}

void BM_Download(benchmark::State& state) {
    const qint64 size = FileBytes();
    WriteFile(TheServer().Root + QStringLiteral("/down.bin"), size);
    QTemporaryDir local;
    QDir::setCurrent(local.path());
    FtpSession session;
    if (!Connect(session)) state.SkipWithError("cannot connect");
    for (auto _ : state)
        if (!session.DownloadFile(QStringLiteral("down.bin"), size)) state.SkipWithError("download failed");
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_Upload(benchmark::State& state) {
    const qint64 size = FileBytes();
    QTemporaryDir local;
    WriteFile(local.path() + QStringLiteral("/up.bin"), size);
    QDir::setCurrent(local.path());
    FtpSession session;
    if (!Connect(session)) state.SkipWithError("cannot connect");
    for (auto _ : state)
        if (!session.UploadFile(QStringLiteral("up.bin"), size)) state.SkipWithError("upload failed");
    state.SetBytesProcessed(state.iterations() * size);
    QFile::remove(TheServer().Root + QStringLiteral("/up.bin"));
}

// Directory change, PWD, the listing itself and its parsing: what the window waits for.
void BM_List5000(benchmark::State& state) {
    const QString folder = TheServer().Root + QStringLiteral("/many");
    if (QDir(folder).entryList(QDir::Files).size() != 5000) {
        QDir().mkpath(folder);
        for (int i = 0; i < 5000; ++i) {
            QFile file(folder + QStringLiteral("/page %1.htm").arg(i, 4, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
            file.write("<p>page</p>");
        }
    }
    FtpSession session;
    if (!Connect(session) || !session.ChangeDirectory(QStringLiteral("/many")))
        state.SkipWithError("cannot reach the folder");
    for (auto _ : state) {
        if (!session.RefreshRemoteList() || session.RemoteEntries().size() != 5000)
            state.SkipWithError("listing");
    }
}

// The best of five single runs, as the comparison script takes for curl.
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

BENCHMARK(BM_Download)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", Fastest)
    ->UseRealTime();
BENCHMARK(BM_Upload)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", Fastest)
    ->UseRealTime();
BENCHMARK(BM_List5000)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TheServer();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
