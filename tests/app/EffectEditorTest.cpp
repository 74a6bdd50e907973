// "Change": the effect dialog opened from the main dialog's effect list.
#include "tests/app/AppFixture.h"

#include <QComboBox>

#include "editor/EffectDialog.h"

namespace velmora {
namespace {

using namespace fixtures;

struct Seen {
    bool opened = false;
    QString type;
    QStringList texts;
    bool ownedAndBlocking = false;
};

class EffectEditorTest : public AppTest {
protected:
    void Load()
    {
        WriteData(DataFile({EffectSpec{{CommandSpec{1, 2, 0, 0, 100.0f}, CommandSpec{4, -1, 6, 9, 1026.0f}}},
                            EffectSpec{{CommandSpec{102, 0, 0, 0, 0.0f}, CommandSpec{7, 1, 2, 3, 1.5f}}}},
                           {NamedTech("First", 0), NamedTech("Second", 1)}));
        Open();
        EnterInPathBox();
    }

    // Clicks "Change"; while the effect dialog is open, records what it shows, runs
    // `inside`, then closes it with `closeKey` (0: the close box).
    Seen ClickChange(std::function<void()> inside = {}, int closeKey = Qt::Key_Escape)
    {
        Seen seen;
        QTimer::singleShot(0, &Window(), [&] {
            auto* editor = dynamic_cast<EffectDialog*>(DialogOf(QApplication::activeModalWidget()));
            if (!editor)
                return;  // nothing opened: the click returned at once
            if (!WaitUntilActive(*editor)) {
                editor->EndDialog(-1);
                return;
            }
            seen.opened = true;
            seen.type = static_cast<QComboBox*>(WidgetOf(*editor, EffectDialogIds::TypeList))->currentText();
            for (int id : {EffectDialogIds::Data1, EffectDialogIds::Data2, EffectDialogIds::Data3, EffectDialogIds::Data4})
                seen.texts << static_cast<QLineEdit*>(WidgetOf(*editor, id))->text();
            seen.ownedAndBlocking = WindowOf(*editor).parentWidget() == &Window() && QApplication::activeModalWidget() == &WindowOf(*editor);
            if (inside)
                inside();
            if (closeKey)
                PressKey(closeKey);
            else
                WindowOf(*editor).close();
        });
        QTest::mouseClick(Item(Ids::Change), Qt::LeftButton);
        QCoreApplication::processEvents();
        return seen;
    }
};

TEST_F(EffectEditorTest, OpensOnTheSelectedLineOfTheEffectTheListShows)
{
    Load();
    EXPECT_FALSE(ClickChange().opened);  // no tech selected
    SelectTech(0);
    EXPECT_FALSE(ClickChange().opened);  // no effect line selected
    ClickLine(Ids::EffectList, 1);
    const Seen seen = ClickChange();
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.type, "04:Enhance +/-");
    EXPECT_EQ(seen.texts, (QStringList{"-1", "6", "9", "1026.000000"}));
    EXPECT_TRUE(seen.ownedAndBlocking);

    TypeInto(Ids::EffectNo, "1");
    ClickLine(Ids::EffectList, 0);
    EXPECT_EQ(ClickChange().type, "102:Tech Tree Disable");
    ClickLine(Ids::EffectList, 1);
    const Seen generic = ClickChange();
    EXPECT_EQ(generic.type, "");  // type 7 has no entry
    EXPECT_EQ(generic.texts, (QStringList{"1", "2", "3", "1.500000"}));
}

TEST_F(EffectEditorTest, NothingTypedInTheDialogIsKept)
{
    Load();
    SelectTech(0);
    ClickLine(Ids::EffectList, 1);
    const QStringList before = Lines(Ids::EffectList);
    const auto typeAndEnter = [] {
        PressKey(Qt::Key_Up);
        PressKey(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "99");
    };
    ClickChange(typeAndEnter, Qt::Key_Return);
    EXPECT_EQ(Lines(Ids::EffectList), before);
    EXPECT_EQ(dialog->tables.effects[0].commands[1].data1, -1);
    ClickLine(Ids::EffectList, 1);
    EXPECT_EQ(ClickChange().texts, (QStringList{"-1", "6", "9", "1026.000000"}));
    ClickLine(Ids::EffectList, 1);
    EXPECT_TRUE(ClickChange({}, 0).opened);  // the close box
    EXPECT_TRUE(Window().isEnabled());
}

TEST_F(EffectEditorTest, ACommandThatNoLongerExistsOpensNothing)
{
    Load();
    SelectTech(0);
    ClickLine(Ids::EffectList, 1);
    // The same lines stay on show while the tables change underneath.
    dialog->tables.effects[0].commandCount = 1;
    EXPECT_FALSE(ClickChange().opened);
}

} // namespace
} // namespace velmora
