// What the effect dialog shows of one effect command: the entry of its type list and the
// texts of its four boxes. Shared by the dialog (editor/) and the browser edition (web/).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/GameTables.h"

namespace velmora {

// The type list's entries, in their order.
inline constexpr std::array<std::string_view, 10> EffectTypeNames = {
    "00:Enhance =",    "01:Civ head", "02:Enable Unit",   "03:Upgrade Unit",        "04:Enhance +/-",
    "05:Enhance *",    "06:Else",     "101:Cost of Tech", "102:Tech Tree Disable", "103:Get Tech Free",
};

// The position of a command type's entry in the type list: types 0 to 6 are at their
// own positions, 101 to 103 at 7 to 9; any other type has no entry (-1).
std::int8_t EffectTypeListPosition(std::int8_t type);

struct EffectCommandBoxes {
    std::int8_t typeIndex;  // the type list's selected entry, -1 for none
    std::string type;       // its text, "" for none
    std::string data1, data2, data3;  // "%d"
    std::string data4;      // "%f"
};
EffectCommandBoxes DescribeEffectCommand(const EffectCommand& command);

} // namespace velmora
