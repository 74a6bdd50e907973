// The installation outside Windows: searched for in the registries of the Wine prefixes
// players keep, in the order ForEachWinePrefixPlace gives them.
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "host/File.h"
#include "host/Installation.h"
#include "host/WinePrefixes.h"
#include "host/WineRegistry.h"

namespace velmora {

namespace {

// One prefix: its registry, then the data file through it.
SearchedPlace ReadPrefix(const WinePrefixPlace& prefix)
{
    SearchedPlace place{prefix.origin, prefix.path, std::nullopt, false, {}};
    struct stat st {};
    if (::stat(prefix.path.c_str(), &st) != 0) {
        place.reason = errno == ENOENT || errno == ENOTDIR ? "no such folder" : "cannot reach the folder: " + std::string(std::strerror(errno));
        return place;
    }
    if (!S_ISDIR(st.st_mode)) {
        place.reason = "not a folder";
        return place;
    }
    const auto folder = ReadMachineTextIn(prefix.path, InstallKey, InstallValue, InstallValueBufferSize);
    if (!folder) {
        place.place = prefix.path + "/system.reg";
        place.reason = folder.failure().Text();
        return place;
    }
    place.installation = Installation{prefix.path, prefix.origin, *folder};
    const std::string dataFile = DataFilePath(*folder);
    place.dataFile = File::OpenForReading(place.installation->HostPath(dataFile)).ok();
    if (!place.dataFile)
        place.reason = "the registry names " + *folder + ", but its data file is missing";
    return place;
}

} // namespace

void SearchInstallations(const std::function<bool(const SearchedPlace&)>& visit)
{
    ForEachWinePrefixPlace([&visit](const WinePrefixPlace& prefix) {
        if (!prefix.passedOver.empty())
            return visit({prefix.origin, prefix.path, std::nullopt, false, prefix.passedOver});
        return visit(ReadPrefix(prefix));
    });
}

} // namespace velmora
