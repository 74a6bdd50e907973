// On Windows the composed paths are the paths to open: the system looks names up without
// regard to case itself, and there is no Wine prefix.
#include "host/HostPath.h"

namespace velmora {

std::string WinePrefix()
{
    return {};
}

std::string HostPathResolver::Resolve(std::string_view path)
{
    return std::string(path);
}

std::string ResolveHostPathIn(const std::string&, std::string_view path)
{
    return std::string(path);
}

std::string DescribePath(std::string_view given, const std::string& hostPath)
{
    return given == hostPath ? hostPath : std::string(given) + " (" + hostPath + ")";
}

} // namespace velmora
