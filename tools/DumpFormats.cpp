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

Json ViewJson(const TechDetailView& v)
{
    Json j;
    j["nameStringIdText"] = v.nameStringIdText;
    j["nameText"] = v.nameText;
    j["helpStringIdText"] = v.helpStringIdText;
    j["helpText"] = v.helpText;
    for (std::size_t i = 0; i < v.requiredTechTexts.size(); ++i)
        j["requiredTech" + std::to_string(i + 1) + "Text"] = v.requiredTechTexts[i];
    for (std::size_t i = 0; i < v.costAmountTexts.size(); ++i)
        j["cost" + std::to_string(i + 1) + "AmountText"] = v.costAmountTexts[i];
    j["researchTimeText"] = v.researchTimeText;
    j["locationText"] = v.locationText;
    j["locationNameText"] = v.locationNameText;
    j["iconIdText"] = v.iconIdText;
    j["buttonSlotText"] = v.buttonSlotText;
    for (std::size_t i = 0; i < v.unknownTexts.size(); ++i)
        j["unknown" + std::to_string(i + 1) + "Text"] = v.unknownTexts[i];
    j["effectNoText"] = v.effectNoText;
    for (std::size_t i = 0; i < v.costTypeSelections.size(); ++i)
        j["cost" + std::to_string(i + 1) + "TypeList"] = v.costTypeSelections[i];
    j["civList"] = v.civSelection;
    j["requiredTechCheck"] = v.requiredTechCheck;
    for (std::size_t i = 0; i < v.costChecks.size(); ++i)
        j["cost" + std::to_string(i + 1) + "Check"] = v.costChecks[i];
    j["civCheck"] = v.civCheck;
    return j;
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
        auto field = [&out](const char* label, const std::string& value) { out << "    " << label << " " << value << "\n"; };
        auto selection = [](int position, const auto& items) {
            return position >= 0 ? std::to_string(position) + " (" + items[static_cast<std::size_t>(position)] + ")" : std::string("none");
        };
        out << TechListLine(k, t) << "\n";
        field("Name String ID:", v.nameStringIdText + " " + v.nameText);
        field("Help String ID:", v.helpStringIdText + " " + v.helpText);
        std::string required = v.requiredTechCheck ? "[x]" : "[ ]";
        for (const std::string& r : v.requiredTechTexts)
            required += " " + (r.empty() ? std::string("-") : r);
        field("Required Tech:", required);
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string label = "Cost" + std::to_string(i + 1) + ":";
            field(label.c_str(), std::string(v.costChecks[i] ? "[x] " : "[ ] ") + selection(v.costTypeSelections[i], ResourceListItems) +
                                     " amount " + v.costAmountTexts[i]);
        }
        field("Civ:", std::string(v.civCheck ? "[x] " : "[ ] ") + selection(v.civSelection, CivListItems));
        field("Research Time:", v.researchTimeText);
        field("Location:", v.locationText + " " + v.locationNameText);
        field("Icon ID:", v.iconIdText);
        field("Button Slot:", v.buttonSlotText);
        field("Unknown1:", v.unknownTexts[0]);
        field("Unknown2:", v.unknownTexts[1]);
        field("Unknown3,4,5:", v.unknownTexts[2] + " " + v.unknownTexts[3] + " " + v.unknownTexts[4]);
        field("Effect No:", v.effectNoText);
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
