#include <gtest/gtest.h>

#include "page/MarginRuler.h"

namespace plovane {
namespace {

struct LayoutCase {
    const char* what;
    int width;
    qint64 left;
    qint64 right;
    RulerSpan leftPanel;
    RulerSpan centre;
    RulerSpan rightPanel;
};

class LayOutMarginsTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayOutMarginsTest, GivesThreeAdjoiningPanels) {
    const LayoutCase& c = GetParam();
    const MarginLayout layout = LayOutMargins(c.width, 7, c.left, c.right);
    EXPECT_EQ(layout.Left, c.leftPanel) << c.what;
    EXPECT_EQ(layout.Centre, c.centre) << c.what;
    EXPECT_EQ(layout.Right, c.rightPanel) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Margins, LayOutMarginsTest,
    ::testing::Values(
        LayoutCase{"no margins", 600, 0, 0, {0, 0}, {0, 600}, {600, 600}},
        LayoutCase{"both margins", 600, 40, 60, {0, 40}, {40, 540}, {540, 600}},
        LayoutCase{"negative margins count as 0", 600, -10, -5, {0, 0}, {0, 600}, {600, 600}},
        LayoutCase{"a body with a left margin wider than the window leaves three grip widths for the "
                   "centre panel",
                   300,
                   1000,
                   0,
                   {0, 279},
                   {279, 300},
                   {300, 300}},
        LayoutCase{"the right margin gets what the left one leaves",
                   300,
                   250,
                   100,
                   {0, 250},
                   {250, 271},
                   {271, 300}},
        LayoutCase{"a right margin wider than the window", 300, 0, 5000, {0, 0}, {0, 21}, {21, 300}},
        LayoutCase{"margins beyond the integer range",
                   300,
                   10'000'000'000,
                   10'000'000'000,
                   {0, 279},
                   {279, 300},
                   {300, 300}},
        LayoutCase{"a strip narrower than three grips is all centre", 10, 5, 5, {0, 0}, {0, 10}, {10, 10}},
        LayoutCase{"an empty strip", 0, 20, 20, {0, 0}, {0, 0}, {0, 0}}));

}  // namespace
}  // namespace plovane
