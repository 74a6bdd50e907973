// The installation outside Windows: searched for in the registries of the Wine prefixes
// players keep, in the order ForEachWinePrefixPlace gives them.
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
    place.reason = PlaceProblem(prefix.path, PlaceKind::Folder);
    if (!place.reason.empty())
        return place;
    const auto folder = ReadMachineTextIn(prefix.path, InstallKey, InstallValue, InstallValueBufferSize);
    if (!folder) {
        place.place = prefix.path + "/system.reg";
        place.reason = folder.failure().Text();
        return place;
    }
    place.reason = NamedFolderProblem(*folder);
    if (!place.reason.empty())
        return place;
    place.installation = Installation{prefix.path, prefix.origin, *folder};
    const std::string dataFile = place.installation->HostPath(DataFilePath(*folder));
    place.dataFile = File::OpenForReading(dataFile).ok();
    if (!place.dataFile) {
        const std::string problem = PlaceProblem(dataFile, PlaceKind::File);
        place.dataFileProblem = problem == "no such file" || problem.empty() ? "is missing" : "is not usable: " + problem;
        place.reason = "the registry names " + *folder + ", but its data file " + place.dataFileProblem;
    }
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
