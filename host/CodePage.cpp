#include "host/CodePage.h"

#include <charconv>

#include "host/Text.h"

namespace velmora {

std::string Utf8OrCodePage(std::string_view bytes, unsigned codePage)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : CodePageToUtf8(bytes, codePage);
}

unsigned ParseCodePage(std::string_view text)
{
    unsigned codePage = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), codePage);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !CanDecodeCodePage(codePage))
        return 0;
    return codePage;
}

} // namespace velmora
