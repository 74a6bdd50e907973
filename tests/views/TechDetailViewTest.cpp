#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "views/NamingTables.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {
namespace {

StringLookup MapLookup(std::map<std::int64_t, std::string> texts)
{
    return [texts = std::move(texts)](std::int64_t id) {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    };
}

// What the dialog member `member` shows.
const ShownField& Shown(const TechDetailView& v, std::string_view member)
{
    const auto field = std::find_if(TechFields.begin(), TechFields.end(), [&](const TechField& f) { return f.member == member; });
    return v.fields.at(static_cast<std::size_t>(field - TechFields.begin()));
}

TEST(TechDetailViewTest, FieldForms)
{
    TechRecord t;
    t.requiredTechs = {5, -1, -1, -2, 0, -1};
    t.cost[0] = {-1, -1, -1};
    t.cost[1] = {0, 0, 0};
    t.cost[2] = {4, 250, 2};
    t.requiredTechFlag = 2;
    t.civ = 18;
    t.civFlag = -1;
    t.location = 12;
    t.nameStringId = -1;
    t.helpStringId = 28000;
    t.researchTime = -1;
    t.effectNo = 0;
    t.unknown1 = -1;
    t.iconId = -1;
    t.unknown2 = -1;
    t.buttonSlot = -2;
    t.unknown3 = -1;
    t.unknown4 = 0;
    t.unknown5 = 2147483647;
    UnitNameIds units;
    units[12] = 5012;
    const TechDetailView v = DescribeTech(t, units, MapLookup({{-1, "none"}, {28000, "Help text"}, {5012, "Watchtower"}}));

    const std::pair<const char*, const char*> texts[] = {
        {"nameStringIdText", ""}, {"nameText", "none"},  // the stored id is asked as it is, -1 included
        {"helpStringIdText", "28000"}, {"helpText", "Help text"},
        {"requiredTech1Text", "5"}, {"requiredTech2Text", ""}, {"requiredTech3Text", ""},
        {"requiredTech4Text", "-2"}, {"requiredTech5Text", "0"}, {"requiredTech6Text", ""},
        {"cost1AmountText", ""}, {"cost2AmountText", "0"}, {"cost3AmountText", "250"},
        {"researchTimeText", ""}, {"locationText", "12"}, {"locationNameText", "Watchtower"},
        {"iconIdText", ""}, {"buttonSlotText", "-2"}, {"unknown1Text", "-1"}, {"unknown2Text", "-1"},
        {"unknown3Text", "-1"}, {"unknown4Text", "0"}, {"unknown5Text", "2147483647"}, {"effectNoText", "0"},
    };
    for (const auto& [member, text] : texts)
        EXPECT_EQ(Shown(v, member).text, text) << member;
    for (const char* member : {"requiredTechCheck", "cost1Check", "cost3Check", "civCheck"})
        EXPECT_TRUE(Shown(v, member).checked) << member;
    EXPECT_FALSE(Shown(v, "cost2Check").checked);
    const std::pair<const char*, int> selections[] = {{"cost1TypeList", 0}, {"cost2TypeList", 1}, {"cost3TypeList", NoSelection}, {"civList", 18}};
    for (const auto& [member, position] : selections)
        EXPECT_EQ(Shown(v, member).selection, position) << member;
    EXPECT_EQ(CivNames[18], "Korean");
    EXPECT_EQ(v.effectNo, 0);
}

TEST(TechDetailViewTest, NoneValuesAndTheirBoxes)
{
    TechRecord t;
    t.location = -1;
    t.effectNo = -1;
    t.unknown2 = -1;
    t.civ = -1;
    UnitNameIds units;
    const TechDetailView v = DescribeTech(t, units, MapLookup({}));
    EXPECT_EQ(Shown(v, "locationText").text, "");
    EXPECT_EQ(Shown(v, "locationNameText").text, "");
    EXPECT_EQ(Shown(v, "effectNoText").text, "");
    EXPECT_EQ(v.effectNo, -1);
    EXPECT_EQ(Shown(v, "unknown2Text").text, "-1");
    EXPECT_EQ(Shown(v, "civList").selection, 0);

    t.effectNo = -7;
    EXPECT_EQ(Shown(DescribeTech(t, units, MapLookup({})), "effectNoText").text, "");
    t.location = 866;  // no entry in the unit table
    EXPECT_EQ(Shown(DescribeTech(t, units, MapLookup({{-1, "x"}})), "locationNameText").text, "");
}

TEST(TechDetailViewTest, ListSelections)
{
    const std::pair<std::int16_t, int> resources[] = {{-2, NoSelection}, {-1, 0}, {0, 1}, {3, 4}, {4, NoSelection}};
    for (const auto& [type, position] : resources)
        EXPECT_EQ(ResourceSelection(type), position) << type;
    const std::pair<std::int16_t, int> civs[] = {{-32768, NoSelection}, {-2, NoSelection}, {-1, 0}, {0, 0}, {3, 3}, {18, 18}, {19, NoSelection}, {25, NoSelection}};
    for (const auto& [civ, position] : civs)
        EXPECT_EQ(CivSelection(civ), position) << civ;
    EXPECT_EQ(CivNames[3], "Cothic");
}

TEST(TechDetailViewTest, TechListLines)
{
    TechRecord t;
    t.name = "abc";
    EXPECT_EQ(TechListLine(7, t), "007:abc");
    EXPECT_EQ(TechListLine(123, t), "123:abc");
    t.name = "Caf\xE9";  // Windows-1252
    EXPECT_EQ(TechListLine(0, t), "000:Caf\xC3\xA9");
}

TEST(TextFormsTest, LenientNumbers)
{
    const std::pair<const char*, std::int32_t> rows[] = {
        {"", 0}, {"12", 12}, {"  12", 12}, {"\t-5x", -5}, {"+7", 7}, {"abc", 0}, {"-", 0}, {"12 34", 12},
        {"007", 7}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ReadLenientNumber(text), value) << text;
}

TEST(TextFormsTest, DisplayText)
{
    EXPECT_EQ(DisplayText("plain"), "plain");
    EXPECT_EQ(DisplayText("\xE6\x97\xA5\xE6\x9C\xAC"), "\xE6\x97\xA5\xE6\x9C\xAC");  // valid UTF-8 kept
    EXPECT_EQ(DisplayText("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(DisplayText("\x81\xFF"), "\xC2\x81\xC3\xBF");
    EXPECT_EQ(DisplayText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // an encoded surrogate is not UTF-8
    EXPECT_EQ(FormatNumberBlankNone(-1), "");
    EXPECT_EQ(FormatNumberBlankNone(-2), "-2");
}

} // namespace
} // namespace velmora
