#include <gtest/gtest.h>

#include "platform/SharedDialogs.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// The colours as text, "-" for an empty one: "ff0000 - - ...".
std::string SlotText(const CustomColorSlots& colours) {
    QStringList out;
    for (const auto& slot : colours) out << (slot ? slot->name().mid(1) : QStringLiteral("-"));
    return out.join(' ').toStdString();
}

std::string Filled(std::initializer_list<const char*> first) {
    QStringList out;
    for (const char* colour : first) out << colour;
    while (out.size() < 16) out << "-";
    return out.join(' ').toStdString();
}

struct ParseCase {
    const char* what;
    const char* text;
    std::string colours;
};

class ParseCustomColorsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCustomColorsTest, FillsTheNamedSlots) {
    EXPECT_EQ(SlotText(ParseCustomColors(GetParam().text)), GetParam().colours) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCustomColorsTest,
    ::testing::Values(
        ParseCase{"blue is the highest byte", "ColorA=FF0000\nColorB=00FF00\nColorC=0000ff\nColorD=123456",
                  Filled({"0000ff", "00ff00", "ff0000", "563412"})},
        ParseCase{"fewer lines leave the other colours empty", "ColorA=000080\r\n", Filled({"800000"})},
        ParseCase{"the letter names the slot", "ColorC=FFFFFF\ncolorb = 000000 \nColorP=808080",
                  "- 000000 ffffff - - - - - - - - - - - - 808080"},
        ParseCase{"bad lines leave their slot empty",
                  "ColorA=xyz123\nColorB=1234567\nColorC=\nColorD=-1\nColorE=0x12\nColorF=+12\nColorG",
                  Filled({})},
        ParseCase{"lines that name no slot are passed over",
                  "ColorQ=FFFFFF\nColor=FFFFFF\nColorAA=FFFFFF\nText=FFFFFF\n\n[Colors]\nColorB=0000FF",
                  Filled({"-", "ff0000"})},
        ParseCase{"short values are numbers", "ColorA=ff\nColorB=1", Filled({"ff0000", "010000"})},
        ParseCase{"the first line of a slot counts", "ColorA=FF0000\nColorA=00FF00", Filled({"0000ff"})},
        ParseCase{"an empty file", "", Filled({})}));

TEST(CustomColorsTest, AFileThatCannotBeReadGivesTheSixteenDefaults) {
    test::TempFolder folder;
    EXPECT_EQ(SlotText(ReadCustomColors(folder.Path("CustomColors.txt"))),
              "000000 808080 800000 008000 808000 000080 800080 008080 ffffff c0c0c0 ff0000 00ff00 ffff00 "
              "0000ff ff00ff 00ffff");
    EXPECT_EQ(SlotText(ReadCustomColors(folder.Write("CustomColors.txt", "ColorB=FF0000\n"))),
              Filled({"-", "0000ff"}));
}

}  // namespace
}  // namespace plovane
