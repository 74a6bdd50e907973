#include "tools/dump/InstallationList.h"

#include <array>
#include <cstdint>

#include "host/File.h"
#include "host/Installation.h"
#include "host/Text.h"
#include "export/DumpFormats.h"
#include "export/JsonWriter.h"

namespace velmora {

namespace {

// What the list shows of one installation.
struct Shown {
    std::string hostFolder;
    bool dataFile = false;
    std::array<bool, LanguageModuleSuffixes.size()> modules{};
    bool used = false;
    std::string whyNotUsed;
};

Shown Describe(const SearchedPlace& place, bool usedBefore)
{
    const Installation& install = *place.installation;
    // One resolver for the installation's paths: its folders are listed once.
    HostPathResolver resolver(install.prefix);
    Shown shown;
    shown.hostFolder = resolver.Resolve(install.folder);
    shown.dataFile = place.dataFile;
    const auto modules = LanguageModulePaths(install.folder);
    for (std::size_t i = 0; i < modules.size(); ++i)
        shown.modules[i] = File::OpenForReading(resolver.Resolve(modules[i])).ok();
    shown.used = place.Usable() && !usedBefore;
    if (!place.Usable())
        shown.whyNotUsed = "the data file " + place.dataFileProblem;
    else if (usedBefore)
        shown.whyNotUsed = "an earlier one is used";
    return shown;
}

std::string_view ModuleName(std::size_t i) { return LanguageModuleSuffixes[i].substr(1); }

void WriteText(std::ostream& out, const Installation& install, const Shown& shown)
{
    const auto yesNo = [](bool there) { return there ? ": yes" : ": no"; };
    out << (install.prefix.empty() ? "-" : Visible(install.prefix)) << '\t' << Visible(install.origin) << '\t' << Visible(install.folder)
        << '\t' << Visible(shown.hostFolder) << "\tdata file" << yesNo(shown.dataFile);
    for (std::size_t i = 0; i < shown.modules.size(); ++i)
        out << '\t' << ModuleName(i) << yesNo(shown.modules[i]);
    out << '\t' << (shown.used ? "used" : (shown.dataFile ? "not used: " : "passed over: ") + Visible(shown.whyNotUsed)) << '\n';
}

// A path as its text and, where that is not UTF-8 (JSON holds only Unicode text, and the
// text shows U+FFFD for each byte that is no part of it), as its bytes beside it under the
// name + "Bytes": each byte the character of its number, U+0000 to U+00FF, which a script
// turns back into the bytes by encoding the text in Latin-1.
void WritePath(JsonWriter& json, std::string_view name, const std::string& path)
{
    json.Member(name, path);
    if (IsValidUtf8(path))
        return;
    std::string bytes;
    for (const char c : path)
        AppendUtf8(bytes, static_cast<unsigned char>(c));
    json.Member(std::string(name) + "Bytes", bytes);
}

void WriteJson(JsonWriter& json, const Installation& install, const Shown& shown)
{
    json.BeginObject();
    WritePath(json, "prefix", install.prefix);
    json.Member("tool", install.origin);
    WritePath(json, "folder", install.folder);
    WritePath(json, "hostFolder", shown.hostFolder);
    json.Member("dataFile", shown.dataFile);
    json.Key("languageModules");
    json.BeginObject();
    for (std::size_t i = 0; i < shown.modules.size(); ++i)
        json.Member(ModuleName(i), shown.modules[i]);
    json.EndObject();
    json.Member("used", shown.used);
    json.Member("whyNotUsed", shown.whyNotUsed);
    json.EndObject();
}

} // namespace

Result<void> WriteInstallationList(std::ostream& out, bool json)
{
    InstallationLookup all;
    bool anyInstallation = false;
    JsonWriter writer(out);
    if (json)
        writer.BeginArray();
    SearchInstallations([&](const SearchedPlace& place) {
        if (!place.Usable())
            all.PassOver(place);
        if (!place.installation)
            return true;
        anyInstallation = true;
        const Shown shown = Describe(place, all.usable);
        all.usable = all.usable || shown.used;
        if (json)
            WriteJson(writer, *place.installation, shown);
        else
            WriteText(out, *place.installation, shown);
        return true;
    });
    if (json)
        writer.EndArray();
    writer.Flush();
    if (!all.usable)
        return Failure<>{.reason = (anyInstallation ? "no installation with its data file: " : "no installation found: ") + all.Report(SIZE_MAX, Visible)};
    return {};
}

} // namespace velmora
