#include "host/HostPath.h"

namespace velmora {

std::u16string ExtendedLengthPath(std::u16string_view fullPath)
{
    constexpr std::size_t MaxPath = 260;  // MAX_PATH, the terminating NUL included
    const bool drive = fullPath.size() >= 3 && fullPath[1] == u':' && fullPath[2] == u'\\';
    const bool unc = fullPath.size() >= 3 && fullPath.substr(0, 2) == u"\\\\" && fullPath[2] != u'?' && fullPath[2] != u'.';
    if (fullPath.size() < MaxPath || (!drive && !unc))
        return std::u16string(fullPath);
    return drive ? u"\\\\?\\" + std::u16string(fullPath) : u"\\\\?\\UNC\\" + std::u16string(fullPath.substr(2));
}

} // namespace velmora
