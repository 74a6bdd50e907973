// What the tech list and the tech detail controls show for the game tables.
//
// TechFields describes every detail control once. The dialog fills its controls by walking
// it and the dump tool writes its text and JSON views from it, so a box shows the same
// thing wherever it is read.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "views/EffectText.h"
#include "data/GameTables.h"

namespace velmora {

// "No entry selected" in a drop-down list.
inline constexpr int NoSelection = -1;

// "%03d:%s": the line of tech `index` in the tech list.
std::string TechListLine(int index, const TechRecord& tech);
// The line as the tech list and the text dump show it: TechListLine as Visible shows it,
// so that no name can break the line, reorder it or ring the terminal's bell.
std::string ShownTechListLine(int index, const TechRecord& tech);

// The resource list's position for a cost type: type + 1 for -1 to 3, else none.
int ResourceSelection(std::int32_t type);
// The civilization list's position: 0 for -1, civ for 0 to 18, else none.
int CivSelection(std::int32_t civ);

// The text of the unit at a tech's location: "" for a negative location or one outside
// the unit table.
std::string LocationName(std::int32_t location, const UnitNameIds& unitNameIds, const StringLookup& lookup);

// How a detail control shows its field's value.
enum class FieldForm {
    Number,           // "%d"
    NumberBlankNone,  // "%d", but -1 gives ""
    EffectNumber,     // "%d" for 0 or more, "" for every negative value
    StringText,       // the language text of the value, a string id
    UnitName,         // LocationName of the value
    ResourceList,     // ResourceSelection of the value
    CivList,          // CivSelection of the value
    Check,            // ticked for every value but 0
};

// The control that shows a form: an edit box, a drop-down list or a check box.
enum class FieldControl { Box, List, Check };

constexpr FieldControl ControlOf(FieldForm form)
{
    switch (form) {
    case FieldForm::ResourceList:
    case FieldForm::CivList:
        return FieldControl::List;
    case FieldForm::Check:
        return FieldControl::Check;
    default:
        return FieldControl::Box;
    }
}

// The entries of the drop-down list of a list form, in their positions.
std::span<const std::string_view> ListEntries(FieldForm form);

struct TechField {
    // The dialog's caption of the field; it also begins the field's line in the text dump.
    // Empty for a field shown on the line of the one before.
    std::string_view caption;
    // The dialog member that shows the field, which names it in the JSON dump.
    std::string_view member;
    FieldForm form;
    std::int32_t (*value)(const TechRecord&);
    // The stored member the value is, as the JSON dump's tech record names it; empty for
    // a field that shows a text found through another field's value.
    std::string_view stored;
    // The field's column title in the sheet (CSV) dump.
    std::string_view title;
    // For the text dump only: a word written before the value, and what stands for an
    // empty text.
    std::string_view dumpLabel = {};
    std::string_view dumpBlank = {};
};

// The detail fields in the order the dialog fills them. Within a cost row the list comes
// before the amount box, as the text dump writes them; nothing sees the order in which the
// dialog sets them, because the boxes only change when the members are transferred.
inline constexpr auto TechFields = [] {
    using F = FieldForm;
    using T = const TechRecord&;
    using V = std::int32_t;
    return std::to_array<TechField>({
        {"Name String ID:", "nameStringIdText", F::NumberBlankNone, [](T t) -> V { return t.nameStringId; }, "nameStringId", "Name String ID"},
        {"", "nameText", F::StringText, [](T t) -> V { return t.nameStringId; }, "", "Name Text"},
        {"Help String ID:", "helpStringIdText", F::NumberBlankNone, [](T t) -> V { return t.helpStringId; }, "helpStringId", "Help String ID"},
        {"", "helpText", F::StringText, [](T t) -> V { return t.helpStringId; }, "", "Help Text"},
        {"Required Tech:", "requiredTechCheck", F::Check, [](T t) -> V { return t.requiredTechFlag; }, "requiredTechFlag", "Required Tech Flag"},
        {"", "requiredTech1Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[0]; }, "requiredTechs[0]", "Required Tech 1", "", "-"},
        {"", "requiredTech2Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[1]; }, "requiredTechs[1]", "Required Tech 2", "", "-"},
        {"", "requiredTech3Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[2]; }, "requiredTechs[2]", "Required Tech 3", "", "-"},
        {"", "requiredTech4Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[3]; }, "requiredTechs[3]", "Required Tech 4", "", "-"},
        {"", "requiredTech5Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[4]; }, "requiredTechs[4]", "Required Tech 5", "", "-"},
        {"", "requiredTech6Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[5]; }, "requiredTechs[5]", "Required Tech 6", "", "-"},
        {"Cost1:", "cost1Check", F::Check, [](T t) -> V { return t.cost[0].flag; }, "cost[0].flag", "Cost1 Flag"},
        {"", "cost1TypeList", F::ResourceList, [](T t) -> V { return t.cost[0].type; }, "cost[0].type", "Cost1 Resource"},
        {"", "cost1AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[0].amount; }, "cost[0].amount", "Cost1 Amount", "amount"},
        {"Cost2:", "cost2Check", F::Check, [](T t) -> V { return t.cost[1].flag; }, "cost[1].flag", "Cost2 Flag"},
        {"", "cost2TypeList", F::ResourceList, [](T t) -> V { return t.cost[1].type; }, "cost[1].type", "Cost2 Resource"},
        {"", "cost2AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[1].amount; }, "cost[1].amount", "Cost2 Amount", "amount"},
        {"Cost3:", "cost3Check", F::Check, [](T t) -> V { return t.cost[2].flag; }, "cost[2].flag", "Cost3 Flag"},
        {"", "cost3TypeList", F::ResourceList, [](T t) -> V { return t.cost[2].type; }, "cost[2].type", "Cost3 Resource"},
        {"", "cost3AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[2].amount; }, "cost[2].amount", "Cost3 Amount", "amount"},
        {"Civ:", "civCheck", F::Check, [](T t) -> V { return t.civFlag; }, "civFlag", "Civ Flag"},
        {"", "civList", F::CivList, [](T t) -> V { return t.civ; }, "civ", "Civ"},
        {"Research Time:", "researchTimeText", F::NumberBlankNone, [](T t) -> V { return t.researchTime; }, "researchTime", "Research Time"},
        {"Location:", "locationText", F::NumberBlankNone, [](T t) -> V { return t.location; }, "location", "Location"},
        {"", "locationNameText", F::UnitName, [](T t) -> V { return t.location; }, "", "Location Name"},
        {"Icon ID:", "iconIdText", F::NumberBlankNone, [](T t) -> V { return t.iconId; }, "iconId", "Icon ID"},
        {"Button Slot:", "buttonSlotText", F::NumberBlankNone, [](T t) -> V { return t.buttonSlot; }, "buttonSlot", "Button Slot"},
        {"Unknown1:", "unknown1Text", F::Number, [](T t) -> V { return t.unknown1; }, "unknown1", "Unknown1"},
        {"Unknown2:", "unknown2Text", F::Number, [](T t) -> V { return t.unknown2; }, "unknown2", "Unknown2"},
        {"Unknown3,4,5:", "unknown3Text", F::Number, [](T t) -> V { return t.unknown3; }, "unknown3", "Unknown3"},
        {"", "unknown4Text", F::Number, [](T t) -> V { return t.unknown4; }, "unknown4", "Unknown4"},
        {"", "unknown5Text", F::Number, [](T t) -> V { return t.unknown5; }, "unknown5", "Unknown5"},
        {"Effect No:", "effectNoText", F::EffectNumber, [](T t) -> V { return t.effectNo; }, "effectNo", "Effect No"},
    });
}();

// What one detail control shows: a box its text, a list the position of its selected
// entry, a check box its tick. Only the one that fits the field's control is set.
struct ShownField {
    std::string text;
    int selection = NoSelection;
    bool checked = false;

    bool operator==(const ShownField&) const = default;
};

// Every detail control's content for one tech, in the order of TechFields.
struct TechDetailView {
    std::array<ShownField, TechFields.size()> fields;
    std::int32_t effectNo = -1;  // the effect the effect list renders

    bool operator==(const TechDetailView&) const = default;
};

TechDetailView DescribeTech(const TechRecord& tech, const UnitNameIds& unitNameIds, const StringLookup& lookup);

} // namespace velmora
