#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "imaging/QelLUT.h"

namespace plovane {
namespace {

// The curves written out one by one, independently of the table builder.
int ExpectedEntry(int mode, int k, int v) {
    const std::function<int(int, int)> curves[22] = {
        [](int, int v) { return v; },
        [](int k, int) { return k; },
        [](int, int v) { return 255 - v; },
        [](int k, int) { return 255 - k; },
        [](int k, int v) { return (k + v) >> 1; },
        [](int k, int v) { return k + v > 255 ? 255 : k + v; },
        [](int k, int v) { return (k + v) % 256; },
        [](int k, int v) { return k + v > 255 ? 255 : k + v; },
        [](int k, int v) { return (v - k + 256) % 256; },
        [](int k, int v) { return v > k ? v - k : 0; },
        [](int k, int v) { return v > k ? v - k : k - v; },
        [](int k, int v) { return int(double(k) * v / 255); },
        [](int k, int v) { return v == 0 ? k : (k / v > 255 ? 255 : k / v); },
        [](int k, int v) { return v < k ? v : k; },
        [](int k, int v) { return v > k ? v : k; },
        [](int k, int v) {
            return v + 2 * k - 256 < 0 ? 0 : (v + 2 * k - 256 > 255 ? 255 : v + 2 * k - 256);
        },
        [](int k, int v) { return 4 * k * v / 255 > 255 ? 255 : 4 * k * v / 255; },
        [](int k, int v) { return v | k; },
        [](int k, int v) { return v & k; },
        [](int k, int v) { return v ^ k; },
        [](int k, int v) { return v + k > 255 ? v + k - 255 : 255 - v - k; },
        [](int k, int v) { return int(std::trunc(255 * std::pow(v / 255.0, 64.0 / (k % 2 ? k : k + 1)))); },
    };
    return curves[mode](k, v);
}

class LookupTableModeTest : public ::testing::TestWithParam<int> {};

TEST_P(LookupTableModeTest, EveryEntryFollowsItsCurve) {
    const int mode = GetParam();
    LookupTable table;
    BuildLookupTable(mode, table);
    int wrong = 0;
    for (int k = 0; k < 256; ++k)
        for (int v = 0; v < 256; ++v)
            if (table.At(k, v) != ExpectedEntry(mode, k, v) && ++wrong <= 3)
                ADD_FAILURE() << "mode " << mode << " [" << k << "][" << v << "] = " << int(table.At(k, v))
                              << ", expected " << ExpectedEntry(mode, k, v);
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, LookupTableModeTest, ::testing::Range(0, 22));

TEST(LookupTableTest, SpotValuesOfTheCurvesTheDialogsUse) {
    LookupTable table;
    BuildLookupTable(12, table);
    EXPECT_EQ(table.At(200, 0), 200);  // divided by 1, not by 0
    EXPECT_EQ(table.At(200, 1), 200);
    EXPECT_EQ(table.At(255, 2), 127);
    BuildLookupTable(LutModeGamma, table);
    EXPECT_EQ(table.At(64, 255), 255);
    EXPECT_EQ(table.At(64, 0), 0);
    EXPECT_EQ(table.At(0, 128), 0);  // row 0 is read as row 1: exponent 64, nearly black
    BuildLookupTable(LutModeBalance, table);
    EXPECT_EQ(table.At(255, 200), 200);
    EXPECT_EQ(table.At(0, 200), 0);
}

TEST(LookupTableTest, AModeOutsideTheRangeLeavesTheTableAsItWas) {
    LookupTable table;
    BuildLookupTable(19, table);
    const LookupTable before = table;
    for (const int mode : {22, 100, -1}) {
        BuildLookupTable(mode, table);
        EXPECT_EQ(table.Entries, before.Entries) << mode;
    }
}

}  // namespace
}  // namespace plovane
