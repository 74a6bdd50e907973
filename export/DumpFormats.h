// The dump tool's renderings of a parsed data file: text, JSON, a Graphviz graph and a sheet.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "export/FloatText.h"  // ShortestFloatText
#include "views/EffectText.h"
#include "views/TechDetailView.h"
#include "data/GameTables.h"
#include "host/Text.h"

namespace velmora {

// The techs a dump shows: all of them, or only those listed (in index order, each once;
// indices the file does not hold are passed over). The JSON dump then also shows only the
// effects those techs show, and the graph only the links between them.
struct TechFilter {
    std::vector<int> only;
    bool Shows(int k) const;
};

void WriteDumpText(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter = {});
void WriteDumpJson(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter = {});
void WriteDumpDot(std::ostream& out, const GameTables& tables, const TechFilter& filter = {});
// A sheet (RFC 4180, UTF-8, lines ending in CR LF): a title row, then a row for each tech
// with its index, its name, every field of the tech view and its effect lines joined by " | ".
void WriteDumpCsv(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter = {});

// The renderings by the names the command line and the page give them: "text", "json",
// "dot" and "csv"; nothing for any other name.
enum class DumpFormat { Text, Json, Dot, Csv };
std::optional<DumpFormat> DumpFormatNamed(std::string_view name);
void WriteDump(std::ostream& out, DumpFormat format, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter = {});

class JsonWriter;

// A field of the tech view as JSON: a box's text, a list's selection, a check box's state.
void WriteFieldJson(JsonWriter& json, const TechField& field, const ShownField& shown);
// An effect command's stored values as JSON; an amount that is no number as "nan", "inf"
// or "-inf".
void WriteCommandJson(JsonWriter& json, const EffectCommand& command);

// For each tech, the techs that list it among their required techs, in index order.
std::vector<std::vector<int>> RequiredBy(const GameTables& tables);


} // namespace velmora
