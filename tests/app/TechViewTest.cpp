// Selecting a tech, and the boxes that follow what the user types.
#include "tests/app/AppFixture.h"

#include <QCheckBox>
#include <QComboBox>

namespace velmora {
namespace {

using namespace fixtures;

class TechViewTest : public AppTest {
protected:
    void LoadTechs(const std::vector<TechSpec>& techs, const std::vector<EffectSpec>& effects = {})
    {
        UnitSpec watch;
        watch.type = 10;
        watch.id = 2;
        watch.nameStringId = 5002;
        UnitSpec last;
        last.type = 10;
        last.id = 3;
        last.nameStringId = 5003;
        WriteData(DataFile(effects, techs, {watch, last}));
        Open();
        EnterInPathBox();
        ASSERT_EQ(List(Ids::TechList)->count(), static_cast<int>(techs.size()));
    }

    bool Checked(int id) const { return static_cast<QCheckBox*>(Item(id))->isChecked(); }
    int Selected(int id) const { return static_cast<QComboBox*>(Item(id))->currentIndex(); }
};

TechSpec Detailed()
{
    TechSpec t = NamedTech("Detailed", 0);
    t.requiredTechs = {5, -1, -1, -1, -1, -2};
    t.cost[0] = {-1, -1, -1};
    t.cost[1] = {0, 40, 0};
    t.cost[2] = {4, 7, 1};
    t.requiredTechFlag = 2;
    t.civ = 18;
    t.civFlag = -1;
    t.location = 2;
    t.nameStringId = 7000;
    t.helpStringId = 28000;
    t.researchTime = -1;
    t.unknown1 = -1;
    t.iconId = -1;
    t.unknown2 = -1;
    t.buttonSlot = -2;
    t.unknown3 = -1;
    t.unknown4 = 4;
    t.unknown5 = 5;
    return t;
}

TEST_F(TechViewTest, SelectingATechShowsEveryField)
{
    LoadTechs({NamedTech("Plain"), Detailed()}, {EffectSpec{{CommandSpec{4, -1, 6, 9, 1026.0f}, CommandSpec{103, 0, 0, 0, 0.0f}}}});
    SelectTech(1);
    EXPECT_EQ(BoxText(Ids::NameStringId), "7000");
    EXPECT_EQ(BoxText(Ids::Name), "Bronze Forge");
    EXPECT_EQ(BoxText(Ids::HelpStringId), "28000");
    EXPECT_EQ(BoxText(Ids::HelpText), "Forges bronze tools.");
    EXPECT_TRUE(Checked(Ids::RequiredTechCheck));
    EXPECT_EQ(BoxText(Ids::RequiredTech1), "5");
    EXPECT_EQ(BoxText(Ids::RequiredTech2), "");
    EXPECT_EQ(BoxText(Ids::RequiredTech6), "-2");
    EXPECT_TRUE(Checked(Ids::Cost1Check));
    EXPECT_EQ(BoxText(Ids::Cost1Amount), "");
    EXPECT_EQ(Selected(Ids::Cost1Type), 0);
    EXPECT_FALSE(Checked(Ids::Cost2Check));
    EXPECT_EQ(Selected(Ids::Cost2Type), 1);  // Food
    EXPECT_EQ(BoxText(Ids::Cost2Amount), "40");
    EXPECT_EQ(Selected(Ids::Cost3Type), -1);  // type 4 has no entry
    EXPECT_TRUE(Checked(Ids::CivCheck));
    EXPECT_EQ(static_cast<QComboBox*>(Item(Ids::CivList))->currentText(), "Korean");
    EXPECT_EQ(BoxText(Ids::ResearchTime), "");
    EXPECT_EQ(BoxText(Ids::Location), "2");
    EXPECT_EQ(BoxText(Ids::LocationName), "Watch Post");
    EXPECT_EQ(BoxText(Ids::IconId), "");
    EXPECT_EQ(BoxText(Ids::ButtonSlot), "-2");
    EXPECT_EQ(BoxText(Ids::Unknown1), "-1");
    EXPECT_EQ(BoxText(Ids::Unknown2), "-1");
    EXPECT_EQ(BoxText(Ids::Unknown3), "-1");
    EXPECT_EQ(BoxText(Ids::Unknown5), "5");
    EXPECT_EQ(BoxText(Ids::EffectNo), "0");
    EXPECT_EQ(Lines(Ids::EffectList), (QStringList{"Enhance +: Class:6(Soldier) Attack[type:4] +2", "Tech Free: ID:0(Plain)"}));
}

TEST_F(TechViewTest, LineOneHundredTwentyThreeShowsTechOneHundredTwentyThree)
{
    std::vector<TechSpec> techs = ManyTechs(460);
    techs[123].researchTime = 123;
    LoadTechs(techs);
    SelectTech(123);
    EXPECT_EQ(List(Ids::TechList)->currentRow(), 123);
    EXPECT_EQ(BoxText(Ids::ResearchTime), "123");
}

TEST_F(TechViewTest, ATechWithoutEffectEmptiesTheEffectList)
{
    LoadTechs({NamedTech("With", 0), NamedTech("Without", -1)}, {EffectSpec{{CommandSpec{1, 2, 0, 0, 100.0f}}}});
    SelectTech(0);
    ASSERT_EQ(List(Ids::EffectList)->count(), 1);
    SelectTech(1);
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
    EXPECT_EQ(BoxText(Ids::EffectNo), "");
}

TEST_F(TechViewTest, ACivilizationBeyondTheListSelectsNothing)
{
    TechSpec third = NamedTech("Third");
    third.civ = 3;
    TechSpec beyond = NamedTech("Beyond");
    beyond.civ = 25;
    TechSpec none = NamedTech("None");
    none.civ = -2;
    LoadTechs({third, beyond, none});
    SelectTech(0);
    EXPECT_EQ(Selected(Ids::CivList), 3);
    SelectTech(1);
    EXPECT_EQ(Selected(Ids::CivList), -1);
    SelectTech(0);
    SelectTech(2);
    EXPECT_EQ(Selected(Ids::CivList), -1);
}

TEST_F(TechViewTest, TypingAStringIdShowsItsTextUntilAnotherTechIsSelected)
{
    TechSpec named = NamedTech("Named");
    named.nameStringId = 7001;
    named.helpStringId = 28000;
    LoadTechs({named, NamedTech("Other")});
    SelectTech(0);
    ASSERT_EQ(BoxText(Ids::Name), "Lantern Oil");

    TypeInto(Ids::NameStringId, "12");
    EXPECT_EQ(BoxText(Ids::Name), "Id twelve");
    EXPECT_EQ(BoxText(Ids::NameStringId), "12");
    EXPECT_EQ(EditBox(Ids::NameStringId)->cursorPosition(), 2);  // the typing box keeps its caret
    TypeInto(Ids::NameStringId, "");
    EXPECT_EQ(BoxText(Ids::Name), "Id zero");

    TypeInto(Ids::HelpStringId, "7000");
    EXPECT_EQ(BoxText(Ids::HelpText), "Bronze Forge");

    SelectTech(1);
    SelectTech(0);
    EXPECT_EQ(BoxText(Ids::NameStringId), "7001");
    EXPECT_EQ(BoxText(Ids::Name), "Lantern Oil");
    EXPECT_EQ(BoxText(Ids::HelpText), "Forges bronze tools.");
    EXPECT_EQ(dialog->tables.techs[0].nameStringId, 7001);
}

TEST_F(TechViewTest, WithoutASelectedTechTypingChangesNothingElse)
{
    LoadTechs({NamedTech("Only", 0)}, {EffectSpec{{CommandSpec{1, 2, 0, 0, 1.0f}}}});
    TypeInto(Ids::NameStringId, "12");
    TypeInto(Ids::EffectNo, "0");
    EXPECT_EQ(BoxText(Ids::Name), "");
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
}

TEST_F(TechViewTest, TheEffectNumberBoxRendersWhatIsTyped)
{
    LoadTechs({NamedTech("Own", 1)}, {EffectSpec{{CommandSpec{1, 2, 0, 0, 100.0f}}}, EffectSpec{{CommandSpec{103, 0, 0, 0, 0.0f}}}});
    SelectTech(0);
    ASSERT_EQ(Lines(Ids::EffectList), QStringList{"Tech Free: ID:0(Own)"});
    TypeInto(Ids::EffectNo, "");  // no digits read as 0
    EXPECT_EQ(Lines(Ids::EffectList), QStringList{"CivHead  : Type:2 class:0 amount:100.00"});
    TypeInto(Ids::EffectNo, "2");  // one past the last effect
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
    EXPECT_EQ(dialog->tables.techs[0].effectNo, 1);
}

TEST_F(TechViewTest, TickingAndChoosingChangeNothingStored)
{
    TechSpec t = NamedTech("Stored");
    t.cost[0] = {1, 10, 1};
    LoadTechs({t, NamedTech("Other")});
    SelectTech(0);
    QTest::mouseClick(Item(Ids::Cost1Check), Qt::LeftButton);
    EXPECT_FALSE(Checked(Ids::Cost1Check));
    static_cast<QComboBox*>(Item(Ids::Cost1Type))->setCurrentIndex(4);
    SelectTech(1);
    SelectTech(0);
    EXPECT_TRUE(Checked(Ids::Cost1Check));
    EXPECT_EQ(Selected(Ids::Cost1Type), 2);
    EXPECT_EQ(dialog->tables.techs[0].cost[0].flag, 1);
    QTest::mouseClick(Item(Ids::Cost1Check), Qt::LeftButton);
    SelectTech(0);  // the selected line, clicked again
    EXPECT_TRUE(Checked(Ids::Cost1Check));
}

} // namespace
} // namespace velmora
