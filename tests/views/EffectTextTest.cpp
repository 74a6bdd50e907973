#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "views/EffectText.h"

namespace velmora {
namespace {

class EffectTextTest : public ::testing::Test {
protected:
    EffectTextTest()
    {
        tables->unitNameIds[4] = 9004;      // no text for it
        tables->unitNameIds[83] = 9083;
        tables->unitNameIds[358] = 9358;
        // Tech 2's string id has no text; tech 3 lies outside the count.
        tables->techCount = 3;
        const std::pair<std::int16_t, const char*> techs[] = {{7000, "Own Zero"}, {7001, "Own One"}, {7999, "Own Two"}, {7003, "Beyond"}};
        for (std::size_t i = 0; i < std::size(techs); ++i) {
            tables->techs[i].nameStringId = techs[i].first;
            tables->techs[i].name = techs[i].second;
        }
        texts = {{9083, "Lancer"}, {9358, "Halberdier"}, {7000, "Language Zero"}, {7001, "Language One"}, {7003, "Not shown"}};
    }

    std::string Line(std::int8_t type, std::int16_t d1, std::int16_t d2, std::int16_t d3, float d4)
    {
        const EffectNames names(*tables, lookup);
        return RenderCommandLine(names, EffectCommand{type, d1, d2, d3, d4});
    }

    std::unique_ptr<GameTables> tables = std::make_unique<GameTables>();
    std::map<std::int64_t, std::string> texts;
    StringLookup lookup = [this](std::int64_t id) {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    };
};

struct LineRow {
    std::int8_t type;
    std::int16_t d1, d2, d3;
    float d4;
    const char* expected;
};

class EffectLineTest : public EffectTextTest, public ::testing::WithParamInterface<LineRow> {};

TEST_P(EffectLineTest, RendersToTheCharacter)
{
    const LineRow r = GetParam();
    EXPECT_EQ(Line(r.type, r.d1, r.d2, r.d3, r.d4), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Notation, EffectLineTest, ::testing::Values(
    // The documented examples.
    LineRow{4, -1, 6, 9, 1026.0f, "Enhance +: Class:6(Soldier) Attack[type:4] +2"},
    LineRow{4, -1, 12, 0, 10.0f, "Enhance +: Class:12(Cavalry) HP +10.00"},
    LineRow{5, -1, 13, 5, 1.5f, "Enhance *: Class:13(Siege Weapon) Move rate * 1.50"},
    LineRow{5, -1, 3, 8, 818.0f, "Enhance *: Class:3(Building) Armor[type:3] * 50%"},
    LineRow{0, -1, 60, 15, 4.0f, "Enhance =: Class:60() Unknown 15 4"},
    LineRow{1, 2, 0, 0, 100.0f, "CivHead  : Type:2 class:0 amount:100.00"},
    LineRow{7, 1, 2, 3, 4.0f, "        7: Unit ID:1 unit class:2 target:3 amount:4.00"},
    // One unit as the subject, and its name from the language modules.
    LineRow{4, 83, 0, 0, -2.5f, "Enhance +: ID:83(Lancer) HP -2.50"},
    LineRow{0, 4, 0, 1, 2.5f, "Enhance =: ID:4() LOS 2"},
    LineRow{0, 358, 0, 9, 7.0f, "Enhance =: ID:358(Halberdier) Attack 7"},
    LineRow{2, 83, 1, 0, 0.0f, "Enable   : ID:83(Lancer), On/Off:1"},
    LineRow{2, -1, 0, 0, 0.0f, "Enable   : ID:-1(), On/Off:0"},
    LineRow{3, 83, 358, 0, 0.0f, "Upgrade  : ID:83(Lancer) -> ID:358(Halberdier)"},
    LineRow{3, -1, -1, 0, 0.0f, "Upgrade  : ID:-1() -> ID:-1()"},
    LineRow{3, 83, 900, 0, 0.0f, "Upgrade  : ID:83(Lancer) -> ID:900()"},
    LineRow{6, 1, 2, 3, 0.125f, "CivHead *: Type:1 class:2 target:3 amount:0.12"},
    // Split amounts, attribute names and classes outside the tables.
    LineRow{4, -1, 6, 9, -1.0f, "Enhance +: Class:6(Soldier) Attack[type:0] -1"},
    LineRow{4, -1, 6, 9, 2.9f, "Enhance +: Class:6(Soldier) Attack[type:0] +2"},
    LineRow{4, -1, 6, 8, -300.0f, "Enhance +: Class:6(Soldier) Armor[type:-1] -44"},
    LineRow{5, -1, 6, 9, 1027.0f, "Enhance *: Class:6(Soldier) Attack[type:4] * 3%"},
    LineRow{0, -1, 6, 8, 1026.0f, "Enhance =: Class:6(Soldier) Armor 1026"},
    LineRow{4, -1, -3, 3, 1.0f, "Enhance +: Class:-3() Unknown 3 +1.00"},
    LineRow{5, -1, 59, -1, 2.0f, "Enhance *: Class:59(King) Unknown -1 * 2.00"},
    LineRow{4, -1, 6, 108, 0.5f, "Enhance +: Class:6(Soldier) Healing Rate +0.50"},
    LineRow{4, -1, 36, 102, 0.5f, "Enhance +: Class:36(Cavalry Archer) Unknown 102 +0.50"},
    LineRow{4, -1, 0, 23, 1.0f, "Enhance +: Class:0(Archer) Search range +1.00"},
    // Amounts beyond the 32-bit range are held at its ends; NaN counts as 0.
    LineRow{4, -1, 6, 9, 3e10f, "Enhance +: Class:6(Soldier) Attack[type:8388607] +255"},
    LineRow{5, -1, 6, 8, -3e10f, "Enhance *: Class:6(Soldier) Armor[type:-8388608] * 0%"},
    LineRow{4, -1, 6, 9, std::nanf(""), "Enhance +: Class:6(Soldier) Attack[type:0] +0"},
    LineRow{102, 0, 0, 0, std::nanf(""), "Disable  : Tech ID:nan()"},
    // Techs: language name, own name as the fallback, nothing outside the techs.
    LineRow{101, 1, 2, 3, 50.0f, "Cost Tech: ID:1(Language One) Resource type:2 target:3 amount:50.00"},
    LineRow{101, 2, 0, 0, 0.0f, "Cost Tech: ID:2() Resource type:0 target:0 amount:0.00"},
    LineRow{103, 2, 0, 0, 0.0f, "Tech Free: ID:2(Own Two)"},
    LineRow{103, 0, 0, 0, 0.0f, "Tech Free: ID:0(Language Zero)"},
    LineRow{103, 3, 0, 0, 0.0f, "Tech Free: ID:3()"},
    LineRow{103, 500, 0, 0, 0.0f, "Tech Free: ID:500()"},
    LineRow{102, 0, 0, 0, 2.6f, "Disable  : Tech ID:3(Own Two)"},
    LineRow{102, 0, 0, 0, 1.4f, "Disable  : Tech ID:1(Language One)"},
    LineRow{102, 0, 0, 0, 3.0f, "Disable  : Tech ID:3()"},
    LineRow{102, 0, 0, 0, -0.4f, "Disable  : Tech ID:-0()"},
    LineRow{102, 0, 0, 0, -1.0f, "Disable  : Tech ID:-1()"},
    // Types outside the notation: the type right-aligned in nine characters.
    LineRow{static_cast<std::int8_t>(200), 5, 6, 7, 1.0f, "      -56: Unit ID:5 unit class:6 target:7 amount:1.00"},
    LineRow{-128, 0, 0, 0, 0.0f, "     -128: Unit ID:0 unit class:0 target:0 amount:0.00"},
    LineRow{100, 1, 1, 1, 1.0f, "      100: Unit ID:1 unit class:1 target:1 amount:1.00"},
    LineRow{104, 1, 1, 1, 1.0f, "      104: Unit ID:1 unit class:1 target:1 amount:1.00"}));

} // namespace
} // namespace velmora
