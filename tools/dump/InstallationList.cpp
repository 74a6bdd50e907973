#include "tools/dump/InstallationList.h"

#include "host/File.h"
#include "host/HostPath.h"
#include "host/Installation.h"

namespace velmora {

namespace {

// "name: yes" when the file at the composed `path` opens for reading through `prefix`.
std::string Presence(const std::string& name, const std::string& prefix, const std::string& path)
{
    return name + (File::OpenForReading(ResolveHostPathIn(prefix, path)) ? ": yes" : ": no");
}

} // namespace

bool WriteInstallationList(std::ostream& out, std::string& failure)
{
    const std::vector<FoundInstallation> found = FindInstallations();
    if (found.empty()) {
        failure = "no installation found: " + ReadInstallFolder().failure().Text();
        return false;
    }
    for (const FoundInstallation& install : found) {
        out << (install.prefix.empty() ? "-" : install.prefix) << '\t' << install.origin << '\t' << install.folder << '\t'
            << ResolveHostPathIn(install.prefix, install.folder) << '\t'
            << Presence("data file", install.prefix, DataFilePath(install.folder));
        const auto modules = LanguageModulePaths(install.folder);
        for (std::size_t i = 0; i < modules.size(); ++i)
            out << '\t' << Presence(std::string(LanguageModuleSuffixes[i].substr(1)), install.prefix, modules[i]);
        out << '\n';
    }
    return true;
}

} // namespace velmora
