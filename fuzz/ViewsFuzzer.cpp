// A parsed file rendered as the dump tool renders it: every tech's detail view and effect
// lines in the JSON dump (which must read back), and the text and graph dumps.
#include <cstdint>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "data/DataParser.h"
#include "tools/dump/DumpFormats.h"
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
    std::ostringstream json, text, dot;
    velmora::WriteDumpJson(json, *tables, lookup);
    velmora::WriteDumpText(text, *tables, lookup);
    velmora::WriteDumpDot(dot, *tables);
    const auto back = nlohmann::json::parse(json.str(), nullptr, false);
    if (back.is_discarded() || back["techs"].size() != static_cast<std::size_t>(velmora::ShownTechCount(*tables)) ||
        back["effects"].size() != static_cast<std::size_t>(velmora::ShownEffectCount(*tables)))
        __builtin_trap();
    return 0;
}
