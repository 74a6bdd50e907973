// The parser's reading of the stored layouts. What it makes of whole files, sound and
// damaged, is in the bad-input catalogue (BadInputTest.cpp).
#include <gtest/gtest.h>

#include <memory>

#include "data/DataParser.h"
#include "tools/datafile/DataFileWriter.h"

namespace velmora {
namespace {

using namespace datafile;

TEST(ParserTest, TheEffectsAnchorNeedsRoomForTheCountBeforeIt)
{
    const std::pair<std::string_view, std::int64_t> rows[] = {
        {"abcdCHUN4", -1}, {"abcdeCHUN4", 5}, {"CHUN4", -1}, {"abcdeCHUN", -1}, {"xxxxxxxxCHUN3CHUN4", 13}};
    for (const auto& [text, at] : rows)
        EXPECT_EQ(FindEffectsAnchor(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())), at) << text;
}

struct UnitLengthRow {
    std::int8_t type;
    int k, nameLength, a, b;
    std::size_t expectedLength;
};

class UnitRecordLengthTest : public ::testing::TestWithParam<UnitLengthRow> {};

TEST_P(UnitRecordLengthTest, RecordIsSteppedOverExactly)
{
    const UnitLengthRow row = GetParam();
    UnitSpec first = MakeUnit(row.type, 0, 100);
    first.k = static_cast<std::int8_t>(row.k);
    first.name = std::string(static_cast<std::size_t>(row.nameLength), 'n');
    first.a = static_cast<std::int16_t>(row.a);
    first.b = static_cast<std::int16_t>(row.b);
    EXPECT_EQ(DataFileWriter().Unit(first).Size(), row.expectedLength);

    // The parser must land exactly on the next record and then on the techs.
    DataFileWriter b;
    b.Version().Filler(64).Effects({}).Filler(40, 2).Civs({CivSpec{.name = "Gaia", .units = {first, MakeUnit(20, 1, 101)}}});
    b.Techs({NamedTech("Next")});
    auto tables = std::make_unique<GameTables>();
    const ParseResult parse = ParseDataFile(ByteView(b.Data().data(), b.Size()), *tables);
    ASSERT_TRUE(parse.parsed && parse.messages.empty());
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

TEST(ParserTest, EffectCivilizationAndUnitRecordsSpelledOut)
{
    // Byte by byte, not through the record layouts the writer shares with the parser.
    DataFileWriter b;
    b.Version().Zeros(4).I32(2).Raw("CHUN4").Zeros(26).I16(1);  // effect count, effect 0: one command
    b.I8(-3).I16(-1).I16(258).I16(-32768).F32(2.5f);            // its command
    b.Zeros(31).I16(0);                                         // effect 1: none
    b.I16(1).I8(1).Raw("Gaia").Zeros(16).I16(2).Zeros(5).I32(7).I32(7).I16(3).Zeros(12);  // r = 2, u = 3
    b.I8(60).I16(2).I16(2).I16(900).Zeros(142).I8(1).Zeros(11).Raw("ab").Zeros(4);       // unit 2, k = 1
    b.Zeros(63).I16(1).Zeros(4).I16(1).Zeros(4 + 65).I16(0);     // a = 1, b = 1; then no techs
    auto tables = std::make_unique<GameTables>();
    const ParseResult parse = ParseDataFile(ByteView(b.Data().data(), b.Size()), *tables);
    ASSERT_TRUE(parse.parsed && parse.messages.empty());
    EXPECT_EQ(tables->effectCount, 2);
    EXPECT_EQ(tables->effects[0].commandCount, 1);
    EXPECT_EQ(tables->effects[0].commands[0], (EffectCommand{-3, -1, 258, -32768, 2.5f}));
    EXPECT_EQ(tables->effects[1].commandCount, 0);
    EXPECT_EQ(tables->civCount, 1);
    EXPECT_EQ(tables->unitNameIds[2], 900);
}

TEST(ParserTest, EveryTechFieldLandsInItsMember)
{
    // The record spelled out byte by byte, field by field in file order.
    DataFileWriter b;
    b.Version().Zeros(8).Civs({CivSpec{.name = "Gaia"}}).I16(2).Tech(NamedTech("Zero"));
    b.I16(1).I16(-1).I16(300).I16(-2).I16(5).I16(32767);                  // required techs
    b.I16(0).I16(150).I8(1).I16(3).I16(-20).I8(-1).I16(-1).I16(0).I8(127);  // costs: type, amount, flag
    b.I16(2).I16(18).I16(-1).I16(865).I16(7001).I16(-32768).I16(60).I16(513).I16(-7);
    b.I8(-128).I8(127).I8(-1).I32(-2147483647 - 1).I32(2147483647).I32(12345678);
    b.I16(10).Raw("Irrigation");
    auto tables = std::make_unique<GameTables>();
    ASSERT_TRUE(ParseDataFile(ByteView(b.Data().data(), b.Size()), *tables).parsed);
    const TechRecord expected{{1, -1, 300, -2, 5, 32767}, {{{0, 150, 1}, {3, -20, -1}, {-1, 0, 127}}}, 2, 18, -1, 865, 7001, -32768, 60, 513, -7,
                              -128, 127, -1, -2147483647 - 1, 2147483647, 12345678, "Irrigation"};
    EXPECT_EQ(tables->techs[1], expected);
}

} // namespace
} // namespace velmora
