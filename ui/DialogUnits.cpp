#include "ui/DialogUnits.h"

#include <cstdint>
#include <limits>

namespace velmora {

int MulDiv(int a, int b, int c)
{
    if (c == 0) {
        return -1;
    }
    std::int64_t numerator = static_cast<std::int64_t>(a) * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        numerator = -numerator;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result =
        numerator >= 0 ? (numerator + half) / divisor : (numerator - half) / divisor;
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(result);
}

DialogBaseUnits BaseUnitsFromMetrics(int alphabetExtent, int characterHeight)
{
    // extent / 52 to the nearest, as (extent / 26 + 1) / 2.
    return DialogBaseUnits{(alphabetExtent / 26 + 1) / 2, characterHeight};
}

int HorizontalUnitsToPixels(int units, DialogBaseUnits base)
{
    return MulDiv(units, base.averageWidth, 4);
}

int VerticalUnitsToPixels(int units, DialogBaseUnits base)
{
    return MulDiv(units, base.height, 8);
}

PixelRect MapDialogRect(DialogRect rect, DialogBaseUnits base)
{
    return PixelRect{
        HorizontalUnitsToPixels(rect.x, base),
        VerticalUnitsToPixels(rect.y, base),
        HorizontalUnitsToPixels(rect.width, base),
        VerticalUnitsToPixels(rect.height, base),
    };
}

} // namespace velmora
