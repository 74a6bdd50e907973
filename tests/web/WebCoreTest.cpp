// The browser core's entry: loads from bytes with the desktop's failures and reasons, the
// slots kept through a failed load, each format and comparison as velmora-dump writes it,
// and the effect boxes as the dialogs show them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/DataParser.h"
#include "export/DumpDiff.h"
#include "export/DumpFormats.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"
#include "views/EffectBoxes.h"
#include "web/Core.h"

namespace velmora {
namespace {

using datafile::DeflateRaw;
using Json = nlohmann::json;

std::string Text(const datafile::Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

GameTables Parsed(const datafile::Bytes& raw)
{
    GameTables tables;
    EXPECT_TRUE(ParseDataFile(ByteView(raw.data(), raw.size()), tables).parsed);
    return tables;
}

const StringLookup NoStrings = [](std::int64_t) { return std::string(); };

class WebCoreTest : public ::testing::Test {
protected:
    fixtures::TempDir staging;
    WebCore core{staging.Path().string()};
    const datafile::Bytes first = datafile::SmallSoundFile(0);
    const datafile::Bytes second = datafile::MinimalDataFile({datafile::NamedTech("Renamed")});

    Json Load(int slot, const datafile::Bytes& raw, std::vector<std::optional<std::string>> modules = {}, unsigned codePage = 0,
              const std::string& name = "Data/x.dat")
    {
        return Json::parse(core.Load(slot, Text(DeflateRaw(raw)), modules, codePage, name));
    }
};

TEST_F(WebCoreTest, FailedLoadsSayWhyAndKeepTheSlot)
{
    ASSERT_EQ(Load(0, first)["techCount"], 2);
    const std::string shown = core.Dump(0, "dot");
    const std::string deflated = Text(DeflateRaw(first));
    const std::string unparseable = Text(DeflateRaw(datafile::Bytes(100, 'x')));
    const struct {
        int slot;
        std::string data;
        unsigned codePage;
        std::string name;
        const char* kind;
        const char* reasonStart;
    } rows[] = {
        {0, "", 0, "Data/x.dat", "StreamTruncated", "Data/x.dat: "},
        {0, deflated.substr(0, deflated.size() / 2), 0, "Data/x.dat", "StreamTruncated", "Data/x.dat: "},
        {0, "\xff\xff\xff\xff not deflate", 0, "a/b.dat", "InflateFailed", "a/b.dat: "},
        {0, unparseable, 0, "Data/x.dat", "ParseFailed", "Data/x.dat: "},
        {0, unparseable, 0, "../../x/./y.dat", "ParseFailed", "x/y.dat: "},  // staged inside the folder
        {2, deflated, 0, "Data/x.dat", "BadSlot", "no slot 2"},
        {-1, deflated, 0, "Data/x.dat", "BadSlot", "no slot -1"},
        {0, deflated, 930, "Data/x.dat", "BadCodePage", "unknown code page '930'"},
    };
    for (const auto& row : rows) {
        const Json answer = Json::parse(core.Load(row.slot, row.data, {}, row.codePage, row.name));
        EXPECT_EQ(answer["ok"], false) << row.name;
        EXPECT_EQ(answer["kind"], row.kind) << row.name;
        EXPECT_TRUE(answer["reason"].get<std::string>().starts_with(row.reasonStart)) << answer["reason"];
        EXPECT_EQ(core.Dump(0, "dot"), shown) << row.kind;
    }
    EXPECT_FALSE(std::filesystem::exists(staging.Path() / "slot0")) << "nothing staged is left";
}

TEST_F(WebCoreTest, ModulesThatAreNoModuleFilesAreSaid)
{
    const Json answer = Load(0, first, {std::string("MZ"), std::nullopt, std::string("not a module")});
    EXPECT_EQ(answer["ok"], true);
    EXPECT_EQ(answer["messages"], Json::array({"language_x1_p1.dll: not a module file", "language.dll: not a module file"}));
}

#ifdef VELMORA_TEST_MODULES
TEST_F(WebCoreTest, StringsOfTypedIds)
{
    const auto bytes = [](const char* name) {
        std::ifstream in(std::string(VELMORA_TEST_MODULES) + "/" + name + ".dll", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_EQ(Load(0, first, {bytes("first"), std::nullopt, bytes("second")})["messages"], Json::array());
    const struct {
        int slot;
        const char* typed;
        const char* text;
    } rows[] = {{0, " 15x", "first: id 15"}, {0, "", "first: id 0"}, {0, "200", "second: only here"}, {0, "-1", ""}, {1, "15", ""}};
    for (const auto& row : rows)
        EXPECT_EQ(core.StringText(row.slot, row.typed), row.text) << row.typed;
}
#endif

TEST_F(WebCoreTest, DumpsAndComparisonsAsTheDumpWritesThem)
{
    EXPECT_EQ(core.Dump(0, "json"), "") << "an empty slot";
    EXPECT_EQ(core.DiffStatus(), 2);
    Load(0, first);
    Load(1, first);
    EXPECT_EQ(core.DiffStatus(), 0);
    EXPECT_EQ(core.Diff("text"), "");
    EXPECT_EQ(core.Diff("json"), "") << "no differences, no comparison, as the dump writes none";
    Load(1, second, {}, 0, "New/x.dat");
    EXPECT_EQ(core.DiffStatus(), 1);

    const GameTables before = Parsed(first);
    const GameTables after = Parsed(second);
    const DumpDiff diff = CompareDumps({"Data/x.dat", &before}, {"New/x.dat", &after}, NoStrings, {});
    const struct {
        const char* format;
        void (*dump)(std::ostream&, const GameTables&);
        void (*compare)(std::ostream&, const DumpDiff&);
    } rows[] = {
        {"json", [](std::ostream& out, const GameTables& t) { WriteDumpJson(out, t, NoStrings); }, WriteDiffJson},
        {"text", [](std::ostream& out, const GameTables& t) { WriteDumpText(out, t, NoStrings); }, WriteDiffText},
        {"csv", [](std::ostream& out, const GameTables& t) { WriteDumpCsv(out, t, NoStrings); }, nullptr},
        {"dot", [](std::ostream& out, const GameTables& t) { WriteDumpDot(out, t); }, nullptr},
        {"markdown", nullptr, WriteDiffMarkdown},
        {"svg", nullptr, nullptr},
    };
    for (const auto& row : rows) {
        std::ostringstream dump, compared;
        if (row.dump)
            row.dump(dump, after);
        if (row.compare)
            row.compare(compared, diff);
        EXPECT_EQ(core.Dump(1, row.format), dump.str()) << row.format;
        EXPECT_EQ(core.Diff(row.format), compared.str()) << row.format;
    }
}

// The tree of one civilization: the techs given, each once, or none at all.
TEST_F(WebCoreTest, DumpsOfSomeTechsAsTechGivesThem)
{
    Load(0, first);
    std::ostringstream secondTech;
    WriteDumpDot(secondTech, Parsed(first), TechFilter{{1}});
    EXPECT_EQ(core.Dump(0, "dot", std::vector<int>{1, 1}), secondTech.str());
    EXPECT_EQ(core.Dump(0, "dot", std::vector<int>{}), "digraph techs {\n  rankdir=LR;\n  node [shape=box];\n}\n");
    EXPECT_EQ(core.Dump(0, "dot", std::nullopt), core.Dump(0, "dot"));
    EXPECT_NE(core.Dump(0, "dot"), secondTech.str());
}

// The page builds the detail fields from the form: each field is the sheet's column of its
// name, a list shows the entry the sheet shows, and each caption begins a line of the text.
TEST_F(WebCoreTest, TheDetailFormShowsWhatTheDumpsShow)
{
    datafile::TechSpec tech = datafile::NamedTech("Costly");
    tech.cost[0] = {.type = 2, .amount = 5, .flag = 1};
    tech.cost[1].type = 0;
    tech.civ = 3;
    Load(0, datafile::MinimalDataFile({tech}));
    const Json form = Json::parse(WebCore::DetailForm());
    const Json view = Json::parse(core.Dump(0, "json"))["techs"][0]["view"];
    const auto cells = [](const std::string& line) {
        std::vector<std::string> out(1);
        for (std::size_t i = 0, quoted = 0; i < line.size(); ++i) {
            if (line[i] == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
                out.back() += line[++i];
            else if (line[i] == '"')
                quoted = !quoted;
            else if (line[i] == ',' && !quoted)
                out.emplace_back();
            else if (line[i] != '\r')
                out.back() += line[i];
        }
        return out;
    };
    std::istringstream sheet(core.Dump(0, "csv"));
    std::string titles, row;
    std::getline(sheet, titles);
    std::getline(sheet, row);
    const std::vector<std::string> title = cells(titles), cell = cells(row);
    ASSERT_EQ(title.size(), form.size() + 3);  // the index and the name before, the effect after
    const std::string text = core.Dump(0, "text");
    for (std::size_t i = 0; i < form.size(); ++i) {
        const Json& field = form[i];
        const std::string member = field["member"];
        EXPECT_EQ(field["name"], title[i + 2]);
        ASSERT_TRUE(view.contains(member)) << member;
        const std::string control = field["control"];
        EXPECT_TRUE(control == "check" ? view[member].is_boolean() : control == "list" ? view[member].is_number() : view[member].is_string()) << member;
        if (control == "list") {
            EXPECT_EQ(field["entries"][view[member].get<std::size_t>()], cell[i + 2]) << member;
        }
        if (field["caption"] != "") {
            EXPECT_NE(text.find("\n    " + field["caption"].get<std::string>() + " "), std::string::npos) << member;
        }
    }
    EXPECT_EQ(cell[14], "Stone");
    EXPECT_EQ(cell[17], "Food");
    EXPECT_EQ(cell[23], "Cothic");
}

TEST_F(WebCoreTest, EffectBoxesAsTheDialogsShowThem)
{
    Load(0, first);
    const GameTables tables = Parsed(first);
    ASSERT_GT(tables.effectCount, 0);
    const EffectCommandBoxes boxes = DescribeEffectCommand(tables.effects[0].commands[0]);
    const Json shown = {{"type", boxes.type}, {"data1", boxes.data1}, {"data2", boxes.data2}, {"data3", boxes.data3}, {"data4", boxes.data4}};
    const std::string count = std::to_string(tables.effectCount);
    const struct {
        int slot;
        std::string effectNo;
        int line;
        Json command;
    } rows[] = {
        {0, "0", 0, shown}, {0, " 0x", 0, shown}, {0, "", 0, shown},  // read as atoi reads them
        {0, "-1", 0, nullptr}, {0, count, 0, nullptr}, {0, "0", -1, nullptr},
        {0, "0", tables.effects[0].commandCount, nullptr}, {1, "0", 0, nullptr},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Json::parse(core.EffectCommand(row.slot, row.effectNo, row.line)), row.command) << row.effectNo << " " << row.line;
    EXPECT_EQ(Json::parse(core.EffectLines(0, "0")), Json(RenderEffectLines(tables, NoStrings, 0)));
    EXPECT_EQ(core.EffectLines(0, count), "[]");
    EXPECT_EQ(core.EffectLines(1, "0"), "[]");
}

TEST(EffectBoxesTest, TypeEntries)
{
    const struct {
        int type;
        int position;
        const char* text;
    } rows[] = {{0, 0, "00:Enhance ="}, {6, 6, "06:Else"}, {7, -1, ""}, {100, -1, ""}, {101, 7, "101:Cost of Tech"},
                {103, 9, "103:Get Tech Free"}, {104, -1, ""}, {-1, -1, ""}};
    for (const auto& row : rows) {
        const EffectCommandBoxes boxes =
            DescribeEffectCommand(EffectCommand{.type = static_cast<std::int8_t>(row.type), .data1 = -1, .data2 = 2, .data3 = 3, .data4 = 1.5f});
        EXPECT_EQ(boxes.typeIndex, row.position) << row.type;
        EXPECT_EQ(boxes.type, row.text) << row.type;
        EXPECT_EQ(boxes.data1 + " " + boxes.data2 + " " + boxes.data3 + " " + boxes.data4, "-1 2 3 1.500000");
    }
}

} // namespace
} // namespace velmora
