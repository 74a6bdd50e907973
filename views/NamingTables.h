// The fixed names the views use: the entries of the resource and civilization drop-down
// lists, and the names the effect notation gives unit classes and unit attributes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The drop-down lists' entries, in their fixed positions; the dialog template fills the
// lists with them.
inline constexpr std::string_view ResourceNames[] = {"", "Food", "Wood", "Stone", "Gold"};
inline constexpr std::string_view CivNames[] = {
    "", "Briton", "Frank", "Cothic", "Teutonic", "Japanese", "Chinese", "Byzantine", "Persian", "Saracen",
    "Turkish", "Viking", "Mongol", "Celtic", "Spanish", "Aztec", "Mayan", "Hun", "Korean",
};

inline constexpr int UnitClassCount = 60;
extern const std::array<const char*, UnitClassCount> UnitClassNames;

// Name of unit class c, or "" outside the table.
std::string UnitClassName(std::int32_t unitClass);

// The attribute kind every caller passes.
inline constexpr std::int32_t UnitAttributeKind = 1;

// With kind 1: the attribute's name, or "Unknown %d" for a number without one. With any
// other kind: "".
std::string GetAttributeName(std::int32_t kind, std::int32_t attribute);

struct AttributeName {
    std::int32_t attribute;
    const char* text;
};
extern const std::array<AttributeName, 23> AttributeNames;

} // namespace velmora
