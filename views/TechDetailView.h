// What the tech list and the tech detail controls show for the game tables.
//
// The dialog and the dump tool both take their texts from here, so a box shows the same
// thing wherever it is read.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "views/EffectText.h"
#include "data/GameTables.h"

namespace velmora {

// Entries of the resource and civilization drop-down lists, in their fixed positions.
extern const std::array<const char*, 5> ResourceListItems;
extern const std::array<const char*, 19> CivListItems;

// "No entry selected" in a drop-down list.
inline constexpr int NoSelection = -1;

// "%03d:%s": the line of tech `index` in the tech list.
std::string TechListLine(int index, const TechRecord& tech);

// The resource list's position for a cost type: type + 1 for -1 to 3, else none.
int ResourceSelection(std::int16_t type);
// The civilization list's position: 0 for -1, civ for 0 to 18, else none.
int CivSelection(std::int16_t civ);

// Every detail control's content for one tech, named after the dialog's members.
struct TechDetailView {
    std::string nameStringIdText;
    std::string nameText;
    std::string helpStringIdText;
    std::string helpText;
    bool requiredTechCheck = false;
    std::array<std::string, 6> requiredTechTexts;
    std::array<bool, 3> costChecks{};
    std::array<std::string, 3> costAmountTexts;
    std::array<int, 3> costTypeSelections{};
    bool civCheck = false;
    int civSelection = NoSelection;
    std::string researchTimeText;
    std::string locationText;
    std::string locationNameText;
    std::string iconIdText;
    std::string buttonSlotText;
    std::array<std::string, 5> unknownTexts;  // Unknown1 to Unknown5
    std::string effectNoText;
    std::int32_t effectNo = -1;               // the effect the effect list renders

    bool operator==(const TechDetailView&) const = default;
};

TechDetailView DescribeTech(const TechRecord& tech, const UnitNameIds& unitNameIds, const StringLookup& lookup);

// The text of the unit at a tech's location: "" for a negative location or one outside
// the unit table.
std::string LocationName(std::int16_t location, const UnitNameIds& unitNameIds, const StringLookup& lookup);

} // namespace velmora
