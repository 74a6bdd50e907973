#include "web/Core.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

#include <nlohmann/json.hpp>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "export/DumpDiff.h"
#include "export/DumpFormats.h"
#include "export/JsonWriter.h"
#include "host/CodePage.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"
#include "views/EffectBoxes.h"
#include "views/TableBounds.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {

struct WebSlot {
    std::string fileName;
    GameTables tables;
    LanguageModules modules;
    unsigned codePage = CodePageWestern;
    // Each string id is looked up once, as the dump does.
    StringLookup lookup = LookupEachOnce(modules);

    const StringLookup& Lookup() const { return lookup; }
};

namespace {

using Json = nlohmann::ordered_json;  // the keys in the order written

std::string_view LoadFailureName(LoadFailure kind)
{
    switch (kind) {
    case LoadFailure::OpenFailed: return "OpenFailed";
    case LoadFailure::ReadFailed: return "ReadFailed";
    case LoadFailure::TempFileFailed: return "TempFileFailed";
    case LoadFailure::TempIoFailed: return "TempIoFailed";
    case LoadFailure::InitFailed: return "InitFailed";
    case LoadFailure::InflateFailed: return "InflateFailed";
    case LoadFailure::StreamTruncated: return "StreamTruncated";
    case LoadFailure::TooLarge: return "TooLarge";
    }
    return "LoadFailed";
}

std::string Refusal(std::string_view kind, const std::string& reason, const Json& messages)
{
    return CompactJson({{"ok", false}, {"kind", kind}, {"reason", reason}, {"messages", messages}});
}

// `fileName` as a path inside the staging folder: its parts without empty ones, "." and
// "..", so that nothing is written outside; "data file" when nothing is left.
std::filesystem::path StagedName(std::string_view fileName)
{
    std::filesystem::path staged;
    for (std::size_t at = 0; at <= fileName.size();) {
        const std::size_t end = std::min(fileName.find('/', at), fileName.size());
        const std::string_view part = fileName.substr(at, end - at);
        if (!part.empty() && part != "." && part != "..")
            staged /= std::string(part);
        at = end + 1;
    }
    return staged.empty() ? std::filesystem::path("data file") : staged;
}

// Loads `data` as the desktop loads the file `name`: written under that name into
// `folder` (emptied first and afterwards), which is the working folder meanwhile.
Result<void, LoadFailure> LoadStaged(const std::filesystem::path& folder, const std::filesystem::path& name,
                                     std::string_view data, DataBuffer& buffer)
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder / name.parent_path(), error);
    {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out.flush())
            return Failure<LoadFailure>{LoadFailure::TempIoFailed, name.string() + ": cannot stage the data file in memory"};
    }
    const std::filesystem::path before = std::filesystem::current_path(error);
    std::filesystem::current_path(folder, error);
    Result<void, LoadFailure> loaded = LoadDataFile(name.string(), buffer);
    std::filesystem::current_path(before, error);
    std::filesystem::remove_all(folder, error);
    return loaded;
}

} // namespace

WebCore::WebCore(std::string stagingFolder) : staging_(std::move(stagingFolder)) {}

WebCore::~WebCore() = default;

const WebSlot* WebCore::Loaded(int slot) const
{
    return slot >= 0 && slot < SlotCount ? slots_[static_cast<std::size_t>(slot)].get() : nullptr;
}

std::string WebCore::Load(int slot, std::string_view data, const std::vector<std::optional<std::string>>& modules,
                          unsigned codePage, std::string_view fileName)
{
    Json messages = Json::array();
    if (slot < 0 || slot >= SlotCount)
        return Refusal("BadSlot", "no slot " + std::to_string(slot) + " (0 or 1)", messages);
    if (codePage == 0)
        codePage = CodePageWestern;
    if (!CanDecodeCodePage(codePage))
        return Refusal("BadCodePage", "unknown code page '" + std::to_string(codePage) + "'", messages);

    auto loaded = std::make_unique<WebSlot>();
    loaded->fileName = std::string(fileName);
    loaded->codePage = codePage;
    const std::filesystem::path name = StagedName(fileName);
    DataBuffer buffer;
    const auto inflated = LoadStaged(std::filesystem::path(staging_) / ("slot" + std::to_string(slot)), name, data, buffer);
    if (!inflated)
        return Refusal(LoadFailureName(inflated.failure().kind), inflated.failure().Text(), messages);
    const ParseResult parse = ParseDataFile(buffer, loaded->tables);
    buffer.Release();
    for (const std::string& message : parse.messages)
        messages.push_back(name.string() + ": " + message);
    if (!parse.parsed)
        return Refusal("ParseFailed", messages.empty() ? name.string() + ": cannot parse the data file" : messages.back().get<std::string>(), messages);

    // Named as the desktop finds them in the installation folder, in the same order.
    for (std::size_t i = 0; i < modules.size() && i < LanguageModuleSuffixes.size(); ++i) {
        if (!modules[i])
            continue;
        const Result<void> added = loaded->modules.AddModuleFromBytes(std::vector<std::uint8_t>(modules[i]->begin(), modules[i]->end()));
        if (!added)
            messages.push_back(std::string(LanguageModuleSuffixes[i].substr(1)) + ": " + added.failure().Text());
    }
    const int techCount = ShownTechCount(loaded->tables);
    slots_[static_cast<std::size_t>(slot)] = std::move(loaded);
    return CompactJson({{"ok", true}, {"techCount", techCount}, {"messages", messages}});
}

std::string WebCore::Dump(int slot, std::string_view format, const std::optional<std::vector<int>>& techs) const
{
    const WebSlot* loaded = Loaded(slot);
    if (!loaded)
        return {};
    SetTextCodePage(loaded->codePage);
    const std::optional<DumpFormat> named = DumpFormatNamed(format);
    if (!named)
        return {};
    TechFilter filter;
    if (techs) {
        filter.only = *techs;
        std::sort(filter.only.begin(), filter.only.end());
        filter.only.erase(std::unique(filter.only.begin(), filter.only.end()), filter.only.end());
        // No file holds this index: a filter of none shows nothing rather than everything.
        if (filter.only.empty())
            filter.only.push_back(MaxTechs);
    }
    std::ostringstream out;
    WriteDump(out, named.value(), loaded->tables, loaded->Lookup(), filter);
    return std::move(out).str();
}

int WebCore::DiffStatus() const
{
    const WebSlot* before = Loaded(0);
    const WebSlot* after = Loaded(1);
    if (!before || !after)
        return 2;
    SetTextCodePage(after->codePage);
    return CompareDumps({before->fileName, &before->tables}, {after->fileName, &after->tables}, after->Lookup(), {}).Empty() ? 0 : 1;
}

std::string WebCore::Diff(std::string_view format) const
{
    const WebSlot* before = Loaded(0);
    const WebSlot* after = Loaded(1);
    if (!before || !after)
        return {};
    SetTextCodePage(after->codePage);
    const DumpDiff diff = CompareDumps({before->fileName, &before->tables}, {after->fileName, &after->tables}, after->Lookup(), {});
    const std::optional<DiffFormat> named = DiffFormatNamed(format);
    if (diff.Empty() || !named)
        return {};
    std::ostringstream out;
    WriteDiff(out, named.value(), diff);
    return std::move(out).str();
}

std::string WebCore::StringText(int slot, std::string_view typedId) const
{
    const WebSlot* loaded = Loaded(slot);
    return loaded ? loaded->modules.LookupString(ReadLenientNumber(typedId)) : std::string();
}

std::string WebCore::EffectLines(int slot, std::string_view typedEffectNo) const
{
    const WebSlot* loaded = Loaded(slot);
    Json lines = Json::array();
    if (loaded) {
        SetTextCodePage(loaded->codePage);
        for (const std::string& line : RenderEffectLines(loaded->tables, loaded->Lookup(), ReadLenientNumber(typedEffectNo)))
            lines.push_back(line);
    }
    return CompactJson(lines);
}

std::string WebCore::EffectCommand(int slot, std::string_view typedEffectNo, int line) const
{
    const WebSlot* loaded = Loaded(slot);
    const std::int32_t effectNo = ReadLenientNumber(typedEffectNo);
    if (!loaded || effectNo < 0 || effectNo >= ShownEffectCount(loaded->tables))
        return "null";
    const EffectRecord& effect = loaded->tables.effects[static_cast<std::size_t>(effectNo)];
    if (line < 0 || line >= ShownCommandCount(effect))
        return "null";
    const EffectCommandBoxes boxes = DescribeEffectCommand(effect.commands[static_cast<std::size_t>(line)]);
    return CompactJson({{"type", boxes.type}, {"data1", boxes.data1}, {"data2", boxes.data2}, {"data3", boxes.data3}, {"data4", boxes.data4}});
}

std::string WebCore::DetailForm()
{
    Json fields = Json::array();
    for (const TechField& shown : TechFields) {
        Json field = {{"caption", shown.caption}, {"member", shown.member}, {"name", shown.title}};
        switch (ControlOf(shown.form)) {
        case FieldControl::Check: field["control"] = "check"; break;
        case FieldControl::List:
            field["control"] = "list";
            field["entries"] = Json::array();
            for (const std::string_view entry : ListEntries(shown.form))
                field["entries"].push_back(entry);
            break;
        case FieldControl::Box:
            field["control"] = shown.form == FieldForm::StringText || shown.form == FieldForm::UnitName ? "text" : "box";
            break;
        }
        fields.push_back(std::move(field));
    }
    return CompactJson(fields);
}

} // namespace velmora
