// Finding a line of a list by a part of its text, the same for every backend.
#include "ui/Controls.h"

namespace velmora {

int ListControl::FindLineContaining(std::string_view text, int start, bool backward) const
{
    const int count = GetCount();
    const std::string wanted = FoldCase(text);
    if (wanted.empty() || count <= 0)
        return ListError;
    const int step = backward ? count - 1 : 1;  // one line back is count - 1 lines on
    int line = start >= 0 && start < count ? start : (backward ? count - 1 : 0);
    for (int seen = 0; seen < count; ++seen, line = (line + step) % count) {
        if (FoldCase(GetText(line)).find(wanted) != std::string::npos)
            return line;
    }
    return ListError;
}

} // namespace velmora
