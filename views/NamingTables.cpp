#include "views/NamingTables.h"

#include "views/TextForms.h"

namespace velmora {

const std::array<const char*, UnitClassCount> UnitClassNames = {
    "Archer", "Unknown", "Trade Boat", "Building", "Civilian", "Unknown", "Soldier", "Unknown", "Unknown", "Deers",
    "Boars", "Other", "Cavalry", "Siege Weapon", "Unknown", "Unknown", "Unknown", "Unknown", "Priest", "Unknown",
    "Transport Boat", "Fishing Boat", "War Boat", "Conquistador", "Unknown", "Unknown", "Unknown", "Walls", "Unknown", "Unknown",
    "Flags", "Unknown", "Unknown", "Unknown", "Unknown", "Unknown", "Cavalry Archer", "Unknown", "Unknown", "Gates",
    "Unknown", "Unknown", "Unknown", "Unknown", "Hand Cannoneer", "Two Handed Sword", "Pikeman", "Scout Cavalry", "Unknown", "Farm",
    "Spearman", "Packed Siege Units", "Tower", "Unknown", "Unpacked Siege Units", "Unknown", "Unknown", "Unknown", "Sheep", "King",
};

const std::array<AttributeName, 23> AttributeNames = {{
    {0, "HP"}, {1, "LOS"}, {2, "Max garrison"}, {5, "Move rate"}, {8, "Armor"}, {9, "Attack"},
    {10, "Rate of fire"}, {11, "Accuracy"}, {12, "Range"}, {13, "Work rate"}, {14, "Carry"},
    {19, "Accuracy2"}, {20, "Min range"}, {21, "Pop support"}, {22, "Attack radius"}, {23, "Search range"},
    {100, "Resource cost"}, {101, "Train time"}, {103, "Food cost"}, {104, "Wood cost"}, {105, "Stone cost"},
    {106, "Gold cost"}, {108, "Healing Rate"},
}};

std::string UnitClassName(std::int32_t unitClass)
{
    if (unitClass < 0 || unitClass >= UnitClassCount)
        return {};
    return UnitClassNames[static_cast<std::size_t>(unitClass)];
}

std::string GetAttributeName(std::int32_t kind, std::int32_t attribute)
{
    if (kind != UnitAttributeKind)
        return {};
    for (const AttributeName& a : AttributeNames)
        if (a.attribute == attribute)
            return a.text;
    return FormatText("Unknown %d", attribute);
}

} // namespace velmora
