// What differs between two parsed data files, as the viewer shows them: by tech index and
// by effect index, each field of the tech view and each effect line, for people (patch
// notes) and for scripts (JSON).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "data/GameTables.h"
#include "tools/dump/DumpFormats.h"
#include "views/EffectText.h"
#include "views/TechDetailView.h"

namespace velmora {

// One of the two files compared.
struct DiffSide {
    std::string path;
    const GameTables* tables = nullptr;
};

// Lines of the first list that the second lacks, and the other way round, each in its own
// order; lines both hold in the same order (their longest common run) are left out.
struct LineChanges {
    std::vector<std::string> removed;
    std::vector<std::string> added;
    bool Empty() const { return removed.empty() && added.empty(); }
};
LineChanges CompareLines(const std::vector<std::string>& before, const std::vector<std::string>& after);

struct TechChange {
    enum class Kind { Added, Removed, Changed };
    int index = 0;
    Kind kind = Kind::Changed;
    std::string nameBefore;  // the stored names, as the tech list shows them
    std::string nameAfter;
    TechDetailView viewBefore;
    TechDetailView viewAfter;
    std::vector<std::size_t> fields;  // the indices into TechFields of the fields that differ
    // The tech's effect lines old and new, when it shows another effect than before (a
    // change of the same effect is reported once, as an effect).
    LineChanges effectLines;
};

struct EffectChange {
    int index = 0;
    std::vector<int> usedBy;  // the techs of the new file (else the old) that show it
    LineChanges lines;
};

struct DumpDiff {
    DiffSide before;
    DiffSide after;
    std::vector<TechChange> techs;
    std::vector<EffectChange> effects;

    bool VersionDiffers() const;
    bool CountsDiffer() const;
    bool Empty() const { return !VersionDiffers() && !CountsDiffer() && techs.empty() && effects.empty(); }
};

// `filter` limits the comparison to its techs and to the effects they show.
DumpDiff CompareDumps(const DiffSide& before, const DiffSide& after, const StringLookup& lookup,
                      const TechFilter& filter = {});

void WriteDiffText(std::ostream& out, const DumpDiff& diff);
void WriteDiffJson(std::ostream& out, const DumpDiff& diff);

} // namespace velmora
