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

}  // namespace
}  // namespace plovane
