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

InstallationLookup FindInstallation()
{
    InstallationLookup lookup;
    std::optional<Installation> named;
    SearchInstallations([&](const SearchedPlace& place) {
        if (place.Usable()) {
            lookup.installation = *place.installation;
            lookup.usable = true;
            return false;
        }
        if (place.installation && !named)
            named = place.installation;
        lookup.passedOver.push_back(place);
        return true;
    });
    if (!lookup.usable)
        lookup.installation = named ? *named : Installation{WinePrefix(), "", ""};
    return lookup;
}

std::string InstallationLookup::Report(std::size_t maxPlaces, std::string (*shown)(std::string_view)) const
{
    if (usable)
        return {};
    const auto text = [shown](const std::string& taken) { return shown != nullptr ? shown(taken) : taken; };
    const auto described = [&text](const SearchedPlace& p) { return p.place.empty() ? text(p.reason) : text(p.place) + ": " + text(p.reason); };
    if (passedOver.size() == 1)
        return described(passedOver[0]);
    std::string report = "none of the " + std::to_string(passedOver.size()) + " places searched holds the game with its data file:";
    for (std::size_t i = 0; i < passedOver.size(); ++i) {
        if (i == maxPlaces) {
            report += "\n  ... and " + std::to_string(passedOver.size() - i) + " more";
            break;
        }
        const SearchedPlace& p = passedOver[i];
        report += "\n  " + text(p.origin) + ": " + described(p);
    }
    return report;
}

} // namespace velmora
