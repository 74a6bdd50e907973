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

namespace {

std::string Described(const SearchedPlace& p)
{
    return p.place.empty() ? p.reason : p.place + ": " + p.reason;
}

} // namespace

std::string InstallationLookup::Report(std::size_t maxPlaces) const
{
    if (usable)
        return {};
    if (passedOver.size() == 1)
        return Described(passedOver[0]);
    std::string report = "none of the " + std::to_string(passedOver.size()) + " places searched holds the game with its data file:";
    for (std::size_t i = 0; i < passedOver.size(); ++i) {
        if (i == maxPlaces) {
            report += "\n  ... and " + std::to_string(passedOver.size() - i) + " more";
            break;
        }
        const SearchedPlace& p = passedOver[i];
        report += "\n  " + p.origin + ": " + Described(p);
    }
    return report;
}

} // namespace velmora
