// What differs between two parsed data files: by tech index and by effect index, each field
// of the tech view and each effect line as the viewer shows them, and beside them every
// value the parser keeps, compared as stored, so that a change the rendering hides is still
// told. For people (patch notes as text or Markdown) and for scripts (JSON).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/GameTables.h"
#include "export/DumpFormats.h"
#include "views/EffectText.h"
#include "views/TechDetailView.h"

namespace velmora {

// One of the two files compared.
struct DiffSide {
    std::string path;
    const GameTables* tables = nullptr;
};

// Items of the first list that the second lacks, and the other way round, each in its own
// order; items both hold in the same order (their longest common run) are left out.
template <class T>
struct Changes {
    std::vector<T> removed;
    std::vector<T> added;
    bool Empty() const { return removed.empty() && added.empty(); }
};
using LineChanges = Changes<std::string>;
LineChanges CompareLines(const std::vector<std::string>& before, const std::vector<std::string>& after);

// Commands compared by their stored values, bit for bit.
using CommandChanges = Changes<EffectCommand>;

// A command whose stored values changed while its line reads the same.
struct HiddenCommandChange {
    std::string line;
    EffectCommand before;
    EffectCommand after;
};

struct TechChange {
    enum class Kind { Added, Removed, Changed };
    int index = 0;
    Kind kind = Kind::Changed;
    std::string nameBefore;  // the stored names, as the tech list shows them
    std::string nameAfter;
    bool nameBytesDiffer = false;  // the names as stored
    TechDetailView viewBefore;
    TechDetailView viewAfter;
    std::vector<std::size_t> fields;  // the indices into TechFields of the shown fields that differ
    std::vector<std::size_t> stored;  // those of the stored values that differ
    // The tech's effect lines old and new, when it shows another effect than before (a
    // change of the same effect is reported once, as an effect).
    LineChanges effectLines;
    // The changed effect the tech shows (in the new file; a removed tech's in the old), or -1.
    int effect = -1;
};

struct EffectChange {
    int index = 0;
    std::vector<int> usedBy;  // the techs compared that show it in the new file, else in the old
    LineChanges lines;
    CommandChanges commands;
    std::vector<HiddenCommandChange> hidden;
};

// An entry of the unit table, which names the units of locations and effect lines.
struct UnitNameChange {
    int unit = 0;
    std::int32_t before = 0;
    std::int32_t after = 0;
};

// A count as the file gives it, and as the viewer shows it (no number when nothing shows it).
struct CountChange {
    const char* what;
    std::int32_t before;
    std::int32_t after;
    std::int32_t shownBefore;
    std::int32_t shownAfter;
    bool shown;
};

struct DumpDiff {
    DiffSide before;
    DiffSide after;
    std::vector<TechChange> techs;
    std::vector<EffectChange> effects;
    std::vector<UnitNameChange> units;

    bool VersionDiffers() const;
    std::vector<CountChange> CountChanges() const;
    bool Empty() const { return !VersionDiffers() && CountChanges().empty() && techs.empty() && effects.empty() && units.empty(); }
};

// `filter` limits the comparison to its techs, the effects they show and the units those
// name.
DumpDiff CompareDumps(const DiffSide& before, const DiffSide& after, const StringLookup& lookup,
                      const TechFilter& filter = {});

void WriteDiffText(std::ostream& out, const DumpDiff& diff);
void WriteDiffJson(std::ostream& out, const DumpDiff& diff);
// Patch notes to paste where Markdown is read: a section for changed, added and removed
// techs, a heading for each changed tech, "old → new" for each field.
void WriteDiffMarkdown(std::ostream& out, const DumpDiff& diff);

// The comparison's renderings by their names: "text", "json" and "markdown"; nothing for any
// other name.
enum class DiffFormat { Text, Json, Markdown };
std::optional<DiffFormat> DiffFormatNamed(std::string_view name);
void WriteDiff(std::ostream& out, DiffFormat format, const DumpDiff& diff);

// The stored values of a command, "type T data D1 D2 D3 D4", and those of the command it
// became after " -> " (without its type when that is the same); the amounts as "%f" unless
// that shows no difference.
std::string CommandValueChange(const EffectCommand& before, const EffectCommand& after);
// Stored bytes as printable ASCII: a backslash as \\, every other byte outside ' ' to '~' as
// \xHH.
std::string StoredBytes(std::string_view bytes);

} // namespace velmora
