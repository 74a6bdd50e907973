#include <gtest/gtest.h>

#include "ui/DialogUnits.h"

namespace velmora {
namespace {

// Dialog units to pixels as controls are placed: each of left, top, width and height on
// its own, rounded to the nearest with halves up.
TEST(DialogUnitsTest, BaseUnitsAndTheirConversions)
{
    EXPECT_EQ(BaseUnitsFromMetrics(369, 13), (DialogBaseUnits{7, 13}));  // 7.10
    EXPECT_EQ(BaseUnitsFromMetrics(337, 12), (DialogBaseUnits{6, 12}));  // 6.48
    EXPECT_EQ(BaseUnitsFromMetrics(338, 12), (DialogBaseUnits{7, 12}));  // 6.5 rounds up
    const DialogBaseUnits base{7, 13};
    EXPECT_EQ(HorizontalUnitsToPixels(399, base), 698);  // 698.25
    EXPECT_EQ(VerticalUnitsToPixels(353, base), 574);    // 573.625
    EXPECT_EQ(VerticalUnitsToPixels(9, base), 15);       // 14.625
    EXPECT_EQ(VerticalUnitsToPixels(13, base), 21);      // 21.125
    // The width is converted itself, not taken as right minus left: 2 units from x = 1
    // are 4 pixels (3.5 rounded), although the edges 1.75 and 5.25 round to 2 and 5.
    EXPECT_EQ(MapDialogRect(DialogRect{1, 24, 2, 322}, base), (PixelRect{2, 39, 4, 523}));
}

} // namespace
} // namespace velmora
