#include "ui/CaptionFit.h"

#include <algorithm>

namespace velmora {

int CaptionStretch(int room, const std::function<int(int percent)>& extentAt)
{
    const int extent = extentAt(100);
    if (extent <= room)
        return 100;
    // Widths scale about with the stretch; hinting moves them a pixel or so either way, so
    // the search starts a few steps above the estimate and goes down.
    const int estimate = room > 0 ? static_cast<int>(100LL * room / extent) : 0;
    for (int percent = std::min(99, estimate + 3); percent >= MinCaptionStretch; --percent) {
        if (extentAt(percent) <= room)
            return percent;
    }
    return MinCaptionStretch;
}

} // namespace velmora
