#include "views/TechDetailView.h"

#include <cstdio>

#include "views/TextForms.h"

namespace velmora {

const std::array<const char*, 5> ResourceListItems = {"", "Food", "Wood", "Stone", "Gold"};

const std::array<const char*, 19> CivListItems = {
    "", "Briton", "Frank", "Cothic", "Teutonic", "Japanese", "Chinese", "Byzantine", "Persian", "Saracen",
    "Turkish", "Viking", "Mongol", "Celtic", "Spanish", "Aztec", "Mayan", "Hun", "Korean",
};

std::string TechListLine(int index, const TechRecord& tech)
{
    return FormatText("%03d:%s", index, DisplayText(tech.name).c_str());
}

int ResourceSelection(std::int16_t type)
{
    return type >= -1 && type <= 3 ? type + 1 : NoSelection;
}

int CivSelection(std::int16_t civ)
{
    if (civ == -1)
        return 0;
    if (civ >= 0 && civ < static_cast<int>(CivListItems.size()))
        return civ;
    return NoSelection;
}

std::string LocationName(std::int16_t location, const UnitNameIds& unitNameIds, const StringLookup& lookup)
{
    if (location < 0 || location >= MaxUnitIds)
        return {};
    return lookup(unitNameIds[location]);
}

TechDetailView DescribeTech(const TechRecord& t, const UnitNameIds& unitNameIds, const StringLookup& lookup)
{
    TechDetailView v;
    v.nameStringIdText = FormatNumberBlankNone(t.nameStringId);
    v.nameText = lookup(t.nameStringId);
    v.helpStringIdText = FormatNumberBlankNone(t.helpStringId);
    v.helpText = lookup(t.helpStringId);
    v.requiredTechCheck = t.requiredTechFlag != 0;
    for (std::size_t i = 0; i < t.requiredTechs.size(); ++i)
        v.requiredTechTexts[i] = FormatNumberBlankNone(t.requiredTechs[i]);
    for (std::size_t i = 0; i < t.cost.size(); ++i) {
        v.costChecks[i] = t.cost[i].flag != 0;
        v.costAmountTexts[i] = FormatNumberBlankNone(t.cost[i].amount);
        v.costTypeSelections[i] = ResourceSelection(t.cost[i].type);
    }
    v.civCheck = t.civFlag != 0;
    v.civSelection = CivSelection(t.civ);
    v.researchTimeText = FormatNumberBlankNone(t.researchTime);
    v.locationText = FormatNumberBlankNone(t.location);
    v.locationNameText = LocationName(t.location, unitNameIds, lookup);
    v.iconIdText = FormatNumberBlankNone(t.iconId);
    v.buttonSlotText = FormatNumberBlankNone(t.buttonSlot);
    v.unknownTexts = {FormatNumber(t.unknown1), FormatNumber(t.unknown2), FormatNumber(t.unknown3),
                      FormatNumber(t.unknown4), FormatNumber(t.unknown5)};
    v.effectNoText = t.effectNo >= 0 ? FormatNumber(t.effectNo) : std::string();
    v.effectNo = t.effectNo;
    return v;
}

} // namespace velmora
