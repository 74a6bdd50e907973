// The effect notation: one English line per effect command.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/GameTables.h"

namespace velmora {

// Turns a language string id into its text ("" when no module holds it).
using StringLookup = std::function<std::string(std::int64_t id)>;

// The names the notation derives from the tables and the language modules.
class EffectNames {
public:
    EffectNames(const GameTables& tables, const StringLookup& lookup) : tables_(tables), lookup_(lookup) {}

    // Text of the name of unit u; "" for a unit id outside the table.
    std::string UnitName(std::int64_t unitId) const;
    // "ID:%d(%s)" for one unit, or "Class:%d(%s)" when data1 is -1.
    std::string Subject(const EffectCommand& command) const;
    // The language text of tech t's name, else its stored name; "" outside the techs.
    std::string TechName(std::int64_t tech) const;
    // The language text of tech t's name only; "" outside the techs.
    std::string LanguageTechName(std::int64_t tech) const;
    std::int32_t TechCount() const { return tables_.techCount; }

private:
    const GameTables& tables_;
    const StringLookup& lookup_;
};

// data4 truncated toward zero to a signed 32-bit number (held at the range's ends; NaN
// gives 0).
std::int32_t WholeAmount(float amount);

// An armor or attack amount holds a type number and a value: N / 256 and N % 256,
// both truncating, so the value has the sign of N.
struct SplitAmount {
    std::int32_t type;
    std::int32_t value;
};
SplitAmount Split(std::int32_t whole);

std::string RenderCommandLine(const EffectNames& names, const EffectCommand& command);
// The unit ids whose names the line of a command shows.
std::vector<std::int64_t> NamedUnits(const EffectCommand& command);

// The lines of effect n, line i for command i; none for an n outside the effects.
std::vector<std::string> RenderEffectLines(const GameTables& tables, const StringLookup& lookup, std::int64_t effectNo);

} // namespace velmora
