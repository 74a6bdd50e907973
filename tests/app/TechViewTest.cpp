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
        WriteData(DataFile(effects, techs, {MakeUnit(10, 2, 5002), MakeUnit(10, 3, 5003)}));
        Open();
        EnterInPathBox();
        ASSERT_EQ(List(Ids::TechList)->count(), static_cast<int>(techs.size()));
    }

    bool Checked(int id) const { return static_cast<QCheckBox*>(Item(id))->isChecked(); }
    int Selected(int id) const { return static_cast<QComboBox*>(Item(id))->currentIndex(); }
};

TEST_F(TechViewTest, SelectingATechShowsEveryField)
{
    TechSpec t = NamedTech("Detailed", 0);
    t.requiredTechs = {5, -1, -1, -1, -1, -2};
    t.cost = {{{-1, -1, -1}, {0, 40, 0}, {4, 7, 1}}};
    t.requiredTechFlag = 2;
    t.civ = 18;
    t.civFlag = -1;
    t.location = 2;
    t.nameStringId = 7000;
    t.helpStringId = 28000;
    t.researchTime = t.unknown1 = t.iconId = t.unknown2 = t.unknown3 = -1;
    t.buttonSlot = -2;
    t.unknown4 = 4;
    t.unknown5 = 5;
    LoadTechs({NamedTech("Plain"), t}, {EffectSpec{{CommandSpec{103, 0, 0, 0, 0.0f}, CommandSpec{4, -1, 6, 9, 1026.0f}}}});
    SelectTech(1);
    const std::pair<int, const char*> boxes[] = {
        {Ids::NameStringId, "7000"}, {Ids::Name, "Bronze Forge"}, {Ids::HelpStringId, "28000"},
        {Ids::HelpText, "Forges bronze tools."}, {Ids::RequiredTech1, "5"}, {Ids::RequiredTech2, ""},
        {Ids::RequiredTech6, "-2"}, {Ids::Cost1Amount, ""}, {Ids::Cost2Amount, "40"}, {Ids::ResearchTime, ""},
        {Ids::Location, "2"}, {Ids::LocationName, "Watch Post"}, {Ids::IconId, ""}, {Ids::ButtonSlot, "-2"},
        {Ids::Unknown1, "-1"}, {Ids::Unknown2, "-1"}, {Ids::Unknown3, "-1"}, {Ids::Unknown4, "4"},
        {Ids::Unknown5, "5"}, {Ids::EffectNo, "0"},
    };
    for (const auto& [id, text] : boxes)
        EXPECT_EQ(BoxText(id), text) << id;
    EXPECT_EQ(EditBox(Ids::HelpText)->cursorPosition(), 0) << "a box shows the beginning of its text";
    EXPECT_TRUE(Checked(Ids::RequiredTechCheck) && Checked(Ids::Cost1Check) && Checked(Ids::CivCheck));
    EXPECT_FALSE(Checked(Ids::Cost2Check));
    EXPECT_EQ(Selected(Ids::Cost1Type), 0);
    EXPECT_EQ(Selected(Ids::Cost2Type), 1);  // Food
    EXPECT_EQ(Selected(Ids::Cost3Type), -1);  // type 4 has no entry
    EXPECT_EQ(static_cast<QComboBox*>(Item(Ids::CivList))->currentText(), "Korean");
    // In the order of the commands, not of the alphabet.
    EXPECT_EQ(Lines(Ids::EffectList), (QStringList{"Tech Free: ID:0(Plain)", "Enhance +: Class:6(Soldier) Attack[type:4] +2"}));

    // A load leaves no tech selected, and the detail view as blank as at start.
    EnterInPathBox();
    for (const QLineEdit* box : Window().findChildren<QLineEdit*>())
        EXPECT_TRUE(box == EditBox(Ids::Path) || box->text().isEmpty()) << box->text().toStdString();
    for (const QComboBox* list : Window().findChildren<QComboBox*>())
        EXPECT_EQ(list->currentIndex(), -1);
    for (const QCheckBox* check : Window().findChildren<QCheckBox*>())
        EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
}

TEST_F(TechViewTest, TypingAStringIdShowsItsTextUntilAnotherTechIsSelected)
{
    TechSpec named = NamedTech("Named");
    named.nameStringId = 7001;
    named.helpStringId = 28000;
    LoadTechs({named, NamedTech("Other")});
    SelectTech(0);
    ASSERT_EQ(BoxText(Ids::Name), "Lantern Oil");

    TypeInto(Ids::NameStringId, "1x2");  // only digits are taken
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

TEST_F(TechViewTest, TheEffectNumberBoxRendersWhatIsTyped)
{
    LoadTechs({NamedTech("Own", 1)}, {EffectSpec{{CommandSpec{1, 2, 0, 0, 100.0f}}}, EffectSpec{{CommandSpec{103, 0, 0, 0, 0.0f}}}});
    // Without a selected tech, typing changes nothing else.
    TypeInto(Ids::NameStringId, "12");
    TypeInto(Ids::EffectNo, "0");
    EXPECT_EQ(BoxText(Ids::Name), "");
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
    SelectTech(0);
    ASSERT_EQ(Lines(Ids::EffectList), QStringList{"Tech Free: ID:0(Own)"});
    TypeInto(Ids::EffectNo, "");  // no digits read as 0
    EXPECT_EQ(Lines(Ids::EffectList), QStringList{"CivHead  : Type:2 class:0 amount:100.00"});
    dialog->tables.effects[2].commandCount = 1;  // beyond the count: never shown
    TypeInto(Ids::EffectNo, "2");  // one past the last effect
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
    EXPECT_EQ(dialog->tables.techs[0].effectNo, 1);
}

TEST_F(TechViewTest, AnotherTechEmptiesWhatItDoesNotHaveAndTickingChangesNothingStored)
{
    TechSpec stored = NamedTech("Stored", 0);
    stored.cost[0] = {1, 10, 1};
    stored.civ = 3;
    TechSpec beyond = NamedTech("Beyond");
    beyond.civ = 25;
    LoadTechs({stored, beyond}, {EffectSpec{{CommandSpec{1, 2, 0, 0, 100.0f}}}});
    SelectTech(0);
    ASSERT_EQ(List(Ids::EffectList)->count(), 1);
    EXPECT_EQ(Selected(Ids::CivList), 3);
    QTest::mouseClick(Item(Ids::Cost1Check), Qt::LeftButton);
    EXPECT_FALSE(Checked(Ids::Cost1Check));
    static_cast<QComboBox*>(Item(Ids::Cost1Type))->setCurrentIndex(4);
    SelectTech(1);
    EXPECT_EQ(List(Ids::EffectList)->count(), 0);
    EXPECT_EQ(BoxText(Ids::EffectNo), "");
    EXPECT_EQ(Selected(Ids::CivList), -1);
    SelectTech(0);
    EXPECT_TRUE(Checked(Ids::Cost1Check));
    EXPECT_EQ(Selected(Ids::Cost1Type), 2);
    EXPECT_EQ(dialog->tables.techs[0].cost[0].flag, 1);
    QTest::mouseClick(Item(Ids::Cost1Check), Qt::LeftButton);
    SelectTech(0);  // the selected line, clicked again
    EXPECT_TRUE(Checked(Ids::Cost1Check));
    // Neither a control-click nor a click below the lines empties the list.
    QListWidget* list = List(Ids::TechList);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, list->viewport()->height() - 2));
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->currentRow(), 0);
}

} // namespace
} // namespace velmora
