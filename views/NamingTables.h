// The fixed names the effect notation uses for unit classes and unit attributes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

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
