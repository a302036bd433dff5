// The browser control: navigation with its events, scripts off unless asked, complete-page save.
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "EngineFixture.h"
#include "engine/EmbeddedWB.h"
#include "engine/EngineBridge.h"
#include "support/TestPlaces.h"

namespace plovane::test {

namespace {

bool Navigated(TEmbeddedWB& browser, const QString& address) {
    QSignalSpy complete(&browser, &TEmbeddedWB::DocumentComplete);
    browser.Navigate(address);
    return complete.wait(10000) && !browser.Busy();
}

}  // namespace

class EmbeddedWBTest : public ::testing::Test {
protected:
    TempFolder Folder;
    TEmbeddedWB Browser;
    QString Page;

    void SetUp() override {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(Folder.Path("red.png"));
        Page = Folder.Write("page.htm",
                            "<html><head><title>Shown</title><script>document.title = 'ran'</script></head>"
                            "<body><p id=target>hello</p><img src=red.png></body></html>");
    }
};

TEST_F(EmbeddedWBTest, FrameDocumentsCompleteBeforeThePageItself) {
    Folder.Write("inner.htm", "<html><body>inner</body></html>");
    const QString outer =
        Folder.Write("outer.htm", "<html><body><iframe src=inner.htm></iframe></body></html>");
    QSignalSpy complete(&Browser, &TEmbeddedWB::DocumentComplete);
    Browser.Navigate(outer);
    ASSERT_TRUE(complete.wait(10000));
    QTRY_COMPARE(complete.count(), 2);
    EXPECT_TRUE(complete.at(0).at(0).toString().endsWith("inner.htm"));
    EXPECT_FALSE(complete.at(0).at(1).toBool());
    EXPECT_TRUE(complete.at(1).at(0).toString().endsWith("outer.htm"));
    EXPECT_TRUE(complete.at(1).at(1).toBool());
    EXPECT_FALSE(Browser.Busy());
}

TEST_F(EmbeddedWBTest, NavigatesWithEventsAndNoScripts) {
    QSignalSpy begin(&Browser, &TEmbeddedWB::DownloadBegin);
    QSignalSpy progress(&Browser, &TEmbeddedWB::ProgressChange);
    QSignalSpy complete(&Browser, &TEmbeddedWB::DocumentComplete);
    Browser.Navigate(Page);
    EXPECT_TRUE(Browser.Busy());
    ASSERT_TRUE(complete.wait(10000));
    EXPECT_GE(begin.count(), 1);
    EXPECT_GE(progress.count(), 1);
    EXPECT_TRUE(complete.first().at(1).toBool()) << "the page itself is the top level";
    EXPECT_TRUE(Browser.LocationURL().endsWith("page.htm"));
    const DomRef document = Browser.Document();
    EXPECT_EQ(document.Text("title"), "Shown");
    const DomRef target = document.Call("getElementById", {"target"}).ToRef();
    EXPECT_EQ(target.Text("innerText"), "hello");
    target.Call("scrollIntoView");
}

TEST_F(EmbeddedWBTest, ScriptsRunOnlyWhenTurnedOn) {
    Browser.SetScriptsEnabled(true);
    ASSERT_TRUE(Navigated(Browser, Page));
    EXPECT_EQ(Browser.Document().Text("title"), "ran");
}

TEST_F(EmbeddedWBTest, SaveAsWritesThePageWithItsPictures) {
    ASSERT_TRUE(Navigated(Browser, Page));
    const QString target = Folder.Path("saved/copy.htm");
    QDir().mkpath(Folder.Path("saved"));
    EXPECT_TRUE(Browser.SaveAs(target));
    const QByteArray saved = Folder.Read("saved/copy.htm");
    EXPECT_TRUE(saved.contains("hello"));
    EXPECT_TRUE(QDir(Folder.Path("saved/copy_files")).entryList(QDir::Files).contains("red.png"));
}

}  // namespace plovane::test
