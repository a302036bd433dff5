#include <gtest/gtest.h>

#include <QSignalSpy>
#include <future>

#include "platform/SingleInstance.h"

namespace plovane {
namespace {

TEST(SingleInstanceTest, ASecondStartHandsItsCommandLineOverAndIsAnswered) {
    const QString frameClass = "TFormSingleInstanceTest";
    EXPECT_FALSE(HandOffToRunningInstance(frameClass, "nobody listens", 200));

    TInstanceListener listener(frameClass);
    ASSERT_TRUE(listener.IsListening());
    QSignalSpy received(&listener, &TInstanceListener::CommandLineReceived);
    // The sender blocks like a second process would, so it runs on its own thread.
    auto answered = std::async(std::launch::async, [&] {
        return HandOffToRunningInstance(frameClass, "/usr/bin/plovane \"my page.htm\"");
    });
    ASSERT_TRUE(received.wait(5000));
    EXPECT_TRUE(answered.get());
    EXPECT_EQ(received.first().first().toString(), "/usr/bin/plovane \"my page.htm\"");
}

}  // namespace
}  // namespace plovane
