// How far the views read the tables: the counts held, read as none when negative and
// never beyond the capacities, whatever a file announced.
#pragma once

#include <algorithm>

#include "data/GameTables.h"

namespace velmora {

// Techs the tech list shows (line k is tech k).
inline int ShownTechCount(const GameTables& tables) { return std::clamp<int>(tables.techCount, 0, MaxTechs); }
// Effects a reader may index.
inline int ShownEffectCount(const GameTables& tables) { return std::clamp<int>(tables.effectCount, 0, MaxEffects); }
// Commands of one effect (line i of the effect list is command i).
inline int ShownCommandCount(const EffectRecord& effect) { return std::clamp<int>(effect.commandCount, 0, MaxEffectCommands); }

} // namespace velmora
