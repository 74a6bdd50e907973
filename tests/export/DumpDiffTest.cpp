// The comparison and the sheet on tables made in memory: every value compared alone, the
// patch notes word for word, control characters through every writer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iomanip>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "data/RecordLayout.h"
#include "export/DumpDiff.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

using Tables = std::unique_ptr<GameTables>;

// Four techs; 0 and 1 show effect 0, 3 shows effect 1, effect 2 no tech.
Tables SmallTables()
{
    auto t = std::make_unique<GameTables>();
    t->versionText = "VER 5.7";
    t->effectCount = t->fileEffectCount = 3;
    t->techCount = t->fileTechCount = 4;
    t->civCount = t->fileCivCount = 1;
    t->effects[0] = {1, {EffectCommand{1, 0, 0, 0, 5.0f}}};
    t->effects[1] = {1, {EffectCommand{2, 0, 1, 0, 0.0f}}};
    t->effects[2] = {1, {EffectCommand{103, 0, 0, 0, 0.0f}}};
    const char* names[] = {"Kiln", "Gl`a*ze_<b>&~#|$", "Caf\xC3\xA9`", "Oven"};
    const std::int16_t effects[] = {0, 0, -1, 1};
    for (std::size_t k = 0; k < 4; ++k) {
        t->techs[k].name = names[k];
        t->techs[k].effectNo = effects[k];
        t->techs[k].nameStringId = t->techs[k].helpStringId = t->techs[k].location = -1;
    }
    t->techs[0].cost[0] = {0, 100, 1};
    t->techs[1].civ = 25;
    t->unitNameIds[2] = 5002;
    return t;
}

const StringLookup NoTexts = [](std::int64_t) { return std::string(); };

DumpDiff Compare(const Tables& before, const Tables& after, const TechFilter& filter = {})
{
    return CompareDumps({"old.dat", before.get()}, {"new.dat", after.get()}, NoTexts, filter);
}

template <class Write>
std::string Written(Write write)
{
    std::ostringstream out;
    write(out);
    return out.str();
}

// What a comparison found, in a line.
std::string Summary(const DumpDiff& d)
{
    std::string s;
    for (const CountChange& c : d.CountChanges())
        s += std::string(" count ") + c.what;
    for (const TechChange& t : d.techs)
        s += " tech " + std::to_string(t.index) + " stored " + std::to_string(t.stored.size()) + (t.nameBytesDiffer ? " name" : "") +
             (t.effect >= 0 ? " effect" : "");
    for (const EffectChange& e : d.effects)
        s += " effect " + std::to_string(e.index) + " commands " + std::to_string(e.commands.removed.size()) + "/" +
             std::to_string(e.commands.added.size());
    for (const UnitNameChange& u : d.units)
        s += " unit " + std::to_string(u.unit);
    return s;
}

TEST(DumpDiffTest, EveryValueTheParserKeepsIsComparedAlone)
{
    const Tables before = SmallTables();
    struct Row {
        std::string name;
        std::function<void(GameTables&)> change;
        std::string found;
    };
    std::vector<Row> rows;
    int storedFields = 0;
    ForEachStoredTechField(before->techs[3], [&](auto&, StoredName) { ++storedFields; });
    for (int i = 0; i < storedFields; ++i) {
        const auto change = [i](GameTables& t) {
            int at = 0;
            ForEachStoredTechField(t.techs[3], [&](auto& field, StoredName) { field += at++ == i ? 1 : 0; });
        };
        rows.push_back({"tech field " + std::to_string(i), change, " tech 3 stored 1"});
    }
    const auto command = [](std::function<void(EffectCommand&)> change) {
        return [change](GameTables& t) { change(t.effects[1].commands[0]); };
    };
    const Row more[] = {
        {"name bytes", [](GameTables& t) { t.techs[2].name = "Caf\xE9`"; }, " tech 2 stored 0 name"},
        {"type", command([](EffectCommand& c) { c.type = 7; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"data1", command([](EffectCommand& c) { c.data1 = 1; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"data2", command([](EffectCommand& c) { c.data2 = 0; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"data3", command([](EffectCommand& c) { c.data3 = 1; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"data4", command([](EffectCommand& c) { c.data4 = 1.125f; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"data4 -0", command([](EffectCommand& c) { c.data4 = -0.0f; }), " tech 3 stored 0 effect effect 1 commands 1/1"},
        {"command count", [](GameTables& t) { t.effects[1].commandCount = 0; }, " tech 3 stored 0 effect effect 1 commands 1/0"},
        {"effect count", [](GameTables& t) { t.fileEffectCount = 515; }, " count effects"},
        {"tech count", [](GameTables& t) { t.fileTechCount = 5; }, " count techs"},
        {"civilization count", [](GameTables& t) { t.fileCivCount = 2; }, " count civilizations"},
        {"unit name id", [](GameTables& t) { t.unitNameIds[865] = 5; }, " unit 865"},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    for (const Row& row : rows) {
        Tables after = std::make_unique<GameTables>(*before);
        row.change(*after);
        const DumpDiff diff = Compare(before, after);
        EXPECT_EQ(Summary(diff), row.found) << row.name;
        EXPECT_FALSE(diff.Empty()) << row.name;
    }
    // A tech that now shows another changed effect is named with the one it shows now.
    Tables moved = std::make_unique<GameTables>(*before);
    moved->techs[3].effectNo = 2;
    moved->effects[1].commands[0].data2 = 0;
    moved->effects[2].commands[0].data1 = 1;
    EXPECT_EQ(Compare(before, moved).techs.at(0).effect, 2);
    // A NaN amount is the same as itself.
    before->effects[1].commands[0].data4 = std::nanf("");
    EXPECT_TRUE(Compare(before, std::make_unique<GameTables>(*before)).Empty());
}

TEST(DumpDiffTest, StoredValuesShowWhatDiffers)
{
    const std::pair<EffectCommand, const char*> rows[] = {
        {{1, 0, 0, 0, 1.1249f}, "type 1 data 0 0 0 1.125000 -> 0 0 0 1.124900"},
        {{1, 0, 0, 0, std::nextafter(1.125f, 2.0f)}, "type 1 data 0 0 0 1.125 -> 0 0 0 1.1250001"},
        {{1, 0, 0, 0, std::nanf("1")}, "type 1 data 0 0 0 0x7fc00000 -> 0 0 0 0x7fc00001"},
        {{2, 3, -4, 5, 1.125f}, "type 1 data 0 0 0 1.125000 -> type 2 data 3 -4 5 1.125000"},
    };
    for (const auto& [after, text] : rows)
        EXPECT_EQ(CommandValueChange({1, 0, 0, 0, std::isnan(after.data4) ? std::nanf("") : 1.125f}, after), text);
    EXPECT_EQ(StoredBytes("C:\\\x7f\xE9~ "), "C:\\\\\\x7f\\xe9~ ");
    const std::pair<EffectCommand, std::vector<std::int64_t>> named[] = {
        {{0, 5, 0, 0, 0}, {5}}, {{4, -1, 6, 9, 0}, {}}, {{5, 12, 0, 0, 0}, {12}}, {{2, 7, 0, 0, 0}, {7}}, {{3, 7, 8, 0, 0}, {7, 8}}, {{1, 7, 8, 0, 0}, {}}};
    for (const auto& [c, units] : named)
        EXPECT_EQ(NamedUnits(c), units) << int{c.type};
}

TEST(DumpDiffTest, CountsAsTheFileGivesThemBesideTheShownOnes)
{
    const struct {
        std::int32_t before, after;
        std::int16_t heldBefore, heldAfter;
        const char* text;
    } rows[] = {{500, 501, 460, 460, "techs: 500 -> 501 (shown 460 -> 460)\n"}, {0, -1, 0, -1, "techs: 0 -> -1 (shown 0 -> 0)\n"}};
    for (const auto& row : rows) {
        const Tables before = SmallTables();
        const Tables after = SmallTables();
        before->techCount = row.heldBefore, after->techCount = row.heldAfter;
        before->fileTechCount = row.before, after->fileTechCount = row.after;
        const DumpDiff diff = CompareDumps({"old\xff.dat", before.get()}, {"new.dat", after.get()}, NoTexts);
        EXPECT_EQ(Written([&](std::ostream& out) { WriteDiffText(out, diff); }), row.text);
        const nlohmann::json j = nlohmann::json::parse(Written([&](std::ostream& out) { WriteDiffJson(out, diff); }));
        EXPECT_EQ(j["old"]["path"], "old\xEF\xBF\xBD.dat");
        EXPECT_EQ(j["new"]["techCount"], row.after);
        EXPECT_EQ(j["new"]["shownTechCount"], std::max(0, int{row.heldAfter}));
    }
}

// The small pair: a field and a stored value of one row, a stored value alone, the
// name's bytes, an effect with a line added and an amount the line rounds, an effect no
// tech shows, a removed tech whose effect changed, a unit's name id.
struct Pair {
    Tables before = SmallTables();
    Tables after = SmallTables();
    Pair()
    {
        after->techCount = after->fileTechCount = 3;
        after->techs[0].cost[0] = {0, 120, 2};
        after->techs[1].civ = 26;
        after->techs[2].name = "Caf\xE9`";
        before->effects[0] = {2, {EffectCommand{1, 0, 0, 0, 5.0f}, EffectCommand{1, 0, 0, 0, 5.0f}}};
        after->effects[0] = {3, {EffectCommand{1, 0, 0, 0, 5.001f}, EffectCommand{1, 0, 0, 0, 5.002f}, EffectCommand{1, 0, 0, 0, 7.0f}}};
        after->effects[1].commands[0].data2 = 0;
        after->effects[2].commands[0].data1 = 1;
        after->unitNameIds[2] = 5003;
    }
};

TEST(DumpDiffTest, PatchNotesAsTextAndMarkdown)
{
    const Pair pair;
    const DumpDiff diff = Compare(pair.before, pair.after);
    EXPECT_EQ(Written([&](std::ostream& out) { WriteDiffText(out, diff); }),
              "techs: 4 -> 3\n"
              "tech 000 Kiln\n"
              "  Cost1: [x] Food 100 -> [x] Food 120 (stored cost[0].flag 1 -> 2)\n"
              "  effect 0\n"
              "    + CivHead  : Type:0 class:0 amount:7.00\n"
              "    ~ CivHead  : Type:0 class:0 amount:5.00 (stored type 1 data 0 0 0 5.000000 -> 0 0 0 5.001000)\n"
              "    ~ CivHead  : Type:0 class:0 amount:5.00 (stored type 1 data 0 0 0 5.000000 -> 0 0 0 5.002000)\n"
              "tech 001 Gl`a*ze_<b>&~#|$\n"
              "  Civ: none (stored civ 25 -> 26)\n"
              "  effect 0: as under tech 000\n"
              "tech 002 Caf\xC3\xA9`\n"
              "  Name: Caf\xC3\xA9` (stored bytes Caf\\xc3\\xa9` -> Caf\\xe9`)\n"
              "tech 003 Oven: removed\n"
              "  effect 1\n"
              "    - Enable   : ID:0(), On/Off:1\n"
              "    + Enable   : ID:0(), On/Off:0\n"
              "effect 2 (shown by no tech)\n"
              "  - Tech Free: ID:0(Kiln)\n"
              "  + Tech Free: ID:1(Gl`a*ze_<b>&~#|$)\n"
              "unit 2 name string id: 5002 -> 5003\n");
    EXPECT_EQ(Written([&](std::ostream& out) { WriteDiffMarkdown(out, diff); }),
              "## File\n\n"
              "- Techs: 4 → 3\n\n"
              "## Changed techs\n\n"
              "### 000 Kiln\n\n"
              "- Cost1: \\[x\\] Food 100 → \\[x\\] Food 120 (stored `cost[0].flag` 1 → 2)\n"
              "- Effect 0:\n"
              "  - added: `CivHead  : Type:0 class:0 amount:7.00`\n"
              "  - values changed: `CivHead  : Type:0 class:0 amount:5.00` (stored `type 1 data 0 0 0 5.000000 -> 0 0 0 5.001000`)\n"
              "  - values changed: `CivHead  : Type:0 class:0 amount:5.00` (stored `type 1 data 0 0 0 5.000000 -> 0 0 0 5.002000`)\n\n"
              "### 001 Gl\\`a\\*ze\\_\\<b\\>\\&\\~\\#\\|\\$\n\n"
              "- Civ: none (stored `civ` 25 → 26)\n"
              "- Effect 0: as under 000 Kiln\n\n"
              "### 002 Caf\xC3\xA9\\`\n\n"
              "- Name: Caf\xC3\xA9\\` (stored bytes `` Caf\\xc3\\xa9` `` → `` Caf\\xe9` ``)\n\n"
              "## Removed techs\n\n"
              "- 003 Oven\n"
              "  - Effect 1:\n"
              "    - removed: `Enable   : ID:0(), On/Off:1`\n"
              "    - added: `Enable   : ID:0(), On/Off:0`\n\n"
              "## Effects shown by no tech\n\n"
              "- Effect 2:\n"
              "  - removed: `Tech Free: ID:0(Kiln)`\n"
              "  - added: ``Tech Free: ID:1(Gl`a*ze_<b>&~#|$)``\n\n"
              "## Unit names\n\n"
              "- Unit 2: name string id 5002 → 5003\n");

    // Asked for tech 3 alone: its heading and its effect, nothing of the others.
    const DumpDiff one = Compare(pair.before, pair.after, TechFilter{{3}});
    EXPECT_EQ(Written([&](std::ostream& out) { WriteDiffText(out, one); }),
              "techs: 4 -> 3\ntech 003 Oven: removed\n  effect 1\n    - Enable   : ID:0(), On/Off:1\n    + Enable   : ID:0(), On/Off:0\n");
    // Tech 1: its effect's users are the techs asked for, and the units it shows.
    const DumpDiff other = Compare(pair.before, pair.after, TechFilter{{1}});
    ASSERT_EQ(other.effects.size(), 1u);
    EXPECT_EQ(other.effects[0].usedBy, std::vector<int>{1});
    EXPECT_TRUE(other.units.empty());
    pair.after->techs[1].location = 2;
    EXPECT_EQ(Compare(pair.before, pair.after, TechFilter{{1}}).units.size(), 1u);
    pair.before->techs[1].location = pair.after->techs[1].location = -1;
    pair.after->effects[0].commands[3] = {3, 7, 2, 0, 0.0f};
    pair.after->effects[0].commandCount = 4;
    EXPECT_EQ(Compare(pair.before, pair.after, TechFilter{{1}}).units.size(), 1u);
}

TEST(DumpDiffTest, ControlCharactersAreShownInEveryTextWriter)
{
    const std::pair<const char*, const char*> rows[] = {
        {"\x01", "\\x01"}, {"\b", "\\x08"}, {"\t", "\\x09"}, {"\n", "\\x0a"}, {"\f", "\\x0c"}, {"\r", "\\x0d"}, {"\x1b", "\\x1b"}, {"\x1f", "\\x1f"}, {"\x7f", "\\x7f"}, {"\xC2\x80", "\\u0080"}, {"\xC2\x9B", "\\u009b"}, {"\xC2\x9F", "\\u009f"},
        {"\\\\", "\\\\\\"}, {"\\x1b", "\\\\x1b"}, {"\xE2\x80\xAE", "\\u202e"}, {"\xE2\x80\xA8", "\\u2028"}, {"\xE2\x81\xA6", "\\u2066"}, {"\xD8\x9C", "\\u061c"},
    };
    for (const auto& [control, shown] : rows) {
        const std::string name = std::string("A") + control + "Z";
        const Tables before = SmallTables();
        const Tables after = SmallTables();
        after->techs[0].name = name;
        after->techs[0].nameStringId = 1;
        const StringLookup lookup = [&](std::int64_t id) { return id == 1 ? "L" + name : std::string(); };
        const DumpDiff diff = CompareDumps({"old.dat", before.get()}, {"new.dat", after.get()}, lookup);
        const std::string plain = std::string("A") + shown + "Z";
        std::string doubled = "A";  // each backslash escaped once more
        for (const char c : std::string(shown) + "Z")
            doubled += c == '\\' ? "\\\\" : std::string(1, c);
        const std::pair<std::string, std::string> writers[] = {
            {Written([&](std::ostream& out) { WriteDumpText(out, *after, lookup); }), plain},
            {Written([&](std::ostream& out) { WriteDumpDot(out, *after); }), doubled},
            {Written([&](std::ostream& out) { WriteDumpCsv(out, *after, lookup); }), plain},
            {Written([&](std::ostream& out) { WriteDiffText(out, diff); }), plain},
            {Written([&](std::ostream& out) { WriteDiffMarkdown(out, diff); }), doubled},
        };
        for (const auto& [out, expected] : writers) {
            EXPECT_EQ(out.find(name), std::string::npos) << shown << out;
            EXPECT_NE(out.find(expected), std::string::npos) << shown << out;
            if (&out != &writers[1].first) {  // the graph has no language texts
                EXPECT_NE(out.find("L" + expected), std::string::npos) << shown << out;
            }
        }
        // JSON escapes what it must and gives every text back.
        for (const std::string& json : {Written([&](std::ostream& out) { WriteDumpJson(out, *after, lookup); }),
                                        Written([&](std::ostream& out) { WriteDiffJson(out, diff); })}) {
            EXPECT_EQ(json.find(name), std::string::npos) << shown;
            if (std::string_view(shown).starts_with("\\u")) {  // JSON's escape too
                EXPECT_NE(json.find(plain), std::string::npos) << shown;
            }
            const nlohmann::json j = nlohmann::json::parse(json);
            const nlohmann::json& tech = j["techs"][0];
            EXPECT_EQ(tech["name"].is_string() ? tech["name"] : tech["name"]["new"], name) << shown;
            EXPECT_EQ(tech.contains("view") ? tech["view"]["nameText"] : tech["fields"]["nameText"]["new"], "L" + name) << shown;
        }
    }
}

// What a program writes for `input`, given as its last argument in a file.
std::string Rendered(const std::string& program, const std::string& input)
{
    const fixtures::TempDir dir;
    std::ofstream(dir.File("in"), std::ios::binary) << input;
    std::string out;
    FILE* pipe = popen((program + " '" + dir.File("in") + "'").c_str(), "r");
    for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    EXPECT_TRUE(pipe != nullptr && pclose(pipe) == 0) << program;
    return out;
}

// GitHub-flavoured Markdown links a web address after "www.", "http://" or "https://" that
// begins a word, and an e-mail address anywhere in a text, also after "mailto:" or "xmpp:";
// it looks for the address once escapes and entities are read, so "me\@x.example" is a
// link too. A code span is never searched, so a name that could hold one shows as one.
TEST(DumpDiffTest, NamesInTheNotesMakeNoLinks)
{
    struct Row {
        const char* name;
        const char* markdown;
        const char* html;  // as a renderer shows the heading
    };
    const Row rows[] = {
        {"https://x.example/login", "`https://x.example/login`", "<code>https://x.example/login</code>"},
        {"www.x.example", "`www.x.example`", "<code>www.x.example</code>"},
        {"WWW.X.EXAMPLE", "`WWW.X.EXAMPLE`", "<code>WWW.X.EXAMPLE</code>"},
        {"mail me@x.example", "`mail me@x.example`", "<code>mail me@x.example</code>"},
        {"xmpp:me@x.example/r", "`xmpp:me@x.example/r`", "<code>xmpp:me@x.example/r</code>"},
        {"Link <http://x.example/>", "`Link <http://x.example/>`", "<code>Link &lt;http://x.example/&gt;</code>"},
        {"ftp://x.example *b*", "`ftp://x.example *b*`", "<code>ftp://x.example *b*</code>"},
        {"x.example: <b>", "x.example: \\<b\\>", "x.example: &lt;b&gt;"},
    };
    for (const Row& row : rows) {
        const Tables before = SmallTables();
        const Tables after = SmallTables();
        after->techs[0].name = row.name;
        const std::string notes = Written([&](std::ostream& out) { WriteDiffMarkdown(out, Compare(before, after)); });
        EXPECT_NE(notes.find(std::string("### 000 ") + row.markdown + "\n"), std::string::npos) << notes;
        EXPECT_NE(notes.find(std::string("- Name: Kiln → ") + row.markdown + "\n"), std::string::npos) << notes;
        if (*VELMORA_CMARK_GFM == '\0')
            continue;
        const std::string html = Rendered(VELMORA_CMARK_GFM " -e autolink -e strikethrough -e table", notes);
        EXPECT_EQ(html.find("<a"), std::string::npos) << html;
        EXPECT_NE(html.find(std::string("<h3>000 ") + row.html + "</h3>"), std::string::npos) << html;
    }
    if (*VELMORA_CMARK_GFM == '\0')
        GTEST_SKIP() << "cmark-gfm is not installed";
}

// Graphviz draws every label as the text dump's list line: it reads "&lt;" as '<' and a
// backslash as the start of an escape, so neither reaches it as it is.
TEST(DumpDiffTest, TheGraphDrawsTheListLine)
{
    if (*VELMORA_DOT == '\0')
        GTEST_SKIP() << "Graphviz is not installed";
    const Tables t = SmallTables();
    const char* names[] = {"&lt;b&gt; & &#38;", "A\x1bZ \\x1b \\N", "\xE2\x80\xAE" "abc \"Q\""};
    for (std::size_t k = 0; k < std::size(names); ++k)
        t->techs[k].name = names[k];
    // Plain output: "node NAME X Y W H LABEL ...", the label quoted with \" and \\ when it must be.
    std::istringstream plain(Rendered(VELMORA_DOT " -Tplain", Written([&](std::ostream& out) { WriteDumpDot(out, *t); })));
    std::size_t drawn = 0;
    for (std::string line; std::getline(plain, line);) {
        if (line.rfind("node t", 0) != 0)
            continue;
        std::istringstream fields(line);
        std::string word, node, label;
        fields >> word >> node >> word >> word >> word >> word >> std::quoted(label);
        const int k = std::stoi(node.substr(1));
        EXPECT_EQ(label, ShownTechListLine(k, t->techs[static_cast<std::size_t>(k)])) << line;
        ++drawn;
    }
    EXPECT_EQ(drawn, 4u);
}

TEST(DumpDiffTest, TheSheet)
{
    const Tables t = SmallTables();
    t->techs[0].name = "=SUM(A1), \"x\"";
    t->techs[1].cost[1] = {3, 7, -1};
    t->techs[1].requiredTechs[0] = 0;
    t->techs[1].civ = 18;
    t->techs[1].location = 2;
    t->techs[1].helpStringId = 9;
    t->techs[2].name = "@Caf\xC3\xA9";
    t->techs[2].effectNo = 2;
    t->effects[2] = {1, {EffectCommand{7, 1, 2, 3, 4.0f}}};
    t->effects[0] = {2, {EffectCommand{1, 0, 0, 0, 5.0f}, EffectCommand{103, 1, 0, 0, 0.0f}}};
    const StringLookup lookup = [](std::int64_t id) { return std::string(id == 5002 ? "-Watch" : id == 9 ? "+Help" : ""); };
    const std::string header = "Index,Name,Name String ID,Name Text,Help String ID,Help Text,Required Tech Flag,Required Tech 1,"
                               "Required Tech 2,Required Tech 3,Required Tech 4,Required Tech 5,Required Tech 6,Cost1 Flag,Cost1 Resource,"
                               "Cost1 Amount,Cost2 Flag,Cost2 Resource,Cost2 Amount,Cost3 Flag,Cost3 Resource,Cost3 Amount,Civ Flag,Civ,"
                               "Research Time,Location,Location Name,Icon ID,Button Slot,Unknown1,Unknown2,Unknown3,Unknown4,Unknown5,"
                               "Effect No,Effect Lines\r\n";
    EXPECT_EQ(Written([&](std::ostream& out) { WriteDumpCsv(out, *t, lookup, TechFilter{{1, 2}}); }),
              header +
                  "1,Gl`a*ze_<b>&~#|$,,,9,'+Help,,0,0,0,0,0,0,,Food,0,x,Gold,7,,Food,0,,Korean,0,2,'-Watch,0,0,0,0,0,0,0,0,"
                  "CivHead  : Type:0 class:0 amount:5.00 | Tech Free: ID:1(Gl`a*ze_<b>&~#|$)\r\n"
                  "2,'@Caf\xC3\xA9,,,,,,0,0,0,0,0,0,,Food,0,,Food,0,,Food,0,,,0,,,0,0,0,0,0,0,0,2,"
                  "\"        7: Unit ID:1 unit class:2 target:3 amount:4.00\"\r\n");
    const std::string quoted = "0,\"'=SUM(A1), \"\"x\"\"\",,,,,,0,";
    EXPECT_EQ(Written([&](std::ostream& out) { WriteDumpCsv(out, *t, lookup, TechFilter{{0}}); }).substr(header.size(), quoted.size()), quoted);
}

} // namespace
} // namespace velmora
