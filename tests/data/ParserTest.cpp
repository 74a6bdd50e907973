#include <gtest/gtest.h>

#include <memory>

#include "tools/DataFileWriter.h"
#include "data/DataParser.h"

namespace velmora {
namespace {

using datafile::Bytes;
using datafile::CivSpec;
using datafile::CommandSpec;
using datafile::DataFileWriter;
using datafile::EffectSpec;
using datafile::TechSpec;
using datafile::UnitSpec;

using datafile::MakeUnit;
using datafile::NamedTech;

CivSpec Gaia(std::vector<UnitSpec> units = {})
{
    return CivSpec{.name = "Gaia", .units = std::move(units)};
}

// Builds the usual outline: version, filler, effects, filler, civilizations, techs.
Bytes Outline(const std::vector<EffectSpec>& effects, const std::vector<CivSpec>& civs, const std::vector<TechSpec>& techs)
{
    DataFileWriter b;
    b.Version().Filler(64).Effects(effects).Filler(40, 2).Civs(civs).Techs(techs);
    return b.Data();
}

class ParserTest : public ::testing::Test {
protected:
    bool Parse(const Bytes& bytes)
    {
        ParseResult parse = ParseDataFile(ByteView(bytes.data(), bytes.size()), *tables);
        shown = std::move(parse.messages);
        return parse.parsed;
    }

    std::unique_ptr<GameTables> tables = std::make_unique<GameTables>();
    std::vector<std::string> shown;
};

using Shown = std::vector<std::string>;

// --- Version --------------------------------------------------------------------------

TEST_F(ParserTest, VersionFollowedByNulPasses)
{
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({NamedTech("Masonry")})));
    EXPECT_EQ(tables->versionText, "VER 5.7");
    EXPECT_EQ(shown, Shown{});
    EXPECT_EQ(tables->techCount, 1);
    EXPECT_EQ(tables->techs[0].name, "Masonry");
}

TEST_F(ParserTest, AnyOtherVersionFailsAndChangesNothing)
{
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({NamedTech("Masonry")})));
    const GameTables before = *tables;
    for (std::string_view version : {"VER 5.7 ", "VER 5.8", "ver 5.7", "VER 5.7X", ""}) {
        Bytes file = datafile::MinimalDataFile({NamedTech("Other")});
        std::fill(file.begin(), file.begin() + 8, 0);
        std::copy(version.begin(), version.end(), file.begin());
        EXPECT_FALSE(Parse(file)) << version;
        EXPECT_EQ(shown, Shown{"Version error"}) << version;
        EXPECT_TRUE(*tables == before) << version;
    }
}

TEST_F(ParserTest, ShortOrEmptyBuffers)
{
    EXPECT_FALSE(Parse({}));
    EXPECT_EQ(shown, Shown{"Version error"});

    // Seven bytes hold the whole version text but nothing after it.
    const Bytes seven{'V', 'E', 'R', ' ', '5', '.', '7'};
    EXPECT_FALSE(Parse(seven));
    EXPECT_EQ(shown, Shown{"Data file is truncated"});
    EXPECT_EQ(tables->versionText, "");
}

// --- Anchors --------------------------------------------------------------------------

TEST(EffectsAnchorTest, PositionFourCountsAsAbsent)
{
    auto find = [](std::string_view text) {
        return FindEffectsAnchor(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(find("abcdCHUN4"), -1);
    EXPECT_EQ(find("abcdeCHUN4"), 5);
    EXPECT_EQ(find("CHUN4"), -1);
    EXPECT_EQ(find("abcdeCHUN"), -1);
    EXPECT_EQ(find("xxxxxxxxCHUN3CHUN4"), 13);
}

TEST_F(ParserTest, WithoutEffectsTheCivilizationSearchStartsAtZero)
{
    // A "Gaia" right after the version field is found when there is no effects section.
    DataFileWriter b;
    b.Version().Civs({Gaia({MakeUnit(10, 0, 1), MakeUnit(10, 1, 77)})}).Techs({NamedTech("Pottery")});
    ASSERT_TRUE(Parse(b.Data()));
    EXPECT_EQ(tables->effectCount, 0);
    EXPECT_EQ(tables->civCount, 1);
    EXPECT_EQ(tables->unitNameIds[1], 77);
    EXPECT_EQ(tables->techs[0].name, "Pottery");
}

TEST_F(ParserTest, CivilizationSearchStartsWhereTheEffectsEnd)
{
    // A decoy civilization section before the effects must be passed over.
    DataFileWriter b;
    b.Version().Civs({Gaia({MakeUnit(10, 0, 1), MakeUnit(10, 1, 11)})}).Techs({NamedTech("Decoy")});
    b.Effects({EffectSpec{{CommandSpec{1, 2, 3, 4, 5.0f}}}});
    b.Filler(16).Civs({Gaia({MakeUnit(10, 0, 1), MakeUnit(10, 1, 22)})}).Techs({NamedTech("Real")});
    ASSERT_TRUE(Parse(b.Data()));
    EXPECT_EQ(tables->effectCount, 1);
    EXPECT_EQ(tables->unitNameIds[1], 22);
    EXPECT_EQ(tables->techs[0].name, "Real");
}

// --- Effects --------------------------------------------------------------------------

std::vector<CommandSpec> Commands(int n, std::int8_t type = 4)
{
    std::vector<CommandSpec> out;
    for (int i = 0; i < n; ++i)
        out.push_back(CommandSpec{type, static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i), 7, 0.5f * i});
    return out;
}

TEST_F(ParserTest, EffectCommandCounts)
{
    std::vector<EffectSpec> effects{
        EffectSpec{{}},                                   // 0 commands
        EffectSpec{{}, std::int16_t{-3}},                 // negative: none, 33 bytes
        EffectSpec{Commands(120)},                        // the most an effect holds
        EffectSpec{{CommandSpec{-5, -1, 32767, -32768, -1.25f}}},
    };
    ASSERT_TRUE(Parse(Outline(effects, {Gaia()}, {NamedTech("After")})));
    EXPECT_EQ(shown, Shown{});
    ASSERT_EQ(tables->effectCount, 4);
    EXPECT_EQ(tables->effects[0].commandCount, 0);
    EXPECT_EQ(tables->effects[1].commandCount, 0);
    EXPECT_EQ(tables->effects[2].commandCount, 120);
    EXPECT_EQ(tables->effects[2].commands[119].data1, 119);
    EXPECT_EQ(tables->effects[2].commands[119].data2, -119);
    EXPECT_FLOAT_EQ(tables->effects[2].commands[119].data4, 59.5f);
    const EffectCommand& c = tables->effects[3].commands[0];
    EXPECT_EQ(c.type, -5);
    EXPECT_EQ(c.data1, -1);
    EXPECT_EQ(c.data2, 32767);
    EXPECT_EQ(c.data3, -32768);
    EXPECT_EQ(c.data4, -1.25f);
    EXPECT_EQ(tables->techs[0].name, "After");
}

TEST_F(ParserTest, TooManyCommandsEndsTheEffectScanButNotTheParse)
{
    // An earlier file leaves commands in every slot.
    ASSERT_TRUE(Parse(Outline({EffectSpec{Commands(3)}, EffectSpec{Commands(3)}, EffectSpec{Commands(3)}, EffectSpec{Commands(3)}},
                              {Gaia()}, {NamedTech("Old")})));

    std::vector<EffectSpec> effects{EffectSpec{Commands(2)}, EffectSpec{{}, std::int16_t{121}}, EffectSpec{Commands(1)}};
    ASSERT_TRUE(Parse(Outline(effects, {Gaia()}, {NamedTech("Still read")})));
    EXPECT_EQ(shown, Shown{"num error"});
    EXPECT_EQ(tables->effectCount, 3);
    EXPECT_EQ(tables->effects[0].commandCount, 2);
    EXPECT_EQ(tables->effects[1].commandCount, 0);
    EXPECT_EQ(tables->effects[2].commandCount, 0);
    EXPECT_EQ(tables->effects[3].commandCount, 0);  // beyond the count: empty, nothing of the earlier file
    EXPECT_EQ(tables->techs[0].name, "Still read");
}

TEST_F(ParserTest, EffectsBeyondTheCapacityAreSteppedThroughNotStored)
{
    std::vector<EffectSpec> effects(600, EffectSpec{Commands(1)});
    // "Gaia" inside a command of effect 550: a scan that stopped early would find it.
    effects[550].commands[0] = CommandSpec{1, 0x6147, 0x6169, 0, 0.0f};
    effects[513].commands[0].data1 = 513;
    ASSERT_TRUE(Parse(Outline(effects, {Gaia()}, {NamedTech("Beyond")})));
    EXPECT_EQ(tables->effectCount, MaxEffects);
    EXPECT_EQ(tables->effects[513].commands[0].data1, 513);
    EXPECT_EQ(tables->techs[0].name, "Beyond");
}

TEST_F(ParserTest, NumErrorBeyondTheCapacityClampsTheCount)
{
    std::vector<EffectSpec> effects(530, EffectSpec{Commands(1)});
    effects[520] = EffectSpec{{}, std::int16_t{500}};
    ASSERT_TRUE(Parse(Outline(effects, {Gaia()}, {NamedTech("T")})));
    EXPECT_EQ(shown, Shown{"num error"});
    EXPECT_EQ(tables->effectCount, MaxEffects);
    EXPECT_EQ(tables->effects[513].commandCount, 1);
}

// --- Civilizations and unit records ----------------------------------------------------

TEST_F(ParserTest, UnitCountsZeroAndOneReadNoRecords)
{
    CivSpec none{.name = "Gaia", .unitCount = 0, .unitCountFromUnits = false};
    CivSpec one{.name = "Realm", .unitCount = 1, .unitCountFromUnits = false};  // no records follow
    CivSpec later{.name = "Later", .units = {MakeUnit(10, 0, 5), MakeUnit(10, 1, 6)}};
    ASSERT_TRUE(Parse(Outline({}, {none, one, later}, {NamedTech("Tail")})));
    EXPECT_EQ(tables->civCount, 3);
    EXPECT_EQ(tables->unitNameIds[1], 6);
    EXPECT_EQ(tables->techs[0].name, "Tail");
}

struct UnitLengthRow {
    std::int8_t type;
    int k, nameLength, a, b;
    std::size_t expectedLength;
};

class UnitRecordLengthTest : public ParserTest, public ::testing::WithParamInterface<UnitLengthRow> {};

TEST_P(UnitRecordLengthTest, RecordIsSteppedOverExactly)
{
    const UnitLengthRow row = GetParam();
    UnitSpec first = MakeUnit(row.type, 0, 100);
    first.k = static_cast<std::int8_t>(row.k);
    first.name = std::string(static_cast<std::size_t>(row.nameLength), 'n');
    first.a = static_cast<std::int16_t>(row.a);
    first.b = static_cast<std::int16_t>(row.b);

    // The fixture writes the record as the file layout lists it.
    DataFileWriter record;
    record.Unit(first);
    EXPECT_EQ(record.Size(), row.expectedLength);

    // The parser must land exactly on the next record and then on the techs.
    ASSERT_TRUE(Parse(Outline({}, {Gaia({first, MakeUnit(20, 1, 101)})}, {NamedTech("Next")})));
    EXPECT_EQ(shown, Shown{});
    EXPECT_EQ(tables->unitNameIds[0], 100);
    EXPECT_EQ(tables->unitNameIds[1], 101);
    EXPECT_EQ(tables->techs[0].name, "Next");
}

INSTANTIATE_TEST_SUITE_P(AllTypes, UnitRecordLengthTest,
    ::testing::Values(UnitLengthRow{10, 0, 0, 0, 0, 160}, UnitLengthRow{20, 0, 0, 0, 0, 164},
                      UnitLengthRow{25, 0, 0, 0, 0, 164}, UnitLengthRow{30, 0, 0, 0, 0, 201},
                      UnitLengthRow{60, 0, 0, 0, 0, 292}, UnitLengthRow{70, 0, 0, 0, 0, 348},
                      UnitLengthRow{80, 0, 0, 0, 0, 430}, UnitLengthRow{10, 3, 7, 0, 0, 160 + 15 + 7},
                      UnitLengthRow{30, 2, 9, 0, 0, 201 + 10 + 9}, UnitLengthRow{60, 1, 4, 2, 5, 292 + 5 + 4 + 28},
                      UnitLengthRow{70, 2, 6, 3, 1, 348 + 10 + 6 + 16}, UnitLengthRow{80, 4, 8, 1, 7, 430 + 20 + 8 + 32}));

TEST_F(ParserTest, UnitLoopStopsAtTheLastUnitIdOrTheCount)
{
    // u = 3: the record with id 2 (= u - 1) ends the loop after two records.
    CivSpec early{.name = "Gaia", .unitCount = 3, .units = {MakeUnit(10, 0, 10), MakeUnit(10, 2, 12)}, .unitCountFromUnits = false};
    // u = 3 and ids never reach 2: three records at most.
    CivSpec counted{.name = "Realm", .units = {MakeUnit(10, 0, 20), MakeUnit(10, 1, 21), MakeUnit(10, 1, 22)}};
    // A first record with id u - 1 is the only one read.
    CivSpec single{.name = "Third", .unitCount = 5, .units = {MakeUnit(10, 4, 40)}, .unitCountFromUnits = false};
    ASSERT_TRUE(Parse(Outline({}, {early, counted, single}, {NamedTech("End")})));
    EXPECT_EQ(tables->unitNameIds[2], 12);
    EXPECT_EQ(tables->unitNameIds[1], 22);
    EXPECT_EQ(tables->unitNameIds[4], 40);
    EXPECT_EQ(tables->techs[0].name, "End");
}

TEST_F(ParserTest, LaterCivilizationsOverwriteUnitNameIds)
{
    CivSpec gaia = Gaia({MakeUnit(10, 0, 1), MakeUnit(10, 3, 100)});
    CivSpec realm{.name = "Realm", .units = {MakeUnit(60, 0, 2), MakeUnit(10, 3, 200)}};
    realm.unitCount = 4;
    realm.unitCountFromUnits = false;
    gaia.unitCount = 4;
    gaia.unitCountFromUnits = false;
    ASSERT_TRUE(Parse(Outline({}, {gaia, realm}, {})));
    EXPECT_EQ(tables->unitNameIds[0], 2);
    EXPECT_EQ(tables->unitNameIds[3], 200);
}

TEST_F(ParserTest, UnknownUnitTypeFailsAndKeepsTheEarlierTables)
{
    ASSERT_TRUE(Parse(Outline({EffectSpec{Commands(2)}}, {Gaia({MakeUnit(10, 0, 9), MakeUnit(10, 1, 10)})}, {NamedTech("Kept")})));
    const GameTables before = *tables;

    CivSpec bad = Gaia({MakeUnit(10, 0, 50), MakeUnit(40, 1, 51), MakeUnit(10, 2, 52)});
    EXPECT_FALSE(Parse(Outline({EffectSpec{Commands(5)}}, {bad}, {NamedTech("Lost")})));
    EXPECT_EQ(shown, Shown{"Object type data error"});
    EXPECT_TRUE(*tables == before);
}

TEST_F(ParserTest, UnitIdsOutsideTheTableAreNotStored)
{
    const UnitNameIds before = tables->unitNameIds;
    // With u = 32001 only the record whose id is 32000 ends the loop.
    CivSpec civ = Gaia({MakeUnit(10, -2, 5), MakeUnit(10, 866, 6), MakeUnit(10, 865, 8), MakeUnit(10, 32000, 7)});
    civ.unitCount = 32001;
    civ.unitCountFromUnits = false;
    ASSERT_TRUE(Parse(Outline({}, {civ}, {NamedTech("Ids")})));
    UnitNameIds expected = before;
    expected[865] = 8;
    EXPECT_TRUE(tables->unitNameIds == expected);
    EXPECT_EQ(tables->techs[0].name, "Ids");
}

TEST_F(ParserTest, NegativeCountsInsideRecordsCountAsZero)
{
    UnitSpec u60 = MakeUnit(60, 0, 30);
    u60.a = -4;
    u60.b = -9;
    u60.k = -3;
    UnitSpec named = MakeUnit(70, 1, 31);
    named.declaredNameLength = -20;
    CivSpec civ = Gaia({u60, named});
    civ.resourceCount = -6;
    CivSpec negativeUnits{.name = "Realm", .unitCount = -2, .unitCountFromUnits = false};
    std::vector<EffectSpec> effects{EffectSpec{{}, std::int16_t{-32768}}};
    TechSpec tech = NamedTech("Gone");
    tech.declaredNameLength = -1;
    ASSERT_TRUE(Parse(Outline(effects, {civ, negativeUnits}, {tech, NamedTech("Next")})));
    EXPECT_EQ(tables->effects[0].commandCount, 0);
    EXPECT_EQ(tables->unitNameIds[1], 31);
    EXPECT_EQ(tables->techs[0].name, "");
    EXPECT_EQ(tables->techs[1].name, "Next");
}

TEST_F(ParserTest, CivilizationsBeyondTheCapacityStillYieldTheirUnits)
{
    std::vector<CivSpec> civs(25, CivSpec{.name = "Realm", .units = {MakeUnit(10, 0, 1), MakeUnit(30, 1, 2)}});
    civs[0].name = "Gaia";
    civs[24].units[1].nameStringId = 2424;
    ASSERT_TRUE(Parse(Outline({}, civs, {NamedTech("Past")})));
    EXPECT_EQ(tables->civCount, MaxCivs);
    EXPECT_EQ(tables->unitNameIds[1], 2424);
    EXPECT_EQ(tables->techs[0].name, "Past");
}

// --- Techs ----------------------------------------------------------------------------

TEST_F(ParserTest, EveryTechFieldLandsInItsMember)
{
    // The record spelled out byte by byte, field by field in file order.
    DataFileWriter b;
    b.Version().Zeros(8).Civs({Gaia()}).I16(2).Tech(NamedTech("Zero"));
    b.I16(1).I16(-1).I16(300).I16(-2).I16(5).I16(32767);                  // required techs
    b.I16(0).I16(150).I8(1).I16(3).I16(-20).I8(-1).I16(-1).I16(0).I8(127);  // costs: type, amount, flag
    b.I16(2).I16(18).I16(-1).I16(865).I16(7001).I16(-32768).I16(60).I16(513).I16(-7);
    b.I8(-128).I8(127).I8(-1).I32(-2147483647 - 1).I32(2147483647).I32(12345678);
    b.I16(10).Raw("Irrigation");
    ASSERT_TRUE(Parse(b.Data()));
    const TechRecord expected{{1, -1, 300, -2, 5, 32767}, {{{0, 150, 1}, {3, -20, -1}, {-1, 0, 127}}}, 2, 18, -1, 865, 7001, -32768, 60, 513, -7,
                              -128, 127, -1, -2147483647 - 1, 2147483647, 12345678, "Irrigation"};
    EXPECT_EQ(tables->techs[1], expected);
}

TEST_F(ParserTest, TechNames)
{
    TechSpec withNul = NamedTech(std::string("Wheel\0junk", 10));
    TechSpec exact = NamedTech(std::string(255, 'x'));
    TechSpec longer = NamedTech(std::string(250, 'y') + std::string(50, 'z'));
    TechSpec longWithNul = NamedTech(std::string(10, 'w') + std::string(1, '\0') + std::string(289, 'v'));
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({withNul, exact, longer, longWithNul, NamedTech("Last")})));
    EXPECT_EQ(tables->techs[0].name, "Wheel");
    EXPECT_EQ(tables->techs[1].name, std::string(255, 'x'));
    EXPECT_EQ(tables->techs[2].name, std::string(250, 'y') + std::string(5, 'z'));
    EXPECT_EQ(tables->techs[3].name, std::string(10, 'w'));
    EXPECT_EQ(tables->techs[4].name, "Last");
}

TEST_F(ParserTest, TechCounts)
{
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({NamedTech("A"), NamedTech("B")})));
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({})));
    EXPECT_EQ(tables->techCount, 0);
    EXPECT_EQ(tables->techs[1].name, "");  // outside the count: empty, nothing of the earlier file

    std::vector<TechSpec> many;
    for (int i = 0; i < MaxTechs; ++i)
        many.push_back(NamedTech("T" + std::to_string(i)));
    DataFileWriter b;
    b.Version().Zeros(8).Civs({Gaia()}).Techs(many, std::int16_t{30000});
    ASSERT_TRUE(Parse(b.Data()));
    EXPECT_EQ(tables->techCount, MaxTechs);
    EXPECT_EQ(tables->techs[459].name, "T459");

    DataFileWriter negative;
    negative.Version().Zeros(8).Civs({Gaia()}).Techs({}, std::int16_t{-4});
    ASSERT_TRUE(Parse(negative.Data()));
    EXPECT_LE(tables->techCount, 0);
}

// --- Two files in a row ---------------------------------------------------------------

TEST_F(ParserTest, ASecondFileReplacesTheTablesWhole)
{
    CivSpec first = Gaia({MakeUnit(10, 0, 1), MakeUnit(10, 5, 500)});
    first.unitCount = 6;
    first.unitCountFromUnits = false;
    ASSERT_TRUE(Parse(Outline({EffectSpec{Commands(2)}, EffectSpec{Commands(4)}}, {first},
                              {NamedTech("One"), NamedTech("Two"), NamedTech("Three")})));
    ASSERT_TRUE(Parse(Outline({EffectSpec{Commands(1)}}, {Gaia({MakeUnit(10, 0, 3), MakeUnit(10, 1, 4)})}, {NamedTech("Uno")})));
    EXPECT_EQ(tables->techCount, 1);
    EXPECT_EQ(tables->techs[0].name, "Uno");
    EXPECT_EQ(tables->effectCount, 1);
    EXPECT_EQ(tables->unitNameIds[5], NoStringId);  // only the first file named unit 5
    EXPECT_EQ(tables->unitNameIds[0], 3);
}

// --- Truncation -----------------------------------------------------------------------

TEST_F(ParserTest, ReadsPastTheEndFailWithTheTruncatedMessage)
{
    ASSERT_TRUE(Parse(datafile::MinimalDataFile({NamedTech("Before")})));
    const GameTables before = *tables;

    const Bytes whole = Outline({EffectSpec{Commands(3)}}, {Gaia({MakeUnit(80, 0, 1), MakeUnit(60, 1, 2)})},
                                {NamedTech("Alpha"), NamedTech("Omega")});
    // Cut inside the last tech's name, inside a unit record, inside an effect.
    for (std::size_t cut : {whole.size() - 1, whole.size() - 70, std::size_t{120}}) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(Parse(part)) << cut;
        EXPECT_EQ(shown, Shown{"Data file is truncated"}) << cut;
        EXPECT_TRUE(*tables == before) << cut;
    }
    ASSERT_TRUE(Parse(whole));
    EXPECT_EQ(tables->techs[1].name, "Omega");
}

} // namespace
} // namespace velmora
