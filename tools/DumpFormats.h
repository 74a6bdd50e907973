// The dump tool's three renderings of a parsed data file: text, JSON and a Graphviz graph.
#pragma once

#include <ostream>

#include "views/EffectText.h"
#include "data/GameTables.h"

namespace velmora {

void WriteDumpText(std::ostream& out, const GameTables& tables, const StringLookup& lookup);
void WriteDumpJson(std::ostream& out, const GameTables& tables, const StringLookup& lookup);
void WriteDumpDot(std::ostream& out, const GameTables& tables);

// The shortest decimal text that reads back to the same single-precision value.
std::string ShortestFloatText(float value);

} // namespace velmora
