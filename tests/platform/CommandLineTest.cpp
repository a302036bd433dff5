#include <gtest/gtest.h>

#include "platform/QelConsole.h"

namespace plovane {
namespace {

struct SplitCase {
    const char* text;
    QStringList items;
};
class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SeparatesAtBlanksAndKeepsQuotedRunsTogether) {
    EXPECT_EQ(SplitCommandLine(QString::fromUtf8(GetParam().text)), GetParam().items) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(Texts, SplitCommandLineTest,
                         ::testing::Values(SplitCase{"plovane", {"plovane"}},
                                           SplitCase{"plovane  a.htm   -n", {"plovane", "a.htm", "-n"}},
                                           SplitCase{"\"/opt/my app/plovane\" \"my page.htm\"",
                                                     {"/opt/my app/plovane", "my page.htm"}},
                                           SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
                                           SplitCase{"p \"\"", {"p", ""}}, SplitCase{"", {}}));

TEST(CommandLineTest, JoinedTextSplitsBackToTheSameItems) {
    const QStringList items = {"/usr/bin/plovane", "my page.htm", "-n", ""};
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(items)), items);
}

struct SwitchCase {
    QStringList items;
    bool hasN;
    bool hasFile;
    QString sizeValue;
    int sizeNumber;
};
class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, LooksAtItemsOneToLastWithoutRegardToCase) {
    const CommandLine line(GetParam().items);
    const auto& c = GetParam();
    EXPECT_EQ(line.HasSwitch("n"), c.hasN) << c.items.join(' ').toStdString();
    EXPECT_EQ(line.HasFileParameter(), c.hasFile) << c.items.join(' ').toStdString();
    if (c.hasFile) {
        EXPECT_EQ(line.FileParameter(), c.items.at(1));
    }
    EXPECT_EQ(line.SwitchValue("Size", "dflt"), c.sizeValue) << c.items.join(' ').toStdString();
    EXPECT_EQ(line.SwitchIntValue("size", -1), c.sizeNumber) << c.items.join(' ').toStdString();
}
INSTANTIATE_TEST_SUITE_P(
    Lines, SwitchTest,
    ::testing::Values(
        SwitchCase{{"-n"}, false, false, "dflt", -1},      // item 0 is never looked at
        SwitchCase{{"p", "-N"}, true, false, "dflt", -1},  // case-insensitive
        SwitchCase{{"p", "page.htm", "-n"}, true, true, "dflt", -1},
        SwitchCase{{"p", "-size", "12"}, false, false, "12", 12},
        SwitchCase{{"p", "-SIZE", "big", "-size", "3"}, false, false, "big", -1},  // the first one counts
        SwitchCase{{"p", "a.htm", "-size"}, false, true, "dflt", -1},  // the last item is no switch name
        SwitchCase{{"p", "n"}, false, true, "dflt", -1}));

TEST(CommandLineTest, SwitchPrefixCanBeSlashForTheCallersThatAcceptIt) {
    const CommandLine line({"p", "/NoSplash"});
    EXPECT_FALSE(line.HasSwitch("NoSplash"));
    EXPECT_TRUE(line.HasSwitch("nosplash", "/"));
}

}  // namespace
}  // namespace plovane
