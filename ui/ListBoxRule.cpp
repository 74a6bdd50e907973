#include "ui/ListBoxRule.h"

#include <algorithm>

#include "ui/Controls.h"

namespace velmora {

int ListBoxKeyLine(const ListBoxState& list, ListKey key)
{
    if (list.count <= 0)
        return ListError;
    const int last = list.count - 1;
    const int caret = std::clamp(list.caret, 0, last);
    if (list.selected != caret)
        return caret;
    const int page = std::max(list.pageSize, 1) - 1;
    switch (key) {
    case ListKey::Up:
    case ListKey::Left:
        return std::max(caret - 1, 0);
    case ListKey::Down:
    case ListKey::Right:
        return std::min(caret + 1, last);
    case ListKey::PageUp:
        return std::max(caret - page, 0);
    case ListKey::PageDown:
        return std::min(caret + page, last);
    case ListKey::Home:
        return 0;
    case ListKey::End:
        return last;
    case ListKey::Space:
        break;
    }
    return ListError;
}

int ListBoxTypedLine(const ListBoxState& list, const std::string& typed, const std::function<std::string(int)>& lineText)
{
    const std::string wanted = FoldCase(typed);
    if (wanted.empty() || list.count <= 0)
        return ListError;
    for (int step = 1; step <= list.count; ++step) {
        const int line = (std::clamp(list.caret, 0, list.count - 1) + step) % list.count;
        if (FoldCase(lineText(line)).rfind(wanted, 0) == 0)
            return line;
    }
    return ListError;
}

} // namespace velmora
