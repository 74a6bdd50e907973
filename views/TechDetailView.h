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
        {"Name String ID:", "nameStringIdText", F::NumberBlankNone, [](T t) -> V { return t.nameStringId; }},
        {"", "nameText", F::StringText, [](T t) -> V { return t.nameStringId; }},
        {"Help String ID:", "helpStringIdText", F::NumberBlankNone, [](T t) -> V { return t.helpStringId; }},
        {"", "helpText", F::StringText, [](T t) -> V { return t.helpStringId; }},
        {"Required Tech:", "requiredTechCheck", F::Check, [](T t) -> V { return t.requiredTechFlag; }},
        {"", "requiredTech1Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[0]; }, "", "-"},
        {"", "requiredTech2Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[1]; }, "", "-"},
        {"", "requiredTech3Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[2]; }, "", "-"},
        {"", "requiredTech4Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[3]; }, "", "-"},
        {"", "requiredTech5Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[4]; }, "", "-"},
        {"", "requiredTech6Text", F::NumberBlankNone, [](T t) -> V { return t.requiredTechs[5]; }, "", "-"},
        {"Cost1:", "cost1Check", F::Check, [](T t) -> V { return t.cost[0].flag; }},
        {"", "cost1TypeList", F::ResourceList, [](T t) -> V { return t.cost[0].type; }},
        {"", "cost1AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[0].amount; }, "amount"},
        {"Cost2:", "cost2Check", F::Check, [](T t) -> V { return t.cost[1].flag; }},
        {"", "cost2TypeList", F::ResourceList, [](T t) -> V { return t.cost[1].type; }},
        {"", "cost2AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[1].amount; }, "amount"},
        {"Cost3:", "cost3Check", F::Check, [](T t) -> V { return t.cost[2].flag; }},
        {"", "cost3TypeList", F::ResourceList, [](T t) -> V { return t.cost[2].type; }},
        {"", "cost3AmountText", F::NumberBlankNone, [](T t) -> V { return t.cost[2].amount; }, "amount"},
        {"Civ:", "civCheck", F::Check, [](T t) -> V { return t.civFlag; }},
        {"", "civList", F::CivList, [](T t) -> V { return t.civ; }},
        {"Research Time:", "researchTimeText", F::NumberBlankNone, [](T t) -> V { return t.researchTime; }},
        {"Location:", "locationText", F::NumberBlankNone, [](T t) -> V { return t.location; }},
        {"", "locationNameText", F::UnitName, [](T t) -> V { return t.location; }},
        {"Icon ID:", "iconIdText", F::NumberBlankNone, [](T t) -> V { return t.iconId; }},
        {"Button Slot:", "buttonSlotText", F::NumberBlankNone, [](T t) -> V { return t.buttonSlot; }},
        {"Unknown1:", "unknown1Text", F::Number, [](T t) -> V { return t.unknown1; }},
        {"Unknown2:", "unknown2Text", F::Number, [](T t) -> V { return t.unknown2; }},
        {"Unknown3,4,5:", "unknown3Text", F::Number, [](T t) -> V { return t.unknown3; }},
        {"", "unknown4Text", F::Number, [](T t) -> V { return t.unknown4; }},
        {"", "unknown5Text", F::Number, [](T t) -> V { return t.unknown5; }},
        {"Effect No:", "effectNoText", F::EffectNumber, [](T t) -> V { return t.effectNo; }},
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
