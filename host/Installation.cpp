#include "host/Installation.h"

namespace velmora {

std::string DataFilePath(const std::string& folder)
{
    return folder + std::string(DataFileSuffix);
}

std::array<std::string, 3> LanguageModulePaths(const std::string& folder)
{
    std::array<std::string, 3> paths;
    for (std::size_t i = 0; i < paths.size(); ++i)
        paths[i] = folder + std::string(LanguageModuleSuffixes[i]);
    return paths;
}

} // namespace velmora
