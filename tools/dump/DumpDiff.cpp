#include "tools/dump/DumpDiff.h"

#include <algorithm>
#include <set>

#include "tools/dump/JsonWriter.h"
#include "views/TableBounds.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

int TechCount(const DiffSide& side) { return ShownTechCount(*side.tables); }
int EffectCount(const DiffSide& side) { return ShownEffectCount(*side.tables); }
const TechRecord& Tech(const DiffSide& side, int k) { return side.tables->techs[static_cast<std::size_t>(k)]; }

std::vector<std::string> EffectLines(const DiffSide& side, const StringLookup& lookup, int effectNo)
{
    return RenderEffectLines(*side.tables, lookup, effectNo);
}

// The techs of a file that show effect n.
std::vector<int> UsersOf(const DiffSide& side, int n)
{
    std::vector<int> users;
    for (int k = 0; k < TechCount(side); ++k)
        if (Tech(side, k).effectNo == n)
            users.push_back(k);
    return users;
}

} // namespace

LineChanges CompareLines(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    // Longest common subsequence, then whatever it leaves out on either side.
    const std::size_t n = before.size();
    const std::size_t m = after.size();
    std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = before[i] == after[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    LineChanges changes;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && before[i] == after[j]) {
            ++i, ++j;
        } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
            changes.removed.push_back(before[i++]);
        } else {
            changes.added.push_back(after[j++]);
        }
    }
    return changes;
}

bool DumpDiff::VersionDiffers() const
{
    return before.tables->versionText != after.tables->versionText;
}

bool DumpDiff::CountsDiffer() const
{
    return before.tables->techCount != after.tables->techCount || before.tables->effectCount != after.tables->effectCount;
}

DumpDiff CompareDumps(const DiffSide& before, const DiffSide& after, const StringLookup& lookup, const TechFilter& filter)
{
    DumpDiff diff{before, after, {}, {}};

    // Effects by index; a tech whose effect changed in place leaves that change to the effect.
    std::set<int> shownEffects;
    for (int k = 0; k < std::max(TechCount(before), TechCount(after)); ++k) {
        if (!filter.Shows(k))
            continue;
        if (k < TechCount(before))
            shownEffects.insert(Tech(before, k).effectNo);
        if (k < TechCount(after))
            shownEffects.insert(Tech(after, k).effectNo);
    }
    for (int n = 0; n < std::max(EffectCount(before), EffectCount(after)); ++n) {
        if (!filter.only.empty() && !shownEffects.contains(n))
            continue;
        LineChanges lines = CompareLines(EffectLines(before, lookup, n), EffectLines(after, lookup, n));
        if (lines.Empty())
            continue;
        std::vector<int> users = UsersOf(after, n);
        if (users.empty())
            users = UsersOf(before, n);
        diff.effects.push_back({n, std::move(users), std::move(lines)});
    }

    for (int k = 0; k < std::max(TechCount(before), TechCount(after)); ++k) {
        if (!filter.Shows(k))
            continue;
        TechChange change;
        change.index = k;
        if (k >= TechCount(after)) {
            change.kind = TechChange::Kind::Removed;
            change.nameBefore = DisplayText(Tech(before, k).name);
            diff.techs.push_back(std::move(change));
            continue;
        }
        if (k >= TechCount(before)) {
            change.kind = TechChange::Kind::Added;
            change.nameAfter = DisplayText(Tech(after, k).name);
            diff.techs.push_back(std::move(change));
            continue;
        }
        const TechRecord& was = Tech(before, k);
        const TechRecord& is = Tech(after, k);
        change.nameBefore = DisplayText(was.name);
        change.nameAfter = DisplayText(is.name);
        change.viewBefore = DescribeTech(was, before.tables->unitNameIds, lookup);
        change.viewAfter = DescribeTech(is, after.tables->unitNameIds, lookup);
        for (std::size_t f = 0; f < TechFields.size(); ++f)
            if (change.viewBefore.fields[f] != change.viewAfter.fields[f])
                change.fields.push_back(f);
        // With the same effect number a change of its lines is the effect's, reported once.
        if (was.effectNo != is.effectNo)
            change.effectLines = CompareLines(EffectLines(before, lookup, was.effectNo), EffectLines(after, lookup, is.effectNo));
        if (change.nameBefore != change.nameAfter || !change.fields.empty() || !change.effectLines.Empty())
            diff.techs.push_back(std::move(change));
    }
    return diff;
}

namespace {

// What a row of the text dump shows for its fields [first, end): texts and list entries, a
// tick as [x]; empty boxes and lists and clear check boxes show nothing.
std::string GroupText(const TechDetailView& view, std::size_t first, std::size_t end)
{
    std::string text;
    for (std::size_t f = first; f < end; ++f) {
        const TechField& field = TechFields[f];
        const ShownField& shown = view.fields[f];
        std::string part;
        switch (ControlOf(field.form)) {
        case FieldControl::Box:
            part = shown.text.empty() ? std::string(field.dumpBlank) : shown.text;
            break;
        case FieldControl::List:
            part = shown.selection < 0 ? "none" : std::string(ListEntries(field.form)[static_cast<std::size_t>(shown.selection)]);
            break;
        case FieldControl::Check:
            part = shown.checked ? "[x]" : "";
            break;
        }
        if (!part.empty())
            text += (text.empty() ? "" : " ") + part;
    }
    return text.empty() ? "(empty)" : text;
}

void WriteLines(std::ostream& out, const LineChanges& lines, const char* indent)
{
    for (const std::string& line : lines.removed)
        out << indent << "- " << line << '\n';
    for (const std::string& line : lines.added)
        out << indent << "+ " << line << '\n';
}

void WriteFieldsText(std::ostream& out, const TechChange& change)
{
    // One row per caption, as the text dump groups the fields.
    for (std::size_t first = 0; first < TechFields.size();) {
        std::size_t end = first + 1;
        while (end < TechFields.size() && TechFields[end].caption.empty())
            ++end;
        if (std::any_of(change.fields.begin(), change.fields.end(), [&](std::size_t f) { return f >= first && f < end; }))
            out << "  " << TechFields[first].caption << ' ' << GroupText(change.viewBefore, first, end) << " -> "
                << GroupText(change.viewAfter, first, end) << '\n';
        first = end;
    }
}

const char* KindName(TechChange::Kind kind)
{
    switch (kind) {
    case TechChange::Kind::Added: return "added";
    case TechChange::Kind::Removed: return "removed";
    case TechChange::Kind::Changed: break;
    }
    return "changed";
}

} // namespace

void WriteDiffText(std::ostream& out, const DumpDiff& diff)
{
    if (diff.VersionDiffers())
        out << "version: " << DisplayText(diff.before.tables->versionText) << " -> " << DisplayText(diff.after.tables->versionText) << '\n';
    if (diff.before.tables->effectCount != diff.after.tables->effectCount)
        out << "effects: " << diff.before.tables->effectCount << " -> " << diff.after.tables->effectCount << '\n';
    if (diff.before.tables->techCount != diff.after.tables->techCount)
        out << "techs: " << diff.before.tables->techCount << " -> " << diff.after.tables->techCount << '\n';

    // Every changed tech, and every tech that shows a changed effect; an effect's lines
    // stand under the first tech that shows it.
    std::set<int> written;
    std::vector<int> listed;
    for (const TechChange& t : diff.techs)
        listed.push_back(t.index);
    for (const EffectChange& e : diff.effects)
        listed.insert(listed.end(), e.usedBy.begin(), e.usedBy.end());
    std::sort(listed.begin(), listed.end());
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
    for (const int k : listed) {
        const auto change = std::find_if(diff.techs.begin(), diff.techs.end(), [k](const TechChange& t) { return t.index == k; });
        const bool isChange = change != diff.techs.end();
        const std::string name = isChange ? (change->kind == TechChange::Kind::Removed ? change->nameBefore : change->nameAfter)
                                          : DisplayText(diff.after.tables->techs[static_cast<std::size_t>(k)].name);
        out << FormatText("tech %03d ", k) << name;
        if (isChange && change->kind != TechChange::Kind::Changed) {
            out << ": " << KindName(change->kind) << '\n';
            continue;
        }
        out << '\n';
        if (isChange) {
            if (change->nameBefore != change->nameAfter)
                out << "  Name: " << change->nameBefore << " -> " << change->nameAfter << '\n';
            WriteFieldsText(out, *change);
            if (!change->effectLines.Empty()) {
                out << "  effect lines\n";
                WriteLines(out, change->effectLines, "    ");
            }
        }
        for (const EffectChange& e : diff.effects) {
            if (std::find(e.usedBy.begin(), e.usedBy.end(), k) == e.usedBy.end())
                continue;
            if (written.insert(e.index).second) {
                out << "  effect " << e.index << '\n';
                WriteLines(out, e.lines, "    ");
            } else {
                out << "  effect " << e.index << FormatText(": as under tech %03d\n", e.usedBy.front());
            }
        }
    }
    for (const EffectChange& e : diff.effects) {
        if (written.contains(e.index) || !e.usedBy.empty())
            continue;
        out << "effect " << e.index << " (shown by no tech)\n";
        WriteLines(out, e.lines, "  ");
    }
}

namespace {

void WriteSide(JsonWriter& json, const DiffSide& side)
{
    json.BeginObject();
    json.Member("path", side.path);
    json.Member("versionText", DisplayText(side.tables->versionText));
    json.Member("techCount", side.tables->techCount);
    json.Member("effectCount", side.tables->effectCount);
    json.EndObject();
}

void WriteLinesJson(JsonWriter& json, const LineChanges& lines)
{
    json.BeginObject();
    json.Member("removed", lines.removed);
    json.Member("added", lines.added);
    json.EndObject();
}

} // namespace

void WriteDiffJson(std::ostream& out, const DumpDiff& diff)
{
    JsonWriter json(out);
    json.BeginObject();
    json.Key("old");
    WriteSide(json, diff.before);
    json.Key("new");
    WriteSide(json, diff.after);
    json.Key("techs");
    json.BeginArray();
    for (const TechChange& t : diff.techs) {
        json.BeginObject();
        json.Member("index", t.index);
        json.Member("change", KindName(t.kind));
        json.Key("name");
        json.BeginObject();
        if (t.kind != TechChange::Kind::Added)
            json.Member("old", t.nameBefore);
        if (t.kind != TechChange::Kind::Removed)
            json.Member("new", t.nameAfter);
        json.EndObject();
        if (!t.fields.empty()) {
            json.Key("fields");
            json.BeginObject();
            for (const std::size_t f : t.fields) {
                json.Key(TechFields[f].member);
                json.BeginObject();
                json.Key("old");
                WriteFieldJson(json, TechFields[f], t.viewBefore.fields[f]);
                json.Key("new");
                WriteFieldJson(json, TechFields[f], t.viewAfter.fields[f]);
                json.EndObject();
            }
            json.EndObject();
        }
        if (!t.effectLines.Empty()) {
            json.Key("effectLines");
            WriteLinesJson(json, t.effectLines);
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("effects");
    json.BeginArray();
    for (const EffectChange& e : diff.effects) {
        json.BeginObject();
        json.Member("index", e.index);
        json.Member("usedBy", e.usedBy);
        json.Key("lines");
        WriteLinesJson(json, e.lines);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

} // namespace velmora
