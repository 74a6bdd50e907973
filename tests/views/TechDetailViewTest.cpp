#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "views/NamingTables.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {
namespace {

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
    t.cost = {{{-1, -1, -1}, {0, 0, 0}, {4, 250, 2}}};
    t.requiredTechFlag = 2;
    t.civ = 18;
    t.civFlag = -1;
    t.location = 12;
    t.nameStringId = t.researchTime = t.unknown1 = t.iconId = t.unknown2 = t.unknown3 = -1;
    t.helpStringId = 28000;
    t.buttonSlot = -2;
    t.unknown5 = 2147483647;
    UnitNameIds units;
    units[12] = 5012;
    const std::map<std::int64_t, std::string> texts{{-1, "none"}, {28000, "Help text"}, {5012, "Watchtower"}};
    const StringLookup lookup = [&texts](std::int64_t id) { return texts.contains(id) ? texts.at(id) : std::string(); };
    const TechDetailView v = DescribeTech(t, units, lookup);

    const std::pair<const char*, const char*> boxes[] = {
        {"nameStringIdText", ""}, {"nameText", "none"},  // the stored id is asked as it is, -1 included
        {"helpStringIdText", "28000"}, {"helpText", "Help text"},
        {"requiredTech1Text", "5"}, {"requiredTech2Text", ""}, {"requiredTech4Text", "-2"}, {"requiredTech5Text", "0"},
        {"cost1AmountText", ""}, {"cost2AmountText", "0"}, {"cost3AmountText", "250"},
        {"researchTimeText", ""}, {"locationText", "12"}, {"locationNameText", "Watchtower"},
        {"iconIdText", ""}, {"buttonSlotText", "-2"}, {"unknown1Text", "-1"}, {"unknown2Text", "-1"},
        {"unknown3Text", "-1"}, {"unknown4Text", "0"}, {"unknown5Text", "2147483647"}, {"effectNoText", "0"},
    };
    for (const auto& [member, text] : boxes)
        EXPECT_EQ(Shown(v, member).text, text) << member;
    for (const char* member : {"requiredTechCheck", "cost1Check", "cost3Check", "civCheck"})
        EXPECT_TRUE(Shown(v, member).checked) << member;
    EXPECT_FALSE(Shown(v, "cost2Check").checked);
    const std::pair<const char*, int> lists[] = {{"cost1TypeList", 0}, {"cost2TypeList", 1}, {"cost3TypeList", NoSelection}, {"civList", 18}};
    for (const auto& [member, position] : lists)
        EXPECT_EQ(Shown(v, member).selection, position) << member;

    // None values: no effect, no location, no civilization.
    t.location = t.effectNo = t.civ = -1;
    const TechDetailView none = DescribeTech(t, units, lookup);
    for (const char* member : {"locationText", "locationNameText", "effectNoText"})
        EXPECT_EQ(Shown(none, member).text, "") << member;
    EXPECT_EQ(none.effectNo, -1);
    EXPECT_EQ(Shown(none, "civList").selection, 0);
    t.effectNo = -7;
    t.location = 866;  // past the unit table
    EXPECT_EQ(Shown(DescribeTech(t, units, lookup), "effectNoText").text, "");
    EXPECT_EQ(Shown(DescribeTech(t, units, lookup), "locationNameText").text, "");
}

TEST(TechDetailViewTest, ListPositionsAndLines)
{
    const std::pair<std::int16_t, int> resources[] = {{-2, NoSelection}, {-1, 0}, {0, 1}, {3, 4}, {4, NoSelection}};
    for (const auto& [type, position] : resources)
        EXPECT_EQ(ResourceSelection(type), position) << type;
    const std::pair<std::int16_t, int> civs[] = {{-32768, NoSelection}, {-2, NoSelection}, {-1, 0}, {0, 0}, {3, 3}, {18, 18}, {19, NoSelection}};
    for (const auto& [civ, position] : civs)
        EXPECT_EQ(CivSelection(civ), position) << civ;
    TechRecord t;
    t.name = "abc";
    EXPECT_EQ(TechListLine(7, t), "007:abc");
    t.name = "Caf\xE9";  // Windows-1252
    EXPECT_EQ(TechListLine(123, t), "123:Caf\xC3\xA9");
}

TEST(TextFormsTest, LenientNumbersAndDisplayTexts)
{
    const std::pair<const char*, std::int32_t> numbers[] = {
        {"", 0}, {"12", 12}, {"  12", 12}, {"\t-5x", -5}, {"+7", 7}, {"abc", 0}, {"-", 0}, {"12 34", 12},
        {"007", 7}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ReadLenientNumber(text), value) << text;
    const std::pair<const char*, const char*> texts[] = {
        {"plain", "plain"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},  // valid UTF-8 kept
        {"\x80", "\xE2\x82\xAC"},
        {"\x81\xFF", "\xC2\x81\xC3\xBF"},
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // an encoded surrogate is not UTF-8
    };
    for (const auto& [bytes, text] : texts)
        EXPECT_EQ(DisplayText(bytes), text) << bytes;
    EXPECT_EQ(FormatNumberBlankNone(-2), "-2");
}

} // namespace
} // namespace velmora
