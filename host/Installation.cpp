#include "host/Installation.h"

namespace velmora {

std::string NamedFolderProblem(std::string_view folder)
{
    if (folder.empty())
        return "the registry names no folder (its \"" + std::string(InstallValue) + "\" is empty)";
    const auto at = [folder](std::size_t i) { return i < folder.size() ? folder[i] : '\0'; };
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    const bool letter = (at(0) >= 'A' && at(0) <= 'Z') || (at(0) >= 'a' && at(0) <= 'z');
    if (letter && at(1) == ':' && separator(at(2)))
        return {};
    const char* form = separator(at(0)) && separator(at(1)) ? "a network path"
                       : separator(at(0))                   ? "a path without a drive"
                                                            : "a relative path";
    return "the registry names " + std::string(folder) + ", " + form + ", not a folder on a drive";
}

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
        lookup.PassOver(place);
        return true;
    });
    if (!lookup.usable)
        lookup.installation = named ? *named : Installation{WinePrefix(), "", ""};
    return lookup;
}

void InstallationLookup::PassOver(const SearchedPlace& place)
{
    if (passedOver.size() < MaxPlacesKept)
        passedOver.push_back(place);
    else
        ++notKept;
}

std::string InstallationLookup::Report(std::size_t maxPlaces, std::string (*shown)(std::string_view)) const
{
    if (usable)
        return {};
    const auto text = [shown](const std::string& taken) { return shown != nullptr ? shown(taken) : taken; };
    const auto described = [&text](const SearchedPlace& p) { return p.place.empty() ? text(p.reason) : text(p.place) + ": " + text(p.reason); };
    const std::size_t searched = passedOver.size() + notKept;
    if (searched == 1)
        return described(passedOver[0]);
    std::string report = "none of the " + std::to_string(searched) + " places searched holds the game with its data file:";
    for (std::size_t i = 0; i < searched; ++i) {
        if (i == maxPlaces || i == passedOver.size()) {
            report += "\n  ... and " + std::to_string(searched - i) + " more";
            break;
        }
        const SearchedPlace& p = passedOver[i];
        report += "\n  " + text(p.origin) + ": " + described(p);
    }
    return report;
}

} // namespace velmora
