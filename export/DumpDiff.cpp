#include "export/DumpDiff.h"

#include <algorithm>
#include <bit>
#include <set>
#include <utility>

#include "export/JsonWriter.h"
#include "host/Text.h"
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

std::vector<EffectCommand> EffectCommands(const DiffSide& side, int n)
{
    if (n < 0 || n >= EffectCount(side))
        return {};
    const EffectRecord& effect = side.tables->effects[static_cast<std::size_t>(n)];
    return {effect.commands.begin(), effect.commands.begin() + ShownCommandCount(effect)};
}

// Bit for bit: a NaN amount equals itself, and 0 and -0 differ.
bool SameStored(const EffectCommand& a, const EffectCommand& b)
{
    return a.type == b.type && a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::bit_cast<std::uint32_t>(a.data4) == std::bit_cast<std::uint32_t>(b.data4);
}

// Longest common subsequence, then whatever it leaves out on either side.
template <class T, class Same>
Changes<T> CompareSequences(const std::vector<T>& before, const std::vector<T>& after, Same same)
{
    const std::size_t n = before.size();
    const std::size_t m = after.size();
    std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = same(before[i], after[j]) ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    Changes<T> changes;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && same(before[i], after[j])) {
            ++i, ++j;
        } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
            changes.removed.push_back(before[i++]);
        } else {
            changes.added.push_back(after[j++]);
        }
    }
    return changes;
}

// Whether a tech shows a changed effect, and whether the effect's lines stand under it: under
// the first of the techs that show it, each one listed after those before it.
bool Shows(const EffectChange& e, int k)
{
    return std::find(e.usedBy.begin(), e.usedBy.end(), k) != e.usedBy.end();
}
bool LinesStandUnder(const EffectChange& e, int k)
{
    return e.usedBy.front() == k;
}
bool ShownByNoTech(const EffectChange& e)
{
    return e.usedBy.empty();
}

// The techs compared that show effect n in a file.
std::vector<int> UsersOf(const DiffSide& side, int n, const TechFilter& filter)
{
    std::vector<int> users;
    for (int k = 0; k < TechCount(side); ++k)
        if (Tech(side, k).effectNo == n && filter.Shows(k))
            users.push_back(k);
    return users;
}

// The commands removed and added that read as the same line: their stored values changed.
std::vector<HiddenCommandChange> HiddenChanges(const CommandChanges& commands, const EffectNames& before, const EffectNames& after)
{
    std::vector<HiddenCommandChange> hidden;
    std::vector<std::string> addedLines;
    for (const EffectCommand& is : commands.added)
        addedLines.push_back(RenderCommandLine(after, is));
    std::vector<bool> paired(commands.added.size(), false);
    for (const EffectCommand& was : commands.removed) {
        const std::string line = RenderCommandLine(before, was);
        for (std::size_t j = 0; j < commands.added.size(); ++j)
            if (!paired[j] && addedLines[j] == line) {
                paired[j] = true;
                hidden.push_back({line, was, commands.added[j]});
                break;
            }
    }
    return hidden;
}

// The units whose names the chosen techs show: their locations and the units their
// effects' lines name.
std::set<int> UnitsShown(const DiffSide& side, const std::set<int>& effects, const TechFilter& filter)
{
    std::set<int> units;
    for (int k = 0; k < TechCount(side); ++k)
        if (filter.Shows(k))
            units.insert(Tech(side, k).location);
    for (const int n : effects)
        for (const EffectCommand& c : EffectCommands(side, n))
            for (const std::int64_t u : NamedUnits(c))
                units.insert(static_cast<int>(u));
    return units;
}

} // namespace

LineChanges CompareLines(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    return CompareSequences(before, after, std::equal_to<>());
}

bool DumpDiff::VersionDiffers() const
{
    return before.tables->versionText != after.tables->versionText;
}

std::vector<CountChange> DumpDiff::CountChanges() const
{
    const GameTables& b = *before.tables;
    const GameTables& a = *after.tables;
    const CountChange all[] = {
        {"effects", b.fileEffectCount, a.fileEffectCount, ShownEffectCount(b), ShownEffectCount(a), true},
        {"techs", b.fileTechCount, a.fileTechCount, ShownTechCount(b), ShownTechCount(a), true},
        {"civilizations", b.fileCivCount, a.fileCivCount, 0, 0, false},
    };
    std::vector<CountChange> changes;
    for (const CountChange& c : all)
        if (c.before != c.after)
            changes.push_back(c);
    return changes;
}

DumpDiff CompareDumps(const DiffSide& before, const DiffSide& after, const StringLookup& lookup, const TechFilter& filter)
{
    DumpDiff diff{before, after, {}, {}, {}};
    const EffectNames namesBefore(*before.tables, lookup);
    const EffectNames namesAfter(*after.tables, lookup);

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
        EffectChange change{n, {}, CompareLines(EffectLines(before, lookup, n), EffectLines(after, lookup, n)),
                            CompareSequences(EffectCommands(before, n), EffectCommands(after, n), SameStored), {}};
        if (change.lines.Empty() && change.commands.Empty())
            continue;
        change.hidden = HiddenChanges(change.commands, namesBefore, namesAfter);
        change.usedBy = UsersOf(after, n, filter);
        if (change.usedBy.empty())
            change.usedBy = UsersOf(before, n, filter);
        diff.effects.push_back(std::move(change));
    }

    for (int k = 0; k < std::max(TechCount(before), TechCount(after)); ++k) {
        if (!filter.Shows(k))
            continue;
        TechChange change;
        change.index = k;
        // The changed effect it shows: in the new file where it shows one there.
        for (const EffectChange& e : diff.effects)
            if (Shows(e, k) && (change.effect < 0 || (k < TechCount(after) && Tech(after, k).effectNo == e.index)))
                change.effect = e.index;
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
        change.nameBytesDiffer = was.name != is.name;
        change.viewBefore = DescribeTech(was, before.tables->unitNameIds, lookup);
        change.viewAfter = DescribeTech(is, after.tables->unitNameIds, lookup);
        for (std::size_t f = 0; f < TechFields.size(); ++f) {
            if (change.viewBefore.fields[f] != change.viewAfter.fields[f])
                change.fields.push_back(f);
            if (!TechFields[f].stored.empty() && TechFields[f].value(was) != TechFields[f].value(is))
                change.stored.push_back(f);
        }
        // With the same effect number a change of its lines is the effect's, reported once.
        if (was.effectNo != is.effectNo)
            change.effectLines = CompareLines(EffectLines(before, lookup, was.effectNo), EffectLines(after, lookup, is.effectNo));
        if (change.nameBytesDiffer || !change.stored.empty() || !change.fields.empty() || !change.effectLines.Empty() ||
            change.effect >= 0)
            diff.techs.push_back(std::move(change));
    }

    // Without a filter every entry of the unit table; with one, the units the chosen techs show.
    std::set<int> units;
    if (!filter.only.empty()) {
        units = UnitsShown(before, shownEffects, filter);
        units.merge(UnitsShown(after, shownEffects, filter));
    }
    for (int u = 0; u < MaxUnitIds; ++u)
        if (before.tables->unitNameIds[u] != after.tables->unitNameIds[u] && (filter.only.empty() || units.contains(u)))
            diff.units.push_back({u, before.tables->unitNameIds[u], after.tables->unitNameIds[u]});
    return diff;
}

std::string StoredBytes(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        if (c == '\\')
            out += "\\\\";
        else if (c >= ' ' && c <= '~')
            out += c;
        else
            out += FormatText("\\x%02x", static_cast<unsigned char>(c));
    }
    return out;
}

std::string CommandValueChange(const EffectCommand& before, const EffectCommand& after)
{
    // Amounts as the usual six decimals; where those read the same for different amounts,
    // as their shortest exact texts; where even those do (two NaNs), as their bits.
    const bool amountsDiffer = std::bit_cast<std::uint32_t>(before.data4) != std::bit_cast<std::uint32_t>(after.data4);
    std::string amountBefore = FormatText("%f", static_cast<double>(before.data4));
    std::string amountAfter = FormatText("%f", static_cast<double>(after.data4));
    if (amountsDiffer && amountBefore == amountAfter) {
        amountBefore = ShortestFloatText(before.data4);
        amountAfter = ShortestFloatText(after.data4);
    }
    if (amountsDiffer && amountAfter == amountBefore) {
        amountBefore = FormatText("0x%08x", std::bit_cast<std::uint32_t>(before.data4));
        amountAfter = FormatText("0x%08x", std::bit_cast<std::uint32_t>(after.data4));
    }
    const std::string typed = FormatText("type %d data ", before.type);
    return typed + FormatText("%d %d %d ", before.data1, before.data2, before.data3) + amountBefore + " -> " +
           (after.type == before.type ? "" : FormatText("type %d data ", after.type)) +
           FormatText("%d %d %d ", after.data1, after.data2, after.data3) + amountAfter;
}

namespace {

// How the notes are written: the arrow between old and new, and a text from a file as it
// may stand in the notes. Text is for terminals, Markdown for pasting.
struct NotesStyle {
    const char* arrow;
    std::string (*text)(std::string_view);
    // A stored value (a member's name, raw bytes or values) set apart from the text.
    std::string (*value)(std::string_view);
    // An effect line, and what stands before it when it was removed, added, or reads the
    // same while its command's stored values changed.
    std::string (*line)(std::string_view);
    const char* removed;
    const char* added;
    const char* hidden;
};

void WriteLines(std::ostream& out, const LineChanges& lines, const std::string& indent, const NotesStyle& style)
{
    for (const std::string& line : lines.removed)
        out << indent << style.removed << style.line(line) << '\n';
    for (const std::string& line : lines.added)
        out << indent << style.added << style.line(line) << '\n';
}

void WriteEffect(std::ostream& out, const EffectChange& e, const std::string& indent, const NotesStyle& style)
{
    WriteLines(out, e.lines, indent, style);
    for (const HiddenCommandChange& h : e.hidden)
        out << indent << style.hidden << style.line(h.line) << " (stored " << style.value(CommandValueChange(h.before, h.after)) << ")\n";
}

std::string AsIs(std::string_view text) { return std::string(text); }

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

std::string StoredValue(const DumpDiff& diff, std::size_t f, const TechChange& change, const NotesStyle& style)
{
    const TechField& field = TechFields[f];
    return style.value(field.stored) + " " + FormatNumber(field.value(Tech(diff.before, change.index))) + " " + style.arrow + " " +
           FormatNumber(field.value(Tech(diff.after, change.index)));
}

// The rows of a changed tech: "Name: old -> new", then one per caption as the text dump
// groups the fields, old -> new where what they show changed, and in brackets the stored
// values that changed where it does not show.
std::vector<std::string> TechRows(const DumpDiff& diff, const TechChange& change, const NotesStyle& style)
{
    std::vector<std::string> rows;
    const auto& text = style.text;
    if (change.nameBefore != change.nameAfter)
        rows.push_back("Name: " + text(change.nameBefore) + " " + style.arrow + " " + text(change.nameAfter));
    else if (change.nameBytesDiffer)
        rows.push_back("Name: " + text(change.nameAfter) + " (stored bytes " + style.value(StoredBytes(Tech(diff.before, change.index).name)) +
                       " " + style.arrow + " " + style.value(StoredBytes(Tech(diff.after, change.index).name)) + ")");
    const auto within = [](const std::vector<std::size_t>& list, std::size_t first, std::size_t end) {
        return std::any_of(list.begin(), list.end(), [&](std::size_t f) { return f >= first && f < end; });
    };
    for (std::size_t first = 0; first < TechFields.size();) {
        std::size_t end = first + 1;
        while (end < TechFields.size() && TechFields[end].caption.empty())
            ++end;
        std::string hidden;
        for (const std::size_t f : change.stored)
            if (f >= first && f < end && !within(change.fields, f, f + 1))
                hidden += (hidden.empty() ? " (stored " : ", ") + StoredValue(diff, f, change, style);
        if (within(change.fields, first, end) || !hidden.empty()) {
            std::string row = std::string(TechFields[first].caption) + " " + text(GroupText(change.viewBefore, first, end));
            if (within(change.fields, first, end))
                row += std::string(" ") + style.arrow + " " + text(GroupText(change.viewAfter, first, end));
            rows.push_back(row + hidden + (hidden.empty() ? "" : ")"));
        }
        first = end;
    }
    return rows;
}

// "old -> new", and what the viewer shows beside it where that is another number.
std::string CountText(const CountChange& c, const char* arrow)
{
    std::string text = FormatText("%d %s %d", c.before, arrow, c.after);
    if (c.shown && (c.shownBefore != c.before || c.shownAfter != c.after))
        text += FormatText(" (shown %d %s %d)", c.shownBefore, arrow, c.shownAfter);
    return text;
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

// The techs the notes list, in index order: every changed tech and every tech that shows
// a changed effect.
std::vector<int> ListedTechs(const DumpDiff& diff)
{
    std::set<int> listed;
    for (const TechChange& t : diff.techs)
        listed.insert(t.index);
    for (const EffectChange& e : diff.effects)
        listed.insert(e.usedBy.begin(), e.usedBy.end());
    return {listed.begin(), listed.end()};
}

const TechChange* TechChangeOf(const DumpDiff& diff, int k)
{
    const auto found = std::find_if(diff.techs.begin(), diff.techs.end(), [k](const TechChange& t) { return t.index == k; });
    return found != diff.techs.end() ? &*found : nullptr;
}

// A tech's stored name as the tech list shows it, from the file that holds the tech.
std::string TechName(const DumpDiff& diff, int k)
{
    return DisplayText(k < TechCount(diff.after) ? Tech(diff.after, k).name : Tech(diff.before, k).name);
}

constexpr NotesStyle TextStyle{"->", Visible, AsIs, Visible, "- ", "+ ", "~ "};

} // namespace

void WriteDiffText(std::ostream& out, const DumpDiff& diff)
{
    if (diff.VersionDiffers())
        out << "version: " << Visible(DisplayText(diff.before.tables->versionText)) << " -> "
            << Visible(DisplayText(diff.after.tables->versionText)) << '\n';
    for (const CountChange& c : diff.CountChanges())
        out << c.what << ": " << CountText(c, "->") << '\n';

    for (const int k : ListedTechs(diff)) {
        const TechChange* change = TechChangeOf(diff, k);
        out << FormatText("tech %03d ", k) << Visible(TechName(diff, k));
        if (change != nullptr && change->kind != TechChange::Kind::Changed)
            out << ": " << KindName(change->kind);
        out << '\n';
        if (change != nullptr && change->kind == TechChange::Kind::Changed) {
            for (const std::string& row : TechRows(diff, *change, TextStyle))
                out << "  " << row << '\n';
            if (!change->effectLines.Empty()) {
                out << "  effect lines\n";
                WriteLines(out, change->effectLines, "    ", TextStyle);
            }
        }
        for (const EffectChange& e : diff.effects) {
            if (!Shows(e, k))
                continue;
            if (LinesStandUnder(e, k)) {
                out << "  effect " << e.index << '\n';
                WriteEffect(out, e, "    ", TextStyle);
            } else {
                out << "  effect " << e.index << FormatText(": as under tech %03d\n", e.usedBy.front());
            }
        }
    }
    for (const EffectChange& e : diff.effects) {
        if (!ShownByNoTech(e))
            continue;
        out << "effect " << e.index << " (shown by no tech)\n";
        WriteEffect(out, e, "  ", TextStyle);
    }
    for (const UnitNameChange& u : diff.units)
        out << "unit " << u.unit << " name string id: " << u.before << " -> " << u.after << '\n';
}

namespace {

// A code span, fenced by more backticks than the text holds in a row, and padded where
// the text would otherwise touch the fence or lose a space at its ends: of a stored value,
// which is printable ASCII as it is, and of a text as Visible shows it.
std::string ValueSpan(std::string_view shown)
{
    std::size_t longest = 0;
    for (std::size_t i = 0, run = 0; i < shown.size(); ++i)
        longest = std::max(longest, run = shown[i] == '`' ? run + 1 : 0);
    const std::string fence(longest + 1, '`');
    const bool pad = !shown.empty() && (shown.front() == '`' || shown.back() == '`' || (shown.front() == ' ' && shown.back() == ' '));
    const std::string padding = pad ? " " : "";
    return fence + padding + std::string(shown) + padding + fence;
}

std::string CodeSpan(std::string_view text) { return ValueSpan(Visible(text)); }

// Whether GitHub-flavoured Markdown could find a link in a text: a web address (after
// "www.", "http://" or "https://") or an e-mail address (alone or after "mailto:" or
// "xmpp:"). It looks for them in the text its escapes and entities leave, so neither
// stops one; only a code span does.
bool MayHoldLink(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return LowerAscii(c); });
    return lower.find('@') != std::string::npos || lower.find("://") != std::string::npos || lower.find("www.") != std::string::npos;
}

// Markdown: a text from a file shows as itself, not as markup, links, HTML or math; one
// that could hold a link as a code span.
std::string MarkdownText(std::string_view text)
{
    if (MayHoldLink(text))
        return CodeSpan(text);
    std::string out;
    for (const char c : Visible(text)) {
        if (std::string_view("\\`*_[]<>&~#|$").find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

constexpr NotesStyle MarkdownStyle{"→", MarkdownText, ValueSpan, CodeSpan, "- removed: ", "- added: ", "- values changed: "};

// The changed effects a tech shows, under it.
void WriteMarkdownEffectsOf(std::ostream& out, const DumpDiff& diff, int k, const char* indent)
{
    for (const EffectChange& e : diff.effects) {
        if (!Shows(e, k))
            continue;
        if (LinesStandUnder(e, k)) {
            out << indent << "- Effect " << e.index << ":\n";
            WriteEffect(out, e, std::string(indent) + "  ", MarkdownStyle);
        } else {
            out << indent << "- Effect " << e.index << ": as under " << FormatText("%03d ", e.usedBy.front())
                << MarkdownText(TechName(diff, e.usedBy.front())) << '\n';
        }
    }
}

} // namespace

void WriteDiffMarkdown(std::ostream& out, const DumpDiff& diff)
{
    const char* separator = "";
    const auto section = [&](const char* title) {
        out << separator << "## " << title << "\n\n";
        separator = "\n";
    };
    const std::vector<CountChange> counts = diff.CountChanges();
    if (diff.VersionDiffers() || !counts.empty()) {
        section("File");
        if (diff.VersionDiffers())
            out << "- Version: " << MarkdownText(DisplayText(diff.before.tables->versionText)) << " → "
                << MarkdownText(DisplayText(diff.after.tables->versionText)) << '\n';
        for (const CountChange& c : counts)
            out << "- " << static_cast<char>(c.what[0] - 'a' + 'A') << c.what + 1 << ": " << CountText(c, "→") << '\n';
    }

    const std::vector<int> listed = ListedTechs(diff);
    bool any = false;
    for (const int k : listed) {
        const TechChange* change = TechChangeOf(diff, k);
        if (change != nullptr && change->kind != TechChange::Kind::Changed)
            continue;
        if (!std::exchange(any, true))
            section("Changed techs");
        else
            out << '\n';
        out << "### " << FormatText("%03d ", k) << MarkdownText(TechName(diff, k)) << "\n\n";
        if (change != nullptr) {
            for (const std::string& row : TechRows(diff, *change, MarkdownStyle))
                out << "- " << row << '\n';
            if (!change->effectLines.Empty()) {
                out << "- Effect lines:\n";
                WriteLines(out, change->effectLines, "  ", MarkdownStyle);
            }
        }
        WriteMarkdownEffectsOf(out, diff, k, "");
    }
    for (const TechChange::Kind kind : {TechChange::Kind::Added, TechChange::Kind::Removed}) {
        bool begun = false;
        for (const TechChange& t : diff.techs) {
            if (t.kind != kind)
                continue;
            if (!std::exchange(begun, true))
                section(kind == TechChange::Kind::Added ? "Added techs" : "Removed techs");
            out << "- " << FormatText("%03d ", t.index) << MarkdownText(kind == TechChange::Kind::Added ? t.nameAfter : t.nameBefore) << '\n';
            WriteMarkdownEffectsOf(out, diff, t.index, "  ");
        }
    }
    bool begun = false;
    for (const EffectChange& e : diff.effects) {
        if (!ShownByNoTech(e))
            continue;
        if (!std::exchange(begun, true))
            section("Effects shown by no tech");
        out << "- Effect " << e.index << ":\n";
        WriteEffect(out, e, "  ", MarkdownStyle);
    }
    if (!diff.units.empty()) {
        section("Unit names");
        for (const UnitNameChange& u : diff.units)
            out << "- Unit " << u.unit << ": name string id " << u.before << " → " << u.after << '\n';
    }
}

namespace {

void WriteSide(JsonWriter& json, const DiffSide& side)
{
    const GameTables& t = *side.tables;
    json.BeginObject();
    json.Member("path", side.path);
    json.Member("versionText", DisplayText(t.versionText));
    json.Member("effectCount", t.fileEffectCount);
    json.Member("techCount", t.fileTechCount);
    json.Member("civCount", t.fileCivCount);
    json.Member("shownEffectCount", ShownEffectCount(t));
    json.Member("shownTechCount", ShownTechCount(t));
    json.EndObject();
}

void WriteLinesJson(JsonWriter& json, const LineChanges& lines)
{
    json.BeginObject();
    json.Member("removed", lines.removed);
    json.Member("added", lines.added);
    json.EndObject();
}

void WriteCommandsJson(JsonWriter& json, const std::vector<EffectCommand>& commands)
{
    json.BeginArray();
    for (const EffectCommand& c : commands)
        WriteCommandJson(json, c);
    json.EndArray();
}

void WriteTechJson(JsonWriter& json, const DumpDiff& diff, const TechChange& t)
{
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
    if (t.nameBytesDiffer || !t.stored.empty()) {
        json.Key("stored");
        json.BeginObject();
        if (t.nameBytesDiffer) {
            json.Key("name");
            json.BeginObject();
            json.Member("old", StoredBytes(Tech(diff.before, t.index).name));
            json.Member("new", StoredBytes(Tech(diff.after, t.index).name));
            json.EndObject();
        }
        for (const std::size_t f : t.stored) {
            json.Key(TechFields[f].stored);
            json.BeginObject();
            json.Member("old", TechFields[f].value(Tech(diff.before, t.index)));
            json.Member("new", TechFields[f].value(Tech(diff.after, t.index)));
            json.EndObject();
        }
        json.EndObject();
    }
    if (!t.effectLines.Empty()) {
        json.Key("effectLines");
        WriteLinesJson(json, t.effectLines);
    }
    if (t.effect >= 0)
        json.Member("effect", t.effect);
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
    for (const TechChange& t : diff.techs)
        WriteTechJson(json, diff, t);
    json.EndArray();
    json.Key("effects");
    json.BeginArray();
    for (const EffectChange& e : diff.effects) {
        json.BeginObject();
        json.Member("index", e.index);
        json.Member("usedBy", e.usedBy);
        json.Key("lines");
        WriteLinesJson(json, e.lines);
        json.Key("commands");
        json.BeginObject();
        json.Key("removed");
        WriteCommandsJson(json, e.commands.removed);
        json.Key("added");
        WriteCommandsJson(json, e.commands.added);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.Key("unitNameIds");
    json.BeginArray();
    for (const UnitNameChange& u : diff.units) {
        json.BeginObject();
        json.Member("unit", u.unit);
        json.Member("old", u.before);
        json.Member("new", u.after);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

std::optional<DiffFormat> DiffFormatNamed(std::string_view name)
{
    if (name == "text")
        return DiffFormat::Text;
    if (name == "json")
        return DiffFormat::Json;
    if (name == "markdown")
        return DiffFormat::Markdown;
    return std::nullopt;
}

void WriteDiff(std::ostream& out, DiffFormat format, const DumpDiff& diff)
{
    switch (format) {
    case DiffFormat::Text: WriteDiffText(out, diff); break;
    case DiffFormat::Json: WriteDiffJson(out, diff); break;
    case DiffFormat::Markdown: WriteDiffMarkdown(out, diff); break;
    }
}

} // namespace velmora
