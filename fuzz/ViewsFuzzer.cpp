// A parsed file rendered as the dump tool renders it: every tech's detail view and effect
// lines in the JSON dump (which must read back), the text, graph and sheet dumps, and the
// comparison with itself (which finds nothing) and with no file (every format of it).
#include <cstdint>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "data/DataParser.h"
#include "export/DumpDiff.h"
#include "export/DumpFormats.h"
#include "views/TableBounds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto tables = std::make_unique<velmora::GameTables>();
    // A parse overwrites what the file holds; the unit names are all the views could show
    // of an earlier input.
    tables->unitNameIds = {};
    if (!velmora::ParseDataFile(velmora::ByteView(data, size), *tables).parsed)
        return 0;
    // Texts of every kind a language module gives: none, plain, not UTF-8, JSON-escaped.
    const velmora::StringLookup lookup = [](std::int64_t id) -> std::string {
        static const char* const texts[] = {"", "Text", "\xe9t\xe9\xff", "\"a\\b\"\n"};
        return texts[id & 3];
    };
    std::ostringstream json, text, dot, csv, notes, markdown, changes;
    velmora::WriteDumpJson(json, *tables, lookup);
    velmora::WriteDumpText(text, *tables, lookup);
    velmora::WriteDumpDot(dot, *tables);
    velmora::WriteDumpCsv(csv, *tables, lookup);
    static const auto none = std::make_unique<velmora::GameTables>();
    const velmora::DumpDiff all = velmora::CompareDumps({"none", none.get()}, {"file", tables.get()}, lookup);
    velmora::WriteDiffText(notes, all);
    velmora::WriteDiffMarkdown(markdown, all);
    velmora::WriteDiffJson(changes, all);
    const auto back = nlohmann::json::parse(json.str(), nullptr, false);
    if (back.is_discarded() || back["techs"].size() != static_cast<std::size_t>(velmora::ShownTechCount(*tables)) ||
        back["effects"].size() != static_cast<std::size_t>(velmora::ShownEffectCount(*tables)) ||
        nlohmann::json::parse(changes.str(), nullptr, false).is_discarded() ||
        !velmora::CompareDumps({"file", tables.get()}, {"again", tables.get()}, lookup).Empty())
        __builtin_trap();
    return 0;
}
