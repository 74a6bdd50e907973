#include <gtest/gtest.h>

#include <climits>

#include "ui/DialogUnits.h"

namespace velmora {
namespace {

struct MulDivRow {
    int a, b, c, expected;
};

class MulDivTest : public ::testing::TestWithParam<MulDivRow> {};

TEST_P(MulDivTest, RoundsToNearestWithHalvesAwayFromZero)
{
    const MulDivRow& row = GetParam();
    EXPECT_EQ(MulDiv(row.a, row.b, row.c), row.expected) << row.a << " * " << row.b << " / " << row.c;
}

INSTANTIATE_TEST_SUITE_P(Numbers, MulDivTest,
                         ::testing::Values(MulDivRow{122, 7, 4, 214},   // 213.5
                                           MulDivRow{7, 7, 4, 12},      // 12.25
                                           MulDivRow{322, 12, 8, 483},  // exact
                                           MulDivRow{9, 13, 8, 15},     // 14.625
                                           MulDivRow{13, 13, 8, 21},    // 21.125
                                           MulDivRow{5, 1, 2, 3},       // 2.5 up
                                           MulDivRow{-5, 1, 2, -3},     // -2.5 away from zero
                                           MulDivRow{5, -1, 2, -3},
                                           MulDivRow{5, 1, -2, -3},
                                           MulDivRow{-5, -1, -2, -3},
                                           MulDivRow{-5, -1, 2, 3},
                                           MulDivRow{0, 7, 4, 0},
                                           MulDivRow{1, 1, 0, -1},      // no divisor
                                           MulDivRow{INT_MAX, 2, 1, -1}, // does not fit
                                           MulDivRow{INT_MAX, 2, 2, INT_MAX},
                                           MulDivRow{INT_MIN, 1, 1, -1},
                                           MulDivRow{46341, 46341, 46341, 46341})); // product past 32 bits

TEST(DialogBaseUnitsTest, AverageWidthIsTheAlphabetExtentOver52Rounded)
{
    EXPECT_EQ(BaseUnitsFromMetrics(369, 13), (DialogBaseUnits{7, 13}));  // 7.10
    EXPECT_EQ(BaseUnitsFromMetrics(337, 12), (DialogBaseUnits{6, 12}));  // 6.48
    EXPECT_EQ(BaseUnitsFromMetrics(338, 12), (DialogBaseUnits{7, 12}));  // 6.5 rounds up
    EXPECT_EQ(BaseUnitsFromMetrics(312, 16), (DialogBaseUnits{6, 16}));  // exactly 6
    EXPECT_EQ(BaseUnitsFromMetrics(0, 0), (DialogBaseUnits{0, 0}));
}

TEST(DialogBaseUnitsTest, ConvertsEachSideOnItsOwn)
{
    const DialogBaseUnits base{7, 13};
    EXPECT_EQ(HorizontalUnitsToPixels(4, base), 7);
    EXPECT_EQ(VerticalUnitsToPixels(8, base), 13);
    EXPECT_EQ(HorizontalUnitsToPixels(399, base), 698);  // 698.25
    EXPECT_EQ(VerticalUnitsToPixels(353, base), 574);    // 573.625
    EXPECT_EQ(MapDialogRect(DialogRect{7, 24, 122, 322}, base), (PixelRect{12, 39, 214, 523}));
    EXPECT_EQ(MapDialogRect(DialogRect{193, 69, 17, 13}, base), (PixelRect{338, 112, 30, 21}));
    // The width is converted itself, not taken as right minus left: 2 units from x = 1
    // are 4 pixels (3.5 rounded), although the edges 1.75 and 5.25 round to 2 and 5.
    EXPECT_EQ(MapDialogRect(DialogRect{1, 0, 2, 0}, base), (PixelRect{2, 0, 4, 0}));
    EXPECT_EQ(MapDialogRect(DialogRect{0, 0, 0, 0}, base), (PixelRect{0, 0, 0, 0}));
}

} // namespace
} // namespace velmora
