// The stored layout of a decompressed data file, every record described once: the parser
// reads records and the data-file writer writes them by walking the descriptions below.
//
// Numbers are little-endian and packed without alignment. A walk visits a record's parts
// in file order and calls its walker for each:
//   bool Field(T& value)               a stored number as wide as T (an integer, or float
//                                      for an IEEE single)
//   bool Skip(Part part, int64 count)  count bytes that the parser does not read
//   bool Text(S& text, int64 count)    count bytes of text, which ends at its first NUL
//   bool StoredFields(Tech& tech)      the stored fields of a tech record, one after
//                                      another (ForEachStoredTechField, which names them)
//   bool UnitType(bool known)          told after a unit record's type whether it is one
//                                      of the unit types
// A walker returns false to stop the walk; the walk then returns false. Counts and lengths
// that a file gives as negative count as nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "data/GameTables.h"

namespace velmora {

constexpr std::int64_t StoredCount(std::int64_t n) { return std::max<std::int64_t>(n, 0); }

// The outline: the version field; the effect count and the effect records, the first of
// which begins with EffectsAnchor; the civilization count and the civilization records
// with their unit records, the first named CivsAnchor; the tech count and the tech records.
// Bytes between the parts are not read.
inline constexpr std::int64_t VersionFieldLength = 8;  // the version text, NUL-terminated within
inline constexpr std::string_view EffectsAnchor = "CHUN4";
inline constexpr std::string_view CivsAnchor = "Gaia";
using EffectCountField = std::int32_t;
using CivCountField = std::int16_t;
using TechCountField = std::int16_t;

// What the bytes a walk skips hold, for the writer, which fills them as the game does.
enum class Part {
    Unused,        // nothing of note: zeros
    EffectHead,    // an effect record's head; the first one's begins with EffectsAnchor
    CivHead,       // a byte, then the civilization's name
    CivResources,  // the civilization's resource entries, 4 bytes each
    CivUnitTable,  // its unit table, 4 bytes a unit
    UnitName,      // the unit's name
};

// Effect record: a head of 31 bytes, the int16 command count n, then n command records.
inline constexpr std::int64_t EffectHeadLength = 31;

struct StoredEffect {
    std::int16_t commandCount = 0;
};

template <class Effect, class Walker>
bool WalkEffectHead(Effect& effect, Walker& walker)
{
    return walker.Skip(Part::EffectHead, EffectHeadLength) && walker.Field(effect.commandCount);
}

// Command record: one EffectCommand.
template <class Command, class Walker>
bool WalkCommand(Command& command, Walker& walker)
{
    return walker.Field(command.type) && walker.Field(command.data1) && walker.Field(command.data2) &&
           walker.Field(command.data3) && walker.Field(command.data4);
}

// Civilization record, up to its unit records, which follow it.
inline constexpr std::int64_t CivHeadLength = 21;
inline constexpr std::int64_t CivNameAt = 1;  // in the head

struct StoredCiv {
    std::int16_t resourceCount = 0;
    std::int16_t unitCount = 0;
};

template <class Civ, class Walker>
bool WalkCivRecord(Civ& civ, Walker& walker)
{
    return walker.Skip(Part::CivHead, CivHeadLength) && walker.Field(civ.resourceCount) && walker.Skip(Part::Unused, 5) &&
           walker.Skip(Part::CivResources, 4 * StoredCount(civ.resourceCount)) && walker.Field(civ.unitCount) &&
           walker.Skip(Part::CivUnitTable, 4 * StoredCount(civ.unitCount));
}

// Unit record: a common part, then a tail that depends on the unit's type.
struct StoredUnit {
    std::int8_t type = 0;
    std::int16_t nameLength = 0;
    std::int16_t id = 0;
    std::int16_t nameStringId = 0;  // language string id of the unit's name
    std::int8_t k = 0;              // entries of 5 bytes in the common part
    std::int16_t a = 0;             // entries of 4 bytes in the two lists of a long tail
    std::int16_t b = 0;
};

// The unit types and their tails: `fixed` bytes; then, in a long tail, the int16 a, 4·a
// bytes, the int16 b, 4·b bytes and `after` bytes.
struct UnitTail {
    std::int8_t type;
    std::int64_t fixed;
    bool lists;
    std::int64_t after;
};

inline constexpr UnitTail UnitTails[] = {
    {10, 0, false, 0}, {20, 4, false, 0}, {25, 4, false, 0}, {30, 41, false, 0},
    {60, 63, true, 65}, {70, 63, true, 121}, {80, 63, true, 203},
};

constexpr const UnitTail* FindUnitTail(std::int8_t type)
{
    const auto* found = std::find_if(std::begin(UnitTails), std::end(UnitTails), [&](const UnitTail& t) { return t.type == type; });
    return found == std::end(UnitTails) ? nullptr : found;
}

template <class Unit, class Walker>
bool WalkUnitRecord(Unit& unit, Walker& walker)
{
    if (!walker.Field(unit.type))
        return false;
    const UnitTail* tail = FindUnitTail(unit.type);
    if (!walker.UnitType(tail != nullptr))
        return false;
    const bool common = walker.Field(unit.nameLength) && walker.Field(unit.id) && walker.Field(unit.nameStringId) &&
                        walker.Skip(Part::Unused, 142) && walker.Field(unit.k) && walker.Skip(Part::Unused, 6 + 5 * StoredCount(unit.k)) &&
                        walker.Skip(Part::UnitName, StoredCount(unit.nameLength)) && walker.Skip(Part::Unused, 4);
    if (!common || !tail)  // a record of another type has no tail the layout knows
        return common;
    if (!walker.Skip(Part::Unused, tail->fixed))
        return false;
    return !tail->lists || (walker.Field(unit.a) && walker.Skip(Part::Unused, 4 * StoredCount(unit.a)) && walker.Field(unit.b) &&
                            walker.Skip(Part::Unused, 4 * StoredCount(unit.b)) && walker.Skip(Part::Unused, tail->after));
}

// Tech record: the stored fields of a TechRecord, the int16 name length N, then N bytes of
// name. ForEachStoredTechField calls visit(field, name) for every stored field of `tech` in
// file order; it works on any record with TechRecord's members. The name is the member's,
// and for the elements of its two arrays the position (from 0) and, in a cost, the cost
// record's member: the JSON dump writes a tech's stored fields by these names.
struct StoredName {
    std::string_view member;
    int index = -1;              // -1: no array element
    std::string_view part = {};  // an element's member; empty for a number
};

template <class Tech, class Visit>
constexpr void ForEachStoredTechField(Tech& tech, Visit&& visit)
{
    for (int i = 0; i < static_cast<int>(tech.requiredTechs.size()); ++i)
        visit(tech.requiredTechs[static_cast<std::size_t>(i)], StoredName{"requiredTechs", i});
    for (int i = 0; i < static_cast<int>(tech.cost.size()); ++i) {
        auto& cost = tech.cost[static_cast<std::size_t>(i)];
        visit(cost.type, StoredName{"cost", i, "type"});
        visit(cost.amount, StoredName{"cost", i, "amount"});
        visit(cost.flag, StoredName{"cost", i, "flag"});
    }
    visit(tech.requiredTechFlag, StoredName{"requiredTechFlag"});
    visit(tech.civ, StoredName{"civ"});
    visit(tech.civFlag, StoredName{"civFlag"});
    visit(tech.location, StoredName{"location"});
    visit(tech.nameStringId, StoredName{"nameStringId"});
    visit(tech.helpStringId, StoredName{"helpStringId"});
    visit(tech.researchTime, StoredName{"researchTime"});
    visit(tech.effectNo, StoredName{"effectNo"});
    visit(tech.unknown1, StoredName{"unknown1"});
    visit(tech.iconId, StoredName{"iconId"});
    visit(tech.unknown2, StoredName{"unknown2"});
    visit(tech.buttonSlot, StoredName{"buttonSlot"});
    visit(tech.unknown3, StoredName{"unknown3"});
    visit(tech.unknown4, StoredName{"unknown4"});
    visit(tech.unknown5, StoredName{"unknown5"});
}

// Bytes the stored fields take (60). Counted when the program starts: clang 14 cannot
// make a std::string in a constant expression.
inline const std::int64_t StoredTechFieldsLength = [] {
    std::int64_t length = 0;
    const TechRecord tech;
    ForEachStoredTechField(tech, [&](const auto& field, StoredName) { length += sizeof field; });
    return length;
}();

template <class Tech, class Length, class Walker>
bool WalkTechRecord(Tech& tech, Length& nameLength, Walker& walker)
{
    return walker.StoredFields(tech) && walker.Field(nameLength) && walker.Text(tech.name, StoredCount(nameLength));
}

} // namespace velmora
