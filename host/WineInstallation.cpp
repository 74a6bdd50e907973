// The installation outside Windows: searched for in the registries of the Wine prefixes
// players keep, in the order WinePrefixPlaces() gives them.
#include <optional>

#include "host/HostPath.h"
#include "host/Installation.h"
#include "host/WinePrefixes.h"
#include "host/WineRegistry.h"

namespace velmora {

namespace {

Result<std::string, RegistryFailure> ReadInstallFolderIn(const std::string& prefix)
{
    return ReadMachineTextIn(prefix, InstallKey, InstallValue, InstallValueBufferSize);
}

// "~/.wine, Lutris, Steam": the tools that keep `places`, each named once.
std::string Origins(const std::vector<WinePrefixPlace>& places)
{
    std::string names;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0 && places[i].origin == places[i - 1].origin)
            continue;
        names += (names.empty() ? "" : ", ") + places[i].origin;
    }
    return names;
}

} // namespace

Result<std::string, RegistryFailure> ReadInstallFolder()
{
    UseWinePrefix("");
    const std::vector<WinePrefixPlace> places = WinePrefixPlaces();
    if (places.empty())
        return Failure<RegistryFailure>{RegistryFailure::NoHive, std::string(NoWinePrefixReason)};
    std::optional<Failure<RegistryFailure>> first;
    for (const WinePrefixPlace& place : places) {
        auto folder = ReadInstallFolderIn(place.path);
        if (folder) {
            UseWinePrefix(place.path);
            return folder;
        }
        if (!first)
            first = folder.failure();
    }
    if (places.size() == 1)
        return *first;
    return Failure<RegistryFailure>{first->kind,
                                    "no installation in the " + std::to_string(places.size()) + " Wine prefixes searched (" +
                                        Origins(places) + "); the first: " + first->reason,
                                    first->systemReason};
}

std::vector<FoundInstallation> FindInstallations()
{
    std::vector<FoundInstallation> found;
    for (const WinePrefixPlace& place : WinePrefixPlaces()) {
        if (auto folder = ReadInstallFolderIn(place.path))
            found.push_back({place.path, place.origin, std::move(*folder)});
    }
    return found;
}

} // namespace velmora
