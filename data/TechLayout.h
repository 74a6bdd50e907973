// A tech record as the data file stores it: the fields below, packed in this order,
// little-endian, each as wide as its member; then the int16 length of the name and the
// name's bytes. The parser reads records by walking the fields, the data-file writer
// writes them the same way.
#pragma once

#include <cstdint>

#include "data/GameTables.h"

namespace velmora {

// Calls visit(field) for every stored field of `tech` in file order. Works on any record
// with TechRecord's members.
template <class Tech, class Visit>
constexpr void ForEachStoredTechField(Tech& tech, Visit&& visit)
{
    for (auto& required : tech.requiredTechs)
        visit(required);
    for (auto& cost : tech.cost) {
        visit(cost.type);
        visit(cost.amount);
        visit(cost.flag);
    }
    visit(tech.requiredTechFlag);
    visit(tech.civ);
    visit(tech.civFlag);
    visit(tech.location);
    visit(tech.nameStringId);
    visit(tech.helpStringId);
    visit(tech.researchTime);
    visit(tech.effectNo);
    visit(tech.unknown1);
    visit(tech.iconId);
    visit(tech.unknown2);
    visit(tech.buttonSlot);
    visit(tech.unknown3);
    visit(tech.unknown4);
    visit(tech.unknown5);
}

// Bytes the stored fields take (60); the name's length follows them. Counted when the
// program starts: clang 14 cannot make a std::string in a constant expression.
inline const std::int64_t StoredTechFieldsLength = [] {
    std::int64_t length = 0;
    const TechRecord tech;
    ForEachStoredTechField(tech, [&](const auto& field) { length += sizeof field; });
    return length;
}();

} // namespace velmora
