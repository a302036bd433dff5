#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTest>
#include <memory>

#include "TestFtpServer.h"
#include "ftp/UnitFTPClient.h"
#include "platform/WindowOperations.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// Records what the window would show.
struct RecordingObserver : FtpSessionObserver {
    void ShowStatus(const QString& text) override { Status = text; }
    void AppendLog(const QString& line) override { Log << line; }
    void ShowBytePanels(const QString& sent, const QString& received) override {
        SentPanel = sent;
        ReceivedPanel = received;
    }
    void EnableControls(bool local, bool remote) override {
        LocalEnabled = local;
        RemoteEnabled = remote;
    }
    void ShowTransfer(const QString& caption, qint64 maximum) override {
        Captions << caption;
        Maximum = maximum;
        Progress = 0;
        TransferShown = true;
    }
    void SetTransferProgress(qint64 position) override {
        Progress = position;
        if (OnProgress) OnProgress();
    }
    void HideTransfer() override { TransferShown = false; }
    void RemoteListChanged(const QString& directory, const QVector<FtpEntry>& entries) override {
        Directory = directory;
        Entries = entries;
        ++ListChanges;
    }
    void LocalFolderChanged() override { ++LocalChanges; }

    QStringList Names() const {
        QStringList names;
        for (const FtpEntry& entry : Entries) names << entry.Name + (entry.IsDirectory ? "/" : "");
        names.sort();
        return names;
    }

    QString Status;
    QStringList Log;
    QString SentPanel;
    QString ReceivedPanel;
    bool LocalEnabled = true;
    bool RemoteEnabled = false;
    QStringList Captions;
    qint64 Maximum = -1;
    qint64 Progress = -1;
    bool TransferShown = false;
    std::function<void()> OnProgress;
    QString Directory;
    QVector<FtpEntry> Entries;
    int ListChanges = 0;
    int LocalChanges = 0;
};

QByteArray SomeBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char& b : bytes) b = char(generator.bounded(256));
    return bytes + QByteArray("\r\n\n\r\0tail", 9);  // line ends must survive: transfers are binary
}

class FtpSessionTest : public ::testing::Test {
protected:
    explicit FtpSessionTest(const QStringList& serverOptions = {}) : Server(serverOptions) {}

    void SetUp() override {
        ASSERT_TRUE(Server.Started());
        Previous = QDir::currentPath();
        QDir::setCurrent(Local.Root());
        Server.Write(QStringLiteral("a.txt"), "hello");
        QDir().mkpath(Server.Path(QStringLiteral("sub")));
        Server.Write(QStringLiteral("sub/inner.htm"), "<p>inner</p>");
    }
    void TearDown() override { QDir::setCurrent(Previous); }

    FtpSiteDetails Site(const QString& remote = QString()) const {
        return {Server.HostName(), test::TestFtpServer::User(), test::TestFtpServer::Password(), remote,
                QString()};
    }
    bool ConnectAsUser() { return Session.ConnectToSite(Site()); }
    // The log from the line `first` on.
    QStringList LogFrom(const QString& first) const {
        const int at = int(Observer.Log.lastIndexOf(first));
        return at < 0 ? QStringList() : Observer.Log.mid(at);
    }

    test::TestFtpServer Server;
    test::TempFolder Local;
    test::ScopedPrompter Prompter;
    RecordingObserver Observer;
    FtpSession Session{&Observer};
    QString Previous;
};

TEST_F(FtpSessionTest, ConnectLogsItsStepsAndListsTheRemoteDirectory) {
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_EQ(Observer.Log, QStringList({"Attempting to connect to FTP Site", "Resolving Name",
                                         "Name Resolved", "Connecting to Server", "Connected to Server",
                                         "Refreshing Directory", "Finding Files", "No More Files"}));
    EXPECT_TRUE(Session.Connected());
    EXPECT_EQ(Session.BusyCount(), 0);
    EXPECT_TRUE(Observer.LocalEnabled && Observer.RemoteEnabled);
    EXPECT_EQ(Observer.Status, QStringLiteral("Ready"));
    EXPECT_EQ(Observer.Directory, QStringLiteral("/"));
    EXPECT_EQ(Observer.Names(), QStringList({"a.txt", "sub/"}));
    const FtpEntry& file = Observer.Entries[Observer.Entries[0].Name == "a.txt" ? 0 : 1];
    EXPECT_EQ(file.Size, 5);
    EXPECT_LT(qAbs(file.Modified.secsTo(QDateTime::currentDateTimeUtc())), 120);
    EXPECT_TRUE(Prompter->Log.empty());

    Session.ConnectToSite(Site());
    EXPECT_EQ(Prompter->Texts("information"), QStringList{"Please disconnect from the current FTP site."});

    Session.Disconnect();
    EXPECT_FALSE(Session.Connected());
    EXPECT_TRUE(Observer.Entries.isEmpty());
    EXPECT_TRUE(Observer.LocalEnabled);
    EXPECT_FALSE(Observer.RemoteEnabled);
    EXPECT_EQ(Session.BusyCount(), 0);
    QTRY_COMPARE(LogFrom("Closing Connection"),
                 QStringList({"Closing Connection", "Connection Closed", "Handle Closing"}));
    Session.Disconnect();
    EXPECT_EQ(Prompter->Texts("information").last(),
              QStringLiteral("You are not currently connected to a FTP site."));
    EXPECT_FALSE(Session.RefreshRemoteList());
}

TEST_F(FtpSessionTest, ConnectGoesToTheSitesLocalAndRemotePaths) {
    test::TempFolder elsewhere;
    FtpSiteDetails site = Site(QStringLiteral("sub"));
    site.LocalPath = elsewhere.Root();
    ASSERT_TRUE(Session.ConnectToSite(site));
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(elsewhere.Root()).canonicalPath());
    EXPECT_EQ(Observer.LocalChanges, 1);
    EXPECT_EQ(Session.RemoteDirectory(), QStringLiteral("/sub"));
    EXPECT_EQ(Observer.Names(), QStringList{"inner.htm"});
}

struct FailedConnectCase {
    const char* name;
    QString host;  // "%1" is the test server's port
    QString password;
    QString logged;
};

class FailedConnectTest : public FtpSessionTest, public ::testing::WithParamInterface<FailedConnectCase> {};

TEST_P(FailedConnectTest, LogsThePlatformReasonThenTellsTheUser) {
    const FailedConnectCase& c = GetParam();
    QString host = c.host;
    if (host.contains(QLatin1String("%closed"))) {
        QTcpServer probe;  // a port that was free a moment ago and has nobody listening now
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        host.replace(QLatin1String("%closed"), QString::number(probe.serverPort()));
    }
    host.replace(QLatin1String("%port"), Server.HostName().section(':', 1));
    EXPECT_FALSE(Session.ConnectToSite({host, test::TestFtpServer::User(), c.password, {}, {}}));
    EXPECT_TRUE(Observer.Log.contains(c.logged)) << Observer.Log.join(" | ").toStdString();
    EXPECT_EQ(Prompter->Texts(), QStringList{"Unable to connect to FTP site. Please check your settings."});
    EXPECT_FALSE(Session.Connected());
    EXPECT_TRUE(Observer.LocalEnabled);
    EXPECT_FALSE(Observer.RemoteEnabled);
    EXPECT_EQ(Session.BusyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, FailedConnectTest,
    ::testing::Values(FailedConnectCase{"BadPassword", "127.0.0.1:%port", "wrong", "ERROR! Login Failure"},
                      FailedConnectCase{"NobodyListening", "127.0.0.1:%closed", "secret",
                                        "ERROR! Cannot Connect"},
                      FailedConnectCase{"NotAPort", "127.0.0.1:ftp", "secret", "ERROR! Invalid URL"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FtpSessionTest, AnonymousLoginToAnEmptyDirectoryListsNothing) {
    QFile::remove(Server.Path(QStringLiteral("a.txt")));
    QDir(Server.Path(QStringLiteral("sub"))).removeRecursively();
    ASSERT_TRUE(Session.ConnectToSite({Server.HostName(), QString(), QString(), QString(), QString()}));
    EXPECT_EQ(Observer.ListChanges, 1);
    EXPECT_TRUE(Observer.Entries.isEmpty());
    EXPECT_EQ(Observer.Log.last(), QStringLiteral("No More Files"));
}

TEST_F(FtpSessionTest, UploadThenDownloadGivesIdenticalBytes) {
    ASSERT_TRUE(ConnectAsUser());
    const QByteArray bytes = SomeBytes(700 * 1024);
    Local.Write(QStringLiteral("données é.bin"), bytes);

    ASSERT_TRUE(Session.UploadFile(QStringLiteral("données é.bin"), bytes.size()));
    EXPECT_EQ(Server.Read(QStringLiteral("données é.bin")), bytes);
    EXPECT_EQ(Observer.Captions.last(), QStringLiteral("Uploading \"données é.bin\""));
    EXPECT_EQ(Observer.Progress, bytes.size());
    EXPECT_FALSE(Observer.TransferShown);

    QFile::remove(Local.Path(QStringLiteral("données é.bin")));
    ASSERT_TRUE(Session.DownloadFile(QStringLiteral("données é.bin"), bytes.size()));
    EXPECT_EQ(Local.Read(QStringLiteral("données é.bin")), bytes);
    EXPECT_EQ(Observer.Captions.last(), QStringLiteral("Downloading \"données é.bin\""));
    EXPECT_EQ(Observer.Maximum, bytes.size());
    EXPECT_EQ(Observer.Progress, bytes.size());
    EXPECT_EQ(Session.BusyCount(), 0);
    EXPECT_GE(Session.BytesReceived(), bytes.size());
    EXPECT_GE(Session.BytesSent(), bytes.size());
}

TEST_F(FtpSessionTest, AFailedDownloadLogsTheServerReplyAndWritesNothing) {
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_FALSE(Session.DownloadFile(QStringLiteral("missing.txt"), 10));
    EXPECT_TRUE(Observer.Log.last().startsWith(QLatin1String("550 "))) << Observer.Log.last().toStdString();
    EXPECT_FALSE(QFile::exists(Local.Path(QStringLiteral("missing.txt"))));
    // An empty remote file still makes an empty local one.
    Server.Write(QStringLiteral("empty.txt"), QByteArray());
    EXPECT_TRUE(Session.DownloadFile(QStringLiteral("empty.txt"), 0));
    EXPECT_TRUE(QFile::exists(Local.Path(QStringLiteral("empty.txt"))));
}

TEST_F(FtpSessionTest, RemoteFileOperationsChangeTheServerAndLogTheirTexts) {
    ASSERT_TRUE(ConnectAsUser());
    const int refreshes = Observer.ListChanges;

    EXPECT_TRUE(Session.MakeDirectory(QStringLiteral("new dir")));
    EXPECT_TRUE(QFileInfo(Server.Path(QStringLiteral("new dir"))).isDir());
    EXPECT_TRUE(Observer.Names().contains(QStringLiteral("new dir/")));
    EXPECT_EQ(Observer.ListChanges, refreshes + 1);

    EXPECT_TRUE(Session.RenameEntry(QStringLiteral("a.txt"), QStringLiteral("new dir/b.txt")));
    EXPECT_EQ(Server.Read(QStringLiteral("new dir/b.txt")), QByteArray("hello"));
    EXPECT_TRUE(Session.DeleteFile(QStringLiteral("new dir/b.txt")));
    EXPECT_FALSE(QFile::exists(Server.Path(QStringLiteral("new dir/b.txt"))));
    EXPECT_TRUE(Session.RemoveDirectory(QStringLiteral("new dir")));
    EXPECT_FALSE(QFileInfo::exists(Server.Path(QStringLiteral("new dir"))));
    EXPECT_EQ(Observer.ListChanges, refreshes + 1);  // the caller refreshes after these

    // Refusals give the server's reply and no refresh.
    EXPECT_FALSE(Session.MakeDirectory(QStringLiteral("sub")));
    EXPECT_FALSE(Session.RenameEntry(QStringLiteral("nothing"), QStringLiteral("x")));
    EXPECT_FALSE(Session.DeleteFile(QStringLiteral("nothing")));
    EXPECT_EQ(Observer.ListChanges, refreshes + 1);

    QStringList expected = {"Creating Directory \"new dir\"",   "Renaming \"a.txt\" to \"new dir/b.txt\"",
                            "Deleteing File \"new dir/b.txt\"", "Removing Directory \"new dir\"",
                            "Creating Directory \"sub\"",       "Renaming \"nothing\" to \"x\"",
                            "Deleteing File \"nothing\""};
    QStringList operations;
    QStringList replies;
    for (int i = 0; i < Observer.Log.size(); ++i) {
        if (expected.contains(Observer.Log[i])) operations << Observer.Log[i];
        if (Observer.Log[i].startsWith(QLatin1String("550 "))) replies << Observer.Log[i];
    }
    EXPECT_EQ(operations, expected);
    EXPECT_EQ(replies.size(), 3) << Observer.Log.join(" | ").toStdString();
    EXPECT_TRUE(Session.Connected());  // a refused command keeps the connection
}

TEST_F(FtpSessionTest, ChangingDirectoryFollowsTheServerAndKeepsTheListOnFailure) {
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_TRUE(Session.ChangeDirectory(QStringLiteral("sub")));
    EXPECT_EQ(Observer.Directory, QStringLiteral("/sub"));
    EXPECT_EQ(Observer.Names(), QStringList{"inner.htm"});
    EXPECT_TRUE(Observer.Log.contains(QStringLiteral("Changing to directory \"sub\"")));

    const int refreshes = Observer.ListChanges;
    EXPECT_FALSE(Session.ChangeDirectory(QStringLiteral("/missing"), FtpSession::RefreshAfter::OnSuccess));
    EXPECT_TRUE(Observer.Log.last().startsWith(QLatin1String("550 "))) << Observer.Log.last().toStdString();
    EXPECT_EQ(Observer.ListChanges, refreshes);
    EXPECT_EQ(Session.RemoteDirectory(), QStringLiteral("/sub"));

    EXPECT_FALSE(Session.ChangeDirectory(QStringLiteral("missing"), FtpSession::RefreshAfter::Always));
    EXPECT_EQ(Observer.ListChanges, refreshes + 1);
    EXPECT_EQ(Observer.Names(), QStringList{"inner.htm"});

    EXPECT_TRUE(Session.ChangeToParent());
    EXPECT_TRUE(Observer.Log.contains(QStringLiteral("Changing to parent directory")));
    EXPECT_EQ(Observer.Directory, QStringLiteral("/"));
    EXPECT_EQ(Observer.Names(), QStringList({"a.txt", "sub/"}));
}

TEST_F(FtpSessionTest, ANameWithALineBreakIsNeverSent) {
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_FALSE(Session.MakeDirectory(QStringLiteral("x\r\nDELE a.txt")));
    EXPECT_EQ(Observer.Log.last(),
              QStringLiteral("The name holds a line break and cannot be sent to the server."));
    EXPECT_EQ(Server.Read(QStringLiteral("a.txt")), QByteArray("hello"));
    EXPECT_FALSE(QFileInfo::exists(Server.Path(QStringLiteral("x"))));
    EXPECT_EQ(Session.BusyCount(), 0);
}

TEST_F(FtpSessionTest, ByteCountersKeepGrowingAcrossConnections) {
    ASSERT_TRUE(ConnectAsUser());
    const qint64 sent = Session.BytesSent();
    const qint64 received = Session.BytesReceived();
    EXPECT_GT(sent, 0);
    EXPECT_GT(received, 0);
    EXPECT_EQ(Observer.ReceivedPanel, QStringLiteral("Received: ") + FormatKilobytes(received));
    Session.Disconnect();
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_GT(Session.BytesSent(), sent);
    EXPECT_GT(Session.BytesReceived(), received);
    EXPECT_EQ(Observer.SentPanel, QStringLiteral("Sent: ") + FormatKilobytes(Session.BytesSent()));
}

// The server sends slowly, so the transfer is still running when Terminate comes.
class ThrottledFtpSessionTest : public FtpSessionTest {
protected:
    ThrottledFtpSessionTest() : FtpSessionTest({QStringLiteral("--throttle"), QStringLiteral("262144")}) {}
};

TEST_F(ThrottledFtpSessionTest, TerminateStopsADownloadAndLeavesThePartialFile) {
    const QByteArray bytes = SomeBytes(4 * 1024 * 1024);
    Server.Write(QStringLiteral("large.bin"), bytes);
    ASSERT_TRUE(ConnectAsUser());
    Observer.OnProgress = [this] { Session.Terminate(); };

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(Session.DownloadFile(QStringLiteral("large.bin"), bytes.size()));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(Observer.Log.last(), QStringLiteral("ERROR! Operation Cancelled"));
    const QByteArray partial = Local.Read(QStringLiteral("large.bin"));
    EXPECT_GT(partial.size(), 0);
    EXPECT_LT(partial.size(), bytes.size());
    EXPECT_EQ(partial, bytes.left(partial.size()));
    EXPECT_FALSE(Observer.TransferShown);

    // The session goes on working afterwards.
    Observer.OnProgress = nullptr;
    EXPECT_TRUE(Session.RefreshRemoteList());
    EXPECT_TRUE(Session.Connected());
}

TEST_F(ThrottledFtpSessionTest, DisconnectDuringADownloadStopsItAndLeavesTheRemoteSideOff) {
    const QByteArray bytes = SomeBytes(4 * 1024 * 1024);
    Server.Write(QStringLiteral("large.bin"), bytes);
    ASSERT_TRUE(ConnectAsUser());
    Observer.OnProgress = [this] {
        Observer.OnProgress = nullptr;
        Session.Disconnect();
    };
    EXPECT_FALSE(Session.DownloadFile(QStringLiteral("large.bin"), bytes.size()));
    EXPECT_TRUE(Observer.Log.contains(QStringLiteral("ERROR! Operation Cancelled")));
    EXPECT_FALSE(Session.Connected());
    EXPECT_EQ(Session.BusyCount(), 0);
    EXPECT_TRUE(Observer.LocalEnabled);
    EXPECT_FALSE(Observer.RemoteEnabled);
    EXPECT_TRUE(Observer.Entries.isEmpty());

    // A new connection starts cleanly.
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_TRUE(Observer.RemoteEnabled);
    EXPECT_TRUE(Observer.Names().contains(QStringLiteral("large.bin")));
}

TEST_F(ThrottledFtpSessionTest, AWorkerThreadStoppedMidDownloadEndsAtOnceAndLeavesNoFile) {
    const QByteArray bytes = SomeBytes(4 * 1024 * 1024);
    Server.Write(QStringLiteral("large.bin"), bytes);
    const QString local = Local.Path(QStringLiteral("large.bin"));
    // What a session does when it goes in the middle of a download.
    auto thread = std::make_unique<TransferThread>(QStringLiteral("FtpWorker"));
    FtpWorker* const worker = thread->Start(std::make_unique<FtpWorker>());
    qint64 transferred = 0;
    QObject::connect(
        worker, &FtpWorker::BytesMoved, thread.get(),
        [&transferred](int, qint64, qint64, qint64 bytes) { transferred += bytes; }, Qt::QueuedConnection);
    FtpRequest request;
    request.kind = FtpRequestKind::Download;
    request.context = ContextDownload;
    request.url = QStringLiteral("ftp://") + Server.HostName() + QStringLiteral("/large.bin");
    request.user = test::TestFtpServer::User();
    request.password = test::TestFtpServer::Password();
    request.localFile = local;
    thread->Post([worker, request] { worker->Run(request); });
    QTRY_VERIFY_WITH_TIMEOUT(transferred > 0 && QFile::exists(local), 10000);

    QElapsedTimer timer;
    timer.start();
    thread.reset();
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_FALSE(QFile::exists(local));
}

class HostileFtpSessionTest : public FtpSessionTest, public ::testing::WithParamInterface<bool> {
protected:
    HostileFtpSessionTest()
        : FtpSessionTest(GetParam() ? QStringList{"--hostile"} : QStringList{"--hostile", "--no-mlsd"}) {}
};

TEST_P(HostileFtpSessionTest, AListedNameCannotMakeADownloadWriteOutsideTheFolder) {
    test::TempFolder outer;
    const QString inner = outer.Path(QStringLiteral("inner"));
    QDir().mkpath(inner);
    QDir::setCurrent(inner);
    ASSERT_TRUE(ConnectAsUser());
    EXPECT_EQ(Observer.Names(), QStringList({"../evil", "a.txt", "sub/"}));

    EXPECT_FALSE(Session.DownloadFile(QStringLiteral("../evil"), 5));
    EXPECT_EQ(Observer.Log.last(),
              QStringLiteral("Download of \"../evil\" refused: the name leads outside the current folder."));
    EXPECT_TRUE(Observer.Captions.isEmpty());
    EXPECT_EQ(QDir(outer.Root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"inner"});
    EXPECT_TRUE(QDir(inner).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ListingForms, HostileFtpSessionTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Mlsd" : "List"; });

}  // namespace
}  // namespace plovane
