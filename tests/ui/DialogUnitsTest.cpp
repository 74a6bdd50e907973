#include <gtest/gtest.h>

#include <climits>

#include "ui/DialogUnits.h"

namespace velmora {
namespace {

TEST(DialogUnitsTest, MulDivRoundsToNearestWithHalvesAwayFromZero)
{
    const int rows[][4] = {
        {122, 7, 4, 214},    // 213.5
        {9, 13, 8, 15},      // 14.625
        {13, 13, 8, 21},     // 21.125
        {-5, 1, 2, -3},      // -2.5 away from zero
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {1, 1, 0, -1},       // no divisor
        {INT_MAX, 2, 1, -1}, // does not fit
        {INT_MAX, 2, 2, INT_MAX},
        {INT_MIN, 1, 1, -1},
        {46341, 46341, 46341, 46341},  // the product needs more than 32 bits
    };
    for (const auto& [a, b, c, expected] : rows)
        EXPECT_EQ(MulDiv(a, b, c), expected) << a << " * " << b << " / " << c;
}

TEST(DialogUnitsTest, BaseUnitsAndTheirConversions)
{
    EXPECT_EQ(BaseUnitsFromMetrics(369, 13), (DialogBaseUnits{7, 13}));  // 7.10
    EXPECT_EQ(BaseUnitsFromMetrics(337, 12), (DialogBaseUnits{6, 12}));  // 6.48
    EXPECT_EQ(BaseUnitsFromMetrics(338, 12), (DialogBaseUnits{7, 12}));  // 6.5 rounds up
    const DialogBaseUnits base{7, 13};
    EXPECT_EQ(HorizontalUnitsToPixels(399, base), 698);  // 698.25
    EXPECT_EQ(VerticalUnitsToPixels(353, base), 574);    // 573.625
    // The width is converted itself, not taken as right minus left: 2 units from x = 1
    // are 4 pixels (3.5 rounded), although the edges 1.75 and 5.25 round to 2 and 5.
    EXPECT_EQ(MapDialogRect(DialogRect{1, 24, 2, 322}, base), (PixelRect{2, 39, 4, 523}));
}

} // namespace
} // namespace velmora
