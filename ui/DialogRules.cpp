#include "ui/DialogRules.h"

#include "host/File.h"

namespace velmora {

std::optional<std::string> DroppedFile(const std::vector<std::string>& paths)
{
    if (paths.size() != 1 || paths.front().empty() || IsFolder(paths.front()))
        return std::nullopt;
    return paths.front();
}

int FirstTabStop(const DialogTemplate& dialogTemplate, const std::function<bool(int id)>& enabled)
{
    for (const DialogItem& item : dialogTemplate.items)
        if (item.Has(StyleTabStop) && enabled(item.id))
            return item.id;
    return 0;
}

void FindBoxState::Open(int focused)
{
    if (!open_)
        focusBefore_ = focused;
    open_ = true;
}

int FindBoxState::Close(int otherwise)
{
    open_ = false;
    return focusBefore_ != 0 ? focusBefore_ : otherwise;
}

bool FindBoxState::Searched(bool found, std::string_view text)
{
    const bool notFound = !found && !text.empty();
    const bool changed = notFound != notFound_;
    notFound_ = notFound;
    return changed;
}

} // namespace velmora
