#include <gtest/gtest.h>

#include "platform/QelConsole.h"
#include "shell/UnitSplash.h"
#include "support/ScopedState.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

const QString kPicture = test::BuiltProgramFolder() + "/Setup.bmp";

TEST(SplashTest, FadesInOverTenStepsAndHides) {
    const test::ScopedCommandLine line(CommandLine({"plovane"}));
    TFormSplash splash;
    ASSERT_TRUE(splash.ShowSplash(kPicture));
    EXPECT_EQ(splash.size(), QSize(420, 240));
    EXPECT_DOUBLE_EQ(splash.windowOpacity(), 0.0);
    splash.TimerTick();
    EXPECT_NEAR(splash.windowOpacity(), 60 / 255.0, 0.01);
    for (int i = 0; i < 3; ++i) splash.TimerTick();
    EXPECT_NEAR(splash.windowOpacity(), 240 / 255.0, 0.01);
    splash.TimerTick();
    EXPECT_DOUBLE_EQ(splash.windowOpacity(), 1.0);  // 300 is capped at 255
    for (int i = 0; i < 4; ++i) splash.TimerTick();
    EXPECT_TRUE(splash.isVisible());
    splash.TimerTick();
    EXPECT_FALSE(splash.isVisible());
}

TEST(SplashTest, NoSplashSwitchAndUnreadablePictureShowNothing) {
    test::ScopedCommandLine line(CommandLine({"plovane"}));
    TFormSplash splash;
    for (const char* word : {"-NoSplash", "/nosplash"}) {
        line.Set(CommandLine({"plovane", "page.htm", word}));
        EXPECT_FALSE(splash.ShowSplash(kPicture)) << word;
    }
    line.Set(CommandLine({"plovane"}));
    test::TempFolder folder;
    EXPECT_FALSE(splash.ShowSplash(folder.Write("Setup.bmp", "BM not really a bitmap")));
    EXPECT_FALSE(splash.ShowSplash(folder.Path("missing.bmp")));
    EXPECT_FALSE(splash.isVisible());
}

}  // namespace
}  // namespace plovane
