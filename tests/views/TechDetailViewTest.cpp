#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

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

// The main dialog's test shows every field of a tech on the real boxes; here are the
// values at the edges of each form.
TEST(TechDetailViewTest, FieldFormsAtTheirEdges)
{
    TechRecord t;
    t.requiredTechs = {0, -1, -2, -1, -1, -1};
    t.cost[2] = {4, 250, 2};
    t.nameStringId = t.location = t.civ = -1;
    t.unknown5 = 2147483647;
    const std::map<std::int64_t, std::string> texts{{-1, "none"}};
    const StringLookup lookup = [&texts](std::int64_t id) { return texts.contains(id) ? texts.at(id) : std::string(); };
    const TechDetailView v = DescribeTech(t, UnitNameIds(), lookup);
    const std::pair<const char*, const char*> boxes[] = {
        {"nameStringIdText", ""}, {"nameText", "none"},  // the stored id is asked as it is, -1 included
        {"requiredTech1Text", "0"}, {"requiredTech2Text", ""}, {"requiredTech3Text", "-2"}, {"cost3AmountText", "250"},
        {"locationText", ""}, {"locationNameText", ""}, {"unknown4Text", "0"}, {"unknown5Text", "2147483647"}, {"effectNoText", "0"},
    };
    for (const auto& [member, text] : boxes)
        EXPECT_EQ(Shown(v, member).text, text) << member;
    EXPECT_TRUE(Shown(v, "cost3Check").checked);
    EXPECT_FALSE(Shown(v, "cost2Check").checked);
    EXPECT_EQ(Shown(v, "cost3TypeList").selection, NoSelection);
    EXPECT_EQ(Shown(v, "civList").selection, 0);
    EXPECT_EQ(v.effectNo, 0);
    t.effectNo = -7;
    t.location = 866;  // past the unit table
    EXPECT_EQ(Shown(DescribeTech(t, UnitNameIds(), lookup), "effectNoText").text, "");
    EXPECT_EQ(Shown(DescribeTech(t, UnitNameIds(), lookup), "locationNameText").text, "");
}

TEST(TechDetailViewTest, ListPositionsAndLines)
{
    const std::tuple<std::int16_t, int, int> rows[] = {{-2, NoSelection, NoSelection}, {-1, 0, 0}, {0, 1, 0}, {3, 4, 3}, {4, NoSelection, 4}, {19, NoSelection, NoSelection}};
    for (const auto& [value, resource, civ] : rows) {
        EXPECT_EQ(ResourceSelection(value), resource) << value;
        EXPECT_EQ(CivSelection(value), civ) << value;
    }
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
    for (const std::size_t length : {255, 256, 257})  // about the length formatted at once
        EXPECT_EQ(FormatText("%s.", std::string(length - 1, 'x').c_str()), std::string(length - 1, 'x') + ".");
}

} // namespace
} // namespace velmora
