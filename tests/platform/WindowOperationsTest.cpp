#include <gtest/gtest.h>

#include <QLabel>

#include "platform/ShellOperations.h"
#include "platform/WindowOperations.h"

namespace plovane {
namespace {

TEST(SetActiveTabTest, RunsTheChangingStepWhichMayRefuse) {
    TPageControl tabs;
    tabs.addTab(new QLabel("design"), "Editor");
    tabs.addTab(new QLabel("source"), "Source");
    bool allow = false;
    QStringList steps;
    tabs.OnChanging = [&] {
        steps << "changing";
        return allow;
    };
    tabs.OnChange = [&] { steps << "change"; };

    EXPECT_FALSE(SetActiveTab(&tabs, 1));
    EXPECT_EQ(tabs.currentIndex(), 0);
    allow = true;
    EXPECT_TRUE(SetActiveTab(&tabs, 1));
    EXPECT_FALSE(SetActiveTab(&tabs, 1));  // already active: nothing runs
    EXPECT_EQ(steps, (QStringList{"changing", "changing", "change"}));
}

TEST(PIDLHistoryTest, AddingDropsTheForwardEntries) {
    TPIDLHistory history;
    EXPECT_FALSE(history.CanGoBack());
    history.Add("/a");
    EXPECT_EQ(history.CurrentIndex(), 0);
    history.Add("/b");
    history.Add("/c");
    EXPECT_EQ(history.GoBack(2), "/a");
    EXPECT_FALSE(history.GoBack().has_value());
    EXPECT_TRUE(history.CanGoForward(2));
    history.Add("/d");  // "/b" and "/c" go
    EXPECT_EQ(history.Folders(), (QStringList{"/a", "/d"}));
    EXPECT_FALSE(history.CanGoForward());
}

TEST(ShellOperationsTest, QuoteArgumentsDoublesInnerQuotes) {
    EXPECT_EQ(QuoteArguments({"a b", "say \"hi\"", ""}), "\"a b\" \"say \"\"hi\"\"\" \"\"");
}

TEST(ShellOperationsTest, VerbsReachTheLauncherWithTheFilesFolder) {
    std::vector<ShellRequest> seen;
    SetShellLauncher([&](const ShellRequest& r) {
        seen.push_back(r);
        return r.verb != "open";
    });
    EXPECT_TRUE(OpenWith("/tmp/site/page.htm"));  // open fails, so the chooser runs
    EXPECT_TRUE(ShellEdit("/tmp/site/page.htm"));
    SetShellLauncher(nullptr);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].verb, "open");
    EXPECT_EQ(seen[1].verb, "openwith");
    EXPECT_EQ(seen[2].verb, "edit");
    EXPECT_EQ(seen[2].folder, "/tmp/site");
}

struct PlacementCase {
    const char* what;
    QRect stored;
    QList<QRect> screens;
    QRect placed;
};

class PlaceOnScreensTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceOnScreensTest, ComesBackFullyVisible) {
    EXPECT_EQ(PlaceOnScreens(GetParam().stored, GetParam().screens), GetParam().placed) << GetParam().what;
}

const QRect Primary(0, 0, 1280, 1024);
const QRect Second(1280, 0, 1920, 1080);  // to the right of the primary
const QRect Panelled(0, 40, 1024, 728);   // a desktop panel takes the top 40 pixels

INSTANTIATE_TEST_SUITE_P(
    Rectangles, PlaceOnScreensTest,
    ::testing::Values(
        PlacementCase{"on the screen: unchanged", {60, 40, 1000, 700}, {Primary}, {60, 40, 1000, 700}},
        PlacementCase{
            "from a second screen that is gone", {1500, 100, 800, 600}, {Primary}, {480, 100, 800, 600}},
        PlacementCase{"on a second screen that is there",
                      {1500, 100, 800, 600},
                      {Primary, Second},
                      {1500, 100, 800, 600}},
        PlacementCase{"across two screens: onto the one it overlaps most",
                      {1000, 100, 800, 600},
                      {Primary, Second},
                      {1280, 100, 800, 600}},
        PlacementCase{"larger than the screen", {-50, -50, 3000, 2000}, {Primary}, {0, 0, 1280, 1024}},
        PlacementCase{"under a panel", {100, 0, 400, 300}, {Panelled}, {100, 40, 400, 300}},
        PlacementCase{"far off on no screen: onto the primary",
                      {-9000, 9000, 500, 400},
                      {Second, Primary},
                      {1280, 680, 500, 400}},
        PlacementCase{"no screens: as stored", {5, 6, 7, 8}, {}, {5, 6, 7, 8}}));

}  // namespace
}  // namespace plovane
