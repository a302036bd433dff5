#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

#include "LocalServer.h"
#include "platform/Errors.h"
#include "platform/FilePlaces.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"
#include "web/QelURI.h"
#include "web/UnitDownload.h"

namespace plovane {
namespace {

QByteArray RandomBytes(int size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(size);
    for (char& b : bytes) b = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below a folder, hidden ones (unfinished downloads) included.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

// The message a FetchUrl raised, or an empty text when it raised none.
QString FetchMessage(const QString& url) {
    try {
        FetchUrl(url);
    } catch (const AbortCommand& e) {
        return e.Text();
    }
    return QString();
}

class DownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Site = std::make_unique<test::TempFolder>();
        Site->Write("big.bin", RandomBytes(700 * 1024));
        Site->Write("a/page.htm", "<p>first</p>");
        Site->Write("b/page.htm", "<p>second</p>");
        Site->Write("secret.htm", "<p>secret</p>");
        Site->Write("dir/notes.txt", "notes");
        Server = test::LocalServer::Files(Site->Root());
    }
    static void TearDownTestSuite() {
        Server.reset();
        Site.reset();
    }
    void SetUp() override { ASSERT_TRUE(Server->Running()); }
    void TearDown() override { SetDownloadWindow(nullptr); }

    // A run of the window as the modal run does it, driven without a modal loop.
    static bool RunShown(TFormDownload& form, const QString& url, QString& location) {
        form.Prepare("Downloading File", url);
        QSignalSpy ended(&form, &QDialog::finished);
        form.show();
        ended.wait(20000);
        return form.Conclude(location);
    }

    static std::unique_ptr<test::TempFolder> Site;
    static std::unique_ptr<test::LocalServer> Server;
    const test::ScopedFilePlaces Places;  // a fresh cache for every test
    test::ScopedPrompter Prompter;
};

std::unique_ptr<test::TempFolder> DownloadTest::Site;
std::unique_ptr<test::LocalServer> DownloadTest::Server;

TEST_F(DownloadTest, AnExistingLocalFileComesBackAtOnceWithoutTheWindow) {
    TFormDownload form;
    SetDownloadWindow(&form);
    const QString local = Site->Path("secret.htm");
    QString location = local;
    EXPECT_TRUE(DownloadToCache("Downloading File", location));
    EXPECT_EQ(location, local);
    EXPECT_EQ(FetchUrl(local), local);
    EXPECT_EQ(form.Download(), nullptr);
    EXPECT_EQ(form.windowTitle(), "Downloading File");
    EXPECT_TRUE(FilesBelow(CacheFolder()).isEmpty());
}

TEST_F(DownloadTest, ADownloadLandsInTheCacheWithItsBytesAndReportsProgress) {
    TFormDownload form;
    QString location = Server->Url("/big.bin");
    ASSERT_TRUE(RunShown(form, location, location));
    EXPECT_FALSE(form.EndedByUser());
    EXPECT_EQ(form.LabelStatus->text(), "big.bin from (127.0.0.1)");
    EXPECT_TRUE(location.startsWith(CacheFolder())) << location.toStdString();
    EXPECT_EQ(QFileInfo(location).fileName(), "big.bin");
    EXPECT_TRUE(ReadFile(location) == Site->Read("big.bin"));
    EXPECT_EQ(form.LabelProgress->text(), "716800 of 716800 bytes completed.");
    EXPECT_EQ(form.ProgressBar->value(), form.ProgressBar->maximum());
    EXPECT_EQ(FilesBelow(CacheFolder()), QStringList{location});
}

TEST_F(DownloadTest, FetchUrlKeepsTheFileNameAndNeverMixesUpTwoUrlsOfTheSameName) {
    const QString first = FetchUrl(Server->Url("/a/page.htm"));
    const QString second = FetchUrl(Server->Url("/b/page.htm"));
    EXPECT_NE(first, second);
    EXPECT_EQ(QFileInfo(first).fileName(), "page.htm");
    EXPECT_EQ(QFileInfo(second).fileName(), "page.htm");
    EXPECT_EQ(ReadFile(first), "<p>first</p>");
    EXPECT_EQ(ReadFile(second), "<p>second</p>");
    // Fetching again refreshes the same copy instead of piling up new ones.
    EXPECT_EQ(FetchUrl(Server->Url("/a/page.htm")), first);
    EXPECT_EQ(FilesBelow(CacheFolder()).size(), 2);
    EXPECT_TRUE(Prompter->Texts().isEmpty());
}

TEST_F(DownloadTest, AMissingPageIsReportedAsNotFoundAndLeavesNothingInTheCache) {
    const QString url = Server->Url("/no/such/page.htm");
    EXPECT_EQ(FetchMessage(url), "URL not found \"" + url + "\"");
    EXPECT_TRUE(LastServerResponse().startsWith("HTTP/1.0 404")) << LastServerResponse().toStdString();
    EXPECT_TRUE(FilesBelow(CacheFolder()).isEmpty());
    // Nothing listens there any more: the same report.
    const QString closed = "http://127.0.0.1:1/page.htm";
    EXPECT_EQ(FetchMessage(closed), "URL not found \"" + closed + "\"");
}

TEST_F(DownloadTest, AUrlEndingInASlashShowsDownloadingAndIsCachedUnderADefaultName) {
    TFormDownload form;
    QString location = Server->Url("/dir/");
    ASSERT_TRUE(RunShown(form, location, location));
    EXPECT_EQ(form.LabelStatus->text(), "Downloading from (127.0.0.1)");
    EXPECT_EQ(QFileInfo(location).fileName(), "index.html");
    EXPECT_TRUE(ReadFile(location).contains("notes.txt"));  // the server's folder listing
    // Without the slash the server redirects to the folder; the redirect is followed.
    EXPECT_TRUE(ReadFile(FetchUrl(Server->Url("/dir"))).contains("notes.txt"));
}

TEST_F(DownloadTest, CancelDuringASlowDownloadEndsItAndLeavesNoPartialFile) {
    const auto slow = test::LocalServer::Slow(2'000'000);  // about 25 s at the server's pace
    ASSERT_TRUE(slow->Running());
    TFormDownload form;
    SetDownloadWindow(&form);
    QStringList partialFiles;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        // Cancel once some bytes have been written.
        if (form.isVisible() && form.LabelProgress->text().endsWith("bytes completed.") &&
            !form.LabelProgress->text().startsWith("0 ")) {
            partialFiles = FilesBelow(CacheFolder());
            QTest::mouseClick(form.ButtonCancel, Qt::LeftButton);
        }
    });
    canceller.start(20);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(FetchMessage(slow->Url("/slow.bin")), "Download Terminated By User.");
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(form.EndedByUser());
    EXPECT_FALSE(form.Animate->Active());
    EXPECT_EQ(partialFiles.size(), 1);
    EXPECT_TRUE(FilesBelow(CacheFolder()).isEmpty()) << FilesBelow(CacheFolder()).join(' ').toStdString();
}

TEST_F(DownloadTest, EscEndsARunAndAWindowDestroyedMidDownloadStopsItsThread) {
    const auto slow = test::LocalServer::Slow(2'000'000);
    ASSERT_TRUE(slow->Running());
    const auto startAndWaitForBytes = [&](TFormDownload& form) {
        form.Prepare("Downloading File", slow->Url("/slow.bin"));
        form.show();
        QTRY_VERIFY_WITH_TIMEOUT(form.Download()->LastProgress() > 0, 10000);
    };
    TFormDownload form;
    startAndWaitForBytes(form);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    QString location = slow->Url("/slow.bin");
    EXPECT_FALSE(form.Conclude(location));
    EXPECT_TRUE(form.EndedByUser());
    EXPECT_EQ(location, slow->Url("/slow.bin"));

    QElapsedTimer clock;
    clock.start();
    {
        TFormDownload doomed;
        startAndWaitForBytes(doomed);
    }
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(FilesBelow(CacheFolder()).isEmpty());
}

TEST_F(DownloadTest, EscapingPathsNeverLeaveTheCacheFolder) {
    const QString cache = QDir::cleanPath(CacheFolder());
    for (const char* path : {"/..", "/%2e%2e", "/%2e%2e%2f%2e%2e%2fescape.htm", "/..%2f..%2f..%2fescape.htm",
                             "/a/%2e%2e%5c%2e%2e%5cescape.htm", "//etc/passwd", "/%00", "/x%2f"}) {
        const TThreadDownload download(Server->Url(path), CacheFolder());
        const QFileInfo target(download.CacheTarget());
        EXPECT_EQ(QFileInfo(target.absolutePath()).absolutePath(), cache) << path;
        EXPECT_NE(target.fileName(), "..") << path;
    }
    // The server resolves this one to its own secret.htm; the copy still lands inside the cache.
    const QString copy = FetchUrl(Server->Url("/%2e%2e%2f%2e%2e%2fsecret.htm"));
    EXPECT_TRUE(QDir::cleanPath(copy).startsWith(cache + '/')) << copy.toStdString();
    EXPECT_EQ(ReadFile(copy), "<p>secret</p>");
    EXPECT_EQ(FilesBelow(Places.Folder().Root() + "/cache"), QStringList{copy});
}

}  // namespace
}  // namespace plovane

namespace plovane {
namespace {

TEST(FtpDownloadTest, FtpUrlsAreFetchedAndTheirRefusalsReported) {
    const test::ScopedFilePlaces places;
    const test::TempFolder site;
    site.Write("pub/notes.txt", "ftp notes");
    const auto server = test::LocalServer::Ftp(site.Root());
    ASSERT_TRUE(server->Running());
    const QString copy = FetchUrl(server->Url("/pub/notes.txt", "ftp"));
    EXPECT_EQ(ReadFile(copy), "ftp notes");
    EXPECT_TRUE(copy.startsWith(CacheFolder()));
    const QString missing = server->Url("/pub/missing.txt", "ftp");
    EXPECT_EQ(FetchMessage(missing), "URL not found \"" + missing + "\"");
    EXPECT_TRUE(LastServerResponse().startsWith("550")) << LastServerResponse().toStdString();
}

TEST(IsInternetConnectedTest, AnswersTheSameOnAWorkerThreadAsOnTheApplicationThread) {
    const bool here = IsInternetConnected();
    std::atomic<bool> there{!here};
    std::unique_ptr<QThread> worker(QThread::create([&] { there = IsInternetConnected(); }));
    worker->start();
    worker->wait();
    EXPECT_EQ(there, here);
}

}  // namespace
}  // namespace plovane
