#include "tools/DumpFormats.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "views/TableBounds.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

using Json = nlohmann::ordered_json;

const TechRecord& TechAt(const GameTables& t, int k) { return t.techs[static_cast<std::size_t>(k)]; }
const EffectRecord& EffectAt(const GameTables& t, int n) { return t.effects[static_cast<std::size_t>(n)]; }

Json FloatJson(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    // The double nearest the float's shortest text prints back as that text.
    return std::strtod(ShortestFloatText(value).c_str(), nullptr);
}

// The view's fields by their members' names: the boxes, then the lists, then the check
// boxes, each in the dialog's order.
Json ViewJson(const TechDetailView& v)
{
    Json j;
    for (const FieldControl control : {FieldControl::Box, FieldControl::List, FieldControl::Check})
        for (std::size_t i = 0; i < TechFields.size(); ++i) {
            const ShownField& shown = v.fields[i];
            if (ControlOf(TechFields[i].form) != control)
                continue;
            Json& value = j[std::string(TechFields[i].member)];
            if (control == FieldControl::Box)
                value = shown.text;
            else if (control == FieldControl::List)
                value = shown.selection;
            else
                value = shown.checked;
        }
    return j;
}

// One line per caption, each field after it on its line.
void WriteViewText(std::ostream& out, const TechDetailView& v)
{
    for (std::size_t i = 0; i < TechFields.size(); ++i) {
        const TechField& field = TechFields[i];
        const ShownField& shown = v.fields[i];
        if (!field.caption.empty())
            out << "\n    " << field.caption;
        out << ' ';
        if (!field.dumpLabel.empty())
            out << field.dumpLabel << ' ';
        switch (ControlOf(field.form)) {
        case FieldControl::Box:
            out << (shown.text.empty() ? field.dumpBlank : shown.text);
            break;
        case FieldControl::List:
            if (shown.selection >= 0)
                out << shown.selection << " (" << ListEntries(field.form)[static_cast<std::size_t>(shown.selection)] << ")";
            else
                out << "none";
            break;
        case FieldControl::Check:
            out << (shown.checked ? "[x]" : "[ ]");
            break;
        }
    }
    out << '\n';
}

Json TechJson(const GameTables& tables, const StringLookup& lookup, int k)
{
    const TechRecord& t = TechAt(tables, k);
    Json j;
    j["line"] = TechListLine(k, t);
    j["requiredTechs"] = t.requiredTechs;
    Json costs = Json::array();
    for (const TechCost& c : t.cost)
        costs.push_back(Json{{"type", c.type}, {"amount", c.amount}, {"flag", c.flag}});
    j["cost"] = costs;
    j["requiredTechFlag"] = t.requiredTechFlag;
    j["civ"] = t.civ;
    j["civFlag"] = t.civFlag;
    j["location"] = t.location;
    j["nameStringId"] = t.nameStringId;
    j["helpStringId"] = t.helpStringId;
    j["researchTime"] = t.researchTime;
    j["effectNo"] = t.effectNo;
    j["unknown1"] = t.unknown1;
    j["iconId"] = t.iconId;
    j["unknown2"] = t.unknown2;
    j["buttonSlot"] = t.buttonSlot;
    j["unknown3"] = t.unknown3;
    j["unknown4"] = t.unknown4;
    j["unknown5"] = t.unknown5;
    j["name"] = DisplayText(t.name);
    const TechDetailView view = DescribeTech(t, tables.unitNameIds, lookup);
    j["view"] = ViewJson(view);
    j["effectLines"] = RenderEffectLines(tables, lookup, view.effectNo);
    return j;
}

std::string DotQuoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

std::string ShortestFloatText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void WriteDumpJson(std::ostream& out, const GameTables& tables, const StringLookup& lookup)
{
    Json root;
    root["versionText"] = DisplayText(tables.versionText);
    root["effectCount"] = tables.effectCount;
    root["techCount"] = tables.techCount;
    Json effects = Json::array();
    for (int n = 0; n < ShownEffectCount(tables); ++n) {
        const EffectRecord& e = EffectAt(tables, n);
        Json commands = Json::array();
        for (int i = 0; i < ShownCommandCount(e); ++i) {
            const EffectCommand& c = e.commands[static_cast<std::size_t>(i)];
            commands.push_back(Json{{"type", c.type}, {"data1", c.data1}, {"data2", c.data2}, {"data3", c.data3}, {"data4", FloatJson(c.data4)}});
        }
        effects.push_back(Json{{"commands", commands}, {"lines", RenderEffectLines(tables, lookup, n)}});
    }
    root["effects"] = effects;
    Json techs = Json::array();
    for (int k = 0; k < ShownTechCount(tables); ++k)
        techs.push_back(TechJson(tables, lookup, k));
    root["techs"] = techs;
    out << root.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

void WriteDumpText(std::ostream& out, const GameTables& tables, const StringLookup& lookup)
{
    out << "version: " << DisplayText(tables.versionText) << "\n";
    out << "effects: " << tables.effectCount << "\n";
    out << "techs: " << tables.techCount << "\n";
    for (int k = 0; k < ShownTechCount(tables); ++k) {
        const TechRecord& t = TechAt(tables, k);
        const TechDetailView v = DescribeTech(t, tables.unitNameIds, lookup);
        out << TechListLine(k, t);
        WriteViewText(out, v);
        for (const std::string& line : RenderEffectLines(tables, lookup, v.effectNo))
            out << "        " << line << "\n";
    }
}

void WriteDumpDot(std::ostream& out, const GameTables& tables)
{
    out << "digraph techs {\n  rankdir=LR;\n  node [shape=box];\n";
    const int count = ShownTechCount(tables);
    for (int k = 0; k < count; ++k)
        out << "  t" << k << " [label=" << DotQuoted(TechListLine(k, TechAt(tables, k))) << "];\n";
    for (int k = 0; k < count; ++k)
        for (const std::int16_t r : TechAt(tables, k).requiredTechs)
            if (r >= 0 && r < count)
                out << "  t" << r << " -> t" << k << ";\n";
    out << "}\n";
}

} // namespace velmora
