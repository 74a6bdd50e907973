#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tools/DumpFormats.h"

namespace velmora {
namespace {

using Json = nlohmann::json;

class DumpFormatsTest : public ::testing::Test {
protected:
    DumpFormatsTest()
    {
        tables->versionText = "VER 5.7";
        tables->effectCount = 2;
        tables->effects[0].commandCount = 2;
        tables->effects[0].commands[0] = EffectCommand{4, -1, 6, 9, 1026.0f};
        tables->effects[0].commands[1] = EffectCommand{1, 2, 0, 0, 0.1f};
        tables->effects[1].commandCount = 1;
        tables->effects[1].commands[0] = EffectCommand{7, 1, 2, 3, std::numeric_limits<float>::infinity()};
        tables->techCount = 2;
        TechRecord& a = tables->techs[0];
        a.name = "Forge";
        a.requiredTechs = {-1, -1, -1, -1, -1, -1};
        a.effectNo = 0;
        a.nameStringId = 7000;
        a.civ = 3;
        a.cost[0] = {0, 150, 1};
        a.location = 2;
        TechRecord& b = tables->techs[1];
        b.name = "Caf\xE9 \"Q\"";  // Windows-1252, with quotes
        b.requiredTechs = {0, 5, -1, 1, -1, -1};
        b.effectNo = -1;
        b.nameStringId = -1;
        b.civ = 25;
        tables->techs[2].name = "hidden";
        tables->unitNameIds[2] = 5002;
    }

    std::unique_ptr<GameTables> tables = std::make_unique<GameTables>();
    StringLookup lookup = [](std::int64_t id) {
        if (id == 7000)
            return std::string("Metal \xE6\x9C\xA8");  // UTF-8 from the language modules
        if (id == 5002)
            return std::string("Smithy");
        if (id == 0)
            return std::string("tab\there \x01 \x7f \\");
        return std::string();
    };
};

TEST_F(DumpFormatsTest, JsonReadsBackWithTheViewsContent)
{
    std::ostringstream out;
    WriteDumpJson(out, *tables, lookup);
    const Json j = Json::parse(out.str());
    // Written as it is produced: byte for byte what the JSON library writes for the whole document.
    EXPECT_EQ(out.str(), nlohmann::ordered_json::parse(out.str()).dump(2) + "\n");

    EXPECT_EQ(j["versionText"], "VER 5.7");
    EXPECT_EQ(j["effectCount"], 2);
    EXPECT_EQ(j["techCount"], 2);
    ASSERT_EQ(j["effects"].size(), 2u);
    EXPECT_EQ(j["effects"][0]["lines"][0], "Enhance +: Class:6(Soldier) Attack[type:4] +2");
    EXPECT_EQ(j["effects"][0]["commands"][1]["data4"].get<double>(), 0.1);  // shortest text of 0.1f
    EXPECT_EQ(j["effects"][1]["commands"][0]["data4"], "inf");
    EXPECT_EQ(j["effects"][1]["commands"][0]["type"], 7);

    ASSERT_EQ(j["techs"].size(), 2u);
    const Json& forge = j["techs"][0];
    EXPECT_EQ(forge["line"], "000:Forge");
    EXPECT_EQ(forge["view"]["nameText"], "Metal \xE6\x9C\xA8");
    EXPECT_EQ(forge["view"]["civList"], 3);
    EXPECT_EQ(forge["view"]["cost1TypeList"], 1);
    EXPECT_EQ(forge["view"]["cost1AmountText"], "150");
    EXPECT_EQ(forge["view"]["cost1Check"], true);
    EXPECT_EQ(forge["view"]["locationNameText"], "Smithy");
    EXPECT_EQ(forge["view"]["requiredTech1Text"], "");
    EXPECT_EQ(forge["effectLines"].size(), 2u);
    EXPECT_EQ(forge["cost"][0]["amount"], 150);

    const Json& cafe = j["techs"][1];
    EXPECT_EQ(cafe["name"], "Caf\xC3\xA9 \"Q\"");
    EXPECT_EQ(cafe["view"]["civList"], -1);
    EXPECT_EQ(cafe["view"]["effectNoText"], "");
    EXPECT_EQ(cafe["effectLines"].size(), 0u);
    EXPECT_EQ(cafe["requiredTechs"], (Json{0, 5, -1, 1, -1, -1}));
}

TEST_F(DumpFormatsTest, JsonNumbersForEveryFloat)
{
    for (float v : {0.0f, -0.0f, 1.0f / 3.0f, 1e-40f, 3.4028235e38f, -2.6f, 16777217.0f}) {
        const std::string text = ShortestFloatText(v);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), v) << text;
    }
    tables->effects[0].commands[0].data4 = std::nanf("");
    tables->effects[0].commands[1].data4 = -std::numeric_limits<float>::infinity();
    std::ostringstream out;
    WriteDumpJson(out, *tables, lookup);
    const Json j = Json::parse(out.str());
    EXPECT_EQ(j["effects"][0]["commands"][0]["data4"], "nan");
    EXPECT_EQ(j["effects"][0]["commands"][1]["data4"], "-inf");
}

TEST_F(DumpFormatsTest, DotHasANodePerTechAndEdgesFromValidRequirements)
{
    std::ostringstream out;
    WriteDumpDot(out, *tables);
    const std::string dot = out.str();
    EXPECT_NE(dot.find("t0 [label=\"000:Forge\"];"), std::string::npos);
    EXPECT_NE(dot.find("t1 [label=\"001:Caf\xC3\xA9 \\\"Q\\\"\"];"), std::string::npos);
    EXPECT_NE(dot.find("t0 -> t1;"), std::string::npos);
    EXPECT_NE(dot.find("t1 -> t1;"), std::string::npos);
    EXPECT_EQ(dot.find("t5"), std::string::npos);   // 5 is not a tech
    EXPECT_EQ(dot.find("hidden"), std::string::npos);
}

TEST_F(DumpFormatsTest, TextListsEveryTechWithItsFields)
{
    std::ostringstream out;
    WriteDumpText(out, *tables, lookup);
    const std::string text = out.str();
    EXPECT_NE(text.find("000:Forge\n"), std::string::npos);
    EXPECT_NE(text.find("    Civ: [ ] 3 (Cothic)\n"), std::string::npos);
    EXPECT_NE(text.find("        Enhance +: Class:6(Soldier) Attack[type:4] +2\n"), std::string::npos);
    EXPECT_NE(text.find("001:Caf\xC3\xA9"), std::string::npos);
    EXPECT_EQ(text.find("hidden"), std::string::npos);
}

} // namespace
} // namespace velmora
