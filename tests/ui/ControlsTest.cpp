#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>

#include <memory>

#include "tests/ui/TestDialog.h"

namespace velmora::testing_ui {
namespace {

using Log = std::vector<std::string>;
using Texts = std::vector<std::string>;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<TestDialog>();
        ASSERT_TRUE(ShowActive(*dialog));
        dialog->log.clear();
    }

    QWidget* Item(int id) const { return WidgetOf(*dialog, id); }
    QLineEdit* EditBox(int id) const { return static_cast<QLineEdit*>(Item(id)); }
    QListWidget* ListWidget(int id) const { return static_cast<QListWidget*>(Item(id)); }

    static Texts Lines(const ListControl& list)
    {
        Texts lines;
        for (int i = 0; i < list.GetCount(); ++i) {
            lines.push_back(list.GetText(i));
        }
        return lines;
    }

    // Clicks line `row` of list box `id` with the mouse.
    void ClickLine(int id, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QListWidget* widget = ListWidget(id);
        const QRect line = widget->visualItemRect(widget->item(row));
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, modifiers, line.center());
    }

    std::unique_ptr<TestDialog> dialog;
};

// List boxes ------------------------------------------------------------------------------

TEST_F(ControlsTest, SortedListBoxKeepsLinesInTextOrderIgnoringCase)
{
    ListBox& list = dialog->sortedList;
    EXPECT_EQ(list.AddString("b"), 0);
    EXPECT_EQ(list.AddString("C"), 1);
    EXPECT_EQ(list.AddString("a"), 0);
    EXPECT_EQ(list.AddString("B"), 2); // equal to "b": after it
    EXPECT_EQ(list.AddString(""), 0);
    EXPECT_EQ(Lines(list), (Texts{"", "a", "b", "B", "C"}));
}

TEST_F(ControlsTest, SortedListBoxOrdersZeroPaddedNumbersByValue)
{
    ListBox& list = dialog->sortedList;
    for (const char* line : {"459:Last", "010:Ten", "000:First", "100:Hundred", "009:Nine", "123:Abc"}) {
        list.AddString(line);
    }
    EXPECT_EQ(Lines(list), (Texts{"000:First", "009:Nine", "010:Ten", "100:Hundred", "123:Abc", "459:Last"}));
}

TEST_F(ControlsTest, SortedListBoxComparesLettersBeyondAsciiByCodePointAfterFolding)
{
    ListBox& list = dialog->sortedList;
    list.AddString("\xc3\x86r\xc3\xb8");  // Ærø, folds to æ (U+00E6)
    list.AddString("\xc3\xa1" "bc");     // ábc (U+00E1)
    list.AddString("zeta");
    list.AddString("\xc3\xa6r");          // ær
    EXPECT_EQ(Lines(list), (Texts{"zeta", "ábc", "ær", "Ærø"}));
}

TEST_F(ControlsTest, UnsortedListBoxKeepsTheOrderOfAdding)
{
    ListBox& list = dialog->unsortedList;
    EXPECT_EQ(list.AddString("b"), 0);
    EXPECT_EQ(list.AddString("C"), 1);
    EXPECT_EQ(list.AddString("a"), 2);
    EXPECT_EQ(Lines(list), (Texts{"b", "C", "a"}));
}

TEST_F(ControlsTest, ALineLongerThanTheListIsCutAtTheBorderWithoutEllipsis)
{
    ListBox& list = dialog->unsortedList;
    list.AddString("Cost Tech: ID:277(River Walls) Resource type:3 target:1 amount:900 and on");
    QListWidget* widget = ListWidget(TestIds::UnsortedList);
    const QString text = widget->item(0)->text();
    const int narrow = widget->viewport()->width();
    ASSERT_GT(widget->fontMetrics().horizontalAdvance(text), narrow);
    const QRect line = widget->visualItemRect(widget->item(0));
    const QImage cut = widget->viewport()->grab().toImage();

    // The same line in the same list made wide enough for all of it: the part the
    // narrow list shows is the same, pixel for pixel, up to its border.
    widget->resize(widget->width() + 1000, widget->height());
    ASSERT_GT(widget->viewport()->width(), widget->fontMetrics().horizontalAdvance(text) + 20);
    const QImage whole = widget->viewport()->grab().toImage();
    const QRect shown(0, line.top(), narrow, line.height());
    EXPECT_TRUE(cut.copy(shown) == whole.copy(shown)) << "no ellipsis at the end of the line";
}

TEST_F(ControlsTest, ResetContentRemovesLinesAndSelection)
{
    ListBox& list = dialog->sortedList;
    list.AddString("one");
    list.AddString("two");
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_EQ(list.GetText(0), "");
    EXPECT_TRUE(dialog->log.empty()) << "what the program does is not reported";
}

TEST_F(ControlsTest, SelectionOutsideTheListLeavesNone)
{
    ListBox& list = dialog->unsortedList;
    list.AddString("one");
    list.AddString("two");
    EXPECT_EQ(list.GetCurSel(), ListError);
    list.SetCurSel(0);
    EXPECT_EQ(list.SetCurSel(2), ListError);
    EXPECT_EQ(list.GetCurSel(), ListError);
    list.SetCurSel(1);
    EXPECT_EQ(list.SetCurSel(ListError), ListError);
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_TRUE(dialog->log.empty());
}

TEST_F(ControlsTest, UserSelectionIsReportedWithTheNewLine)
{
    for (const char* line : {"c", "a", "b"}) {
        dialog->sortedList.AddString(line);
        dialog->unsortedList.AddString(line);
    }
    ClickLine(TestIds::SortedList, 2);
    ClickLine(TestIds::UnsortedList, 1);
    PressKey(Qt::Key_Up); // the unsorted list holds the focus after the click
    EXPECT_TRUE((dialog->log == Log{"SelSorted:2", "SelUnsorted:1", "SelUnsorted:0"}));
    EXPECT_EQ(dialog->sortedList.GetText(2), "c");
}

TEST_F(ControlsTest, EveryClickOnALineIsReportedAndTheUserCannotEmptyTheList)
{
    dialog->unsortedList.AddString("a");
    dialog->unsortedList.AddString("b");
    ClickLine(TestIds::UnsortedList, 1);
    ClickLine(TestIds::UnsortedList, 1);
    ClickLine(TestIds::UnsortedList, 1, Qt::ControlModifier);
    EXPECT_EQ(dialog->unsortedList.GetCurSel(), 1);
    PressKey(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(dialog->unsortedList.GetCurSel(), 1);
    QWidget* area = ListWidget(TestIds::UnsortedList)->viewport();
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(5, area->height() - 2));  // below the lines
    EXPECT_EQ(dialog->unsortedList.GetCurSel(), 1);
    EXPECT_TRUE((dialog->log == Log{"SelUnsorted:1", "SelUnsorted:1", "SelUnsorted:1"})) << dialog->log.back();
}

TEST_F(ControlsTest, FocusAloneSelectsNothing)
{
    dialog->unsortedList.AddString("only");
    Item(TestIds::FreeEdit)->setFocus();
    PressKey(Qt::Key_Backtab);
    PressKey(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), Item(TestIds::UnsortedList));
    EXPECT_EQ(dialog->unsortedList.GetCurSel(), ListError);
    EXPECT_TRUE(dialog->log.empty());
}

TEST_F(ControlsTest, ListBoxWithoutNotifyStyleReportsNothing)
{
    dialog->quietList.AddString("x");
    dialog->quietList.AddString("y");
    ClickLine(TestIds::QuietList, 1);
    EXPECT_EQ(dialog->quietList.GetCurSel(), 1);
    EXPECT_TRUE(dialog->log.empty());
}

// Drop-down lists -------------------------------------------------------------------------

TEST_F(ControlsTest, DropDownListHasTheTemplateEntriesAtFixedPositionsAndNoSelection)
{
    DropDownList& list = dialog->fruitList;
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetText(0), "");
    EXPECT_EQ(list.GetText(1), "Apple");
    EXPECT_EQ(list.GetText(2), "Pear");
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_FALSE(static_cast<QComboBox*>(Item(TestIds::FruitList))->isEditable());
    EXPECT_EQ(list.AddString("Fig"), 3);
    EXPECT_EQ(list.GetCurSel(), ListError) << "adding selects nothing";
}

TEST_F(ControlsTest, DropDownSelectionByPosition)
{
    DropDownList& list = dialog->fruitList;
    EXPECT_EQ(list.SetCurSel(2), 2);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(static_cast<QComboBox*>(Item(TestIds::FruitList))->currentText(), "Pear");
    EXPECT_EQ(list.SetCurSel(3), ListError);
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_EQ(static_cast<QComboBox*>(Item(TestIds::FruitList))->currentText(), "");
    list.SetCurSel(1);
    EXPECT_EQ(list.SetCurSel(-1), ListError);
    EXPECT_EQ(list.GetCurSel(), ListError);
    list.SetCurSel(1);
    EXPECT_EQ(list.SetCurSel(-128), ListError);
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_TRUE(dialog->log.empty());
}

TEST_F(ControlsTest, DropDownUserChoiceIsReported)
{
    dialog->fruitList.SetCurSel(0);
    Item(TestIds::FruitList)->setFocus();
    PressKey(Qt::Key_Down);
    EXPECT_EQ(dialog->fruitList.GetCurSel(), 1);
    EXPECT_TRUE((dialog->log == Log{"SelFruit:1"}));
    QTest::keyClicks(QApplication::focusWidget(), "x"); // no typing into the list
    EXPECT_EQ(dialog->fruitList.GetText(1), "Apple");
    EXPECT_EQ(dialog->fruitList.GetCount(), 3);
}

// Edit boxes ------------------------------------------------------------------------------

TEST_F(ControlsTest, DigitsOnlyBoxRefusesTypedNonDigits)
{
    QTest::keyClicks(Item(TestIds::DigitsEdit), "a-1");
    EXPECT_EQ(EditBox(TestIds::DigitsEdit)->text(), "1");
    QTest::keyClicks(Item(TestIds::DigitsEdit), "2.5 x+");
    EXPECT_EQ(EditBox(TestIds::DigitsEdit)->text(), "125");
    QTest::keyClick(Item(TestIds::DigitsEdit), Qt::Key_Backspace);
    EXPECT_EQ(EditBox(TestIds::DigitsEdit)->text(), "12");
}

TEST_F(ControlsTest, DigitsOnlyBoxTakesAnyTextFromTheProgram)
{
    dialog->digitsText = "-1";
    ASSERT_TRUE(dialog->UpdateData(false));
    EXPECT_EQ(EditBox(TestIds::DigitsEdit)->text(), "-1");
    // Only the typed character is checked, not the text it lands in.
    QTest::keyClick(Item(TestIds::DigitsEdit), Qt::Key_End);
    QTest::keyClicks(Item(TestIds::DigitsEdit), "5");
    EXPECT_EQ(EditBox(TestIds::DigitsEdit)->text(), "-15");
}

TEST_F(ControlsTest, TextFromTheProgramShowsItsBeginning)
{
    QLineEdit* box = EditBox(TestIds::FreeEdit);
    dialog->freeText = std::string(200, 'x');
    ASSERT_TRUE(dialog->UpdateData(false));
    EXPECT_EQ(box->cursorPosition(), 0);
    QTest::keyClick(box, Qt::Key_End);
    ASSERT_TRUE(dialog->UpdateData(true));
    ASSERT_TRUE(dialog->UpdateData(false));
    EXPECT_EQ(box->cursorPosition(), 200) << "an unchanged box keeps its cursor";
}

TEST_F(ControlsTest, ReadOnlyBoxRefusesTyping)
{
    dialog->readOnlyText = "fixed";
    ASSERT_TRUE(dialog->UpdateData(false));
    QTest::keyClicks(Item(TestIds::ReadOnlyEdit), "xy");
    QTest::keyClick(Item(TestIds::ReadOnlyEdit), Qt::Key_Backspace);
    EXPECT_EQ(EditBox(TestIds::ReadOnlyEdit)->text(), "fixed");
    EXPECT_TRUE(dialog->log.empty());
}

// Check boxes -----------------------------------------------------------------------------

TEST_F(ControlsTest, AutomaticCheckBoxTogglesOnClickAndSpace)
{
    QTest::mouseClick(Item(TestIds::MarkCheck), Qt::LeftButton);
    EXPECT_EQ(dialog->markCheck.GetCheck(), CheckMark::Checked);
    Item(TestIds::MarkCheck)->setFocus();
    PressKey(Qt::Key_Space);
    EXPECT_EQ(dialog->markCheck.GetCheck(), CheckMark::Unchecked);
    EXPECT_TRUE((dialog->log == Log{"ClickedMark:on", "ClickedMark:off"}));
}

TEST_F(ControlsTest, SetCheckByTheProgramIsNoClick)
{
    dialog->markCheck.SetCheck(CheckMark::Checked);
    EXPECT_EQ(dialog->markCheck.GetCheck(), CheckMark::Checked);
    dialog->markCheck.SetCheck(CheckMark::Unchecked);
    EXPECT_EQ(dialog->markCheck.GetCheck(), CheckMark::Unchecked);
    dialog->goButton.SetCheck(CheckMark::Checked); // a push button has no mark
    EXPECT_EQ(dialog->goButton.GetCheck(), CheckMark::Unchecked);
    EXPECT_TRUE(dialog->log.empty());
}

TEST_F(ControlsTest, CheckBoxWithoutAutomaticCheckingKeepsItsMark)
{
    QTest::mouseClick(Item(TestIds::PlainCheck), Qt::LeftButton);
    EXPECT_EQ(dialog->plainCheck.GetCheck(), CheckMark::Unchecked);
    EXPECT_TRUE((dialog->log == Log{"ClickedPlain"}));
}

// Handles ---------------------------------------------------------------------------------

TEST(ControlHandleTest, UnboundHandlesDoNothing)
{
    ListBox list;
    EXPECT_EQ(list.AddString("x"), ListError);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), ListError);
    EXPECT_EQ(list.SetCurSel(0), ListError);
    EXPECT_EQ(list.GetText(0), "");
    Button button;
    button.SetCheck(CheckMark::Checked);
    EXPECT_EQ(button.GetCheck(), CheckMark::Unchecked);
    EXPECT_FALSE(button.IsWindowEnabled());
}

} // namespace
} // namespace velmora::testing_ui
