#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>

#include "tests/support/DialogDriver.h"
#include "editor/EffectDialog.h"
#include "resources/ResourceIds.h"

namespace velmora {
namespace {

using fixtures::PressKey;
using fixtures::WhenActive;

QString EditText(const EffectDialog& d, int id)
{
    return static_cast<QLineEdit*>(WidgetOf(d, id))->text();
}

TEST(EffectTypeListPositionTest, EachTypeSelectsItsOwnEntry)
{
    const std::pair<int, int> rows[] = {{0, 0}, {4, 4}, {6, 6}, {7, -1}, {9, -1}, {100, -1}, {101, 7},
                                        {102, 8}, {103, 9}, {104, -1}, {-1, -1}, {-128, -1}, {127, -1}};
    for (const auto& [type, position] : rows)
        EXPECT_EQ(EffectTypeListPosition(static_cast<std::int8_t>(type)), position) << type;
}

TEST(EffectDialogTest, OpensOnTheCommandsValues)
{
    EffectDialog dialog;
    PrepareEffectDialog(dialog, EffectCommand{4, -1, 6, 9, 1026.0f});
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(WindowOf(dialog).windowTitle(), "Effect");
    EXPECT_EQ(dialog.typeList.GetCurSel(), 4);
    EXPECT_EQ(dialog.typeList.GetText(4), "04:Enhance +/-");
    EXPECT_EQ(EditText(dialog, EffectDialogIds::Data1), "-1");
    EXPECT_EQ(EditText(dialog, EffectDialogIds::Data2), "6");
    EXPECT_EQ(EditText(dialog, EffectDialogIds::Data3), "9");
    EXPECT_EQ(EditText(dialog, EffectDialogIds::Data4), "1026.000000");
    EXPECT_EQ(WindowOf(dialog).focusWidget(), WidgetOf(dialog, EffectDialogIds::TypeList));
}

TEST(EffectDialogTest, TypeEntriesForTheTechTypesAndNone)
{
    struct Row {
        std::int8_t type;
        int selected;
        const char* text;
    };
    for (const Row& row : {Row{102, 8, "102:Tech Tree Disable"}, Row{101, 7, "101:Cost of Tech"}, Row{103, 9, "103:Get Tech Free"},
                           Row{7, -1, ""}, Row{-56, -1, ""}}) {
        EffectDialog dialog;
        PrepareEffectDialog(dialog, EffectCommand{row.type, 1, 2, 3, -1.0f});
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(dialog.typeList.GetCurSel(), row.selected) << int(row.type);
        auto* combo = static_cast<QComboBox*>(WidgetOf(dialog, EffectDialogIds::TypeList));
        EXPECT_EQ(combo->currentText(), row.text) << int(row.type);
        EXPECT_EQ(combo->count(), 10);
        EXPECT_EQ(EditText(dialog, EffectDialogIds::Data4), "-1.000000");
    }
}

TEST(EffectDialogTest, EnterKeepsWhatWasTypedInTheDialogsOwnTexts)
{
    EffectDialog dialog;
    PrepareEffectDialog(dialog, EffectCommand{2, 5, 1, 0, 0.5f});
    WhenActive(dialog, [&] {
        PressKey(Qt::Key_Down);  // the type list: next entry
        PressKey(Qt::Key_Tab);   // Data1
        PressKey(Qt::Key_End);
        QTest::keyClicks(QApplication::focusWidget(), "7x-");  // only digits are taken
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(dialog.data1Text, "57");
    EXPECT_EQ(dialog.data4Text, "0.500000");
    EXPECT_EQ(dialog.typeList.GetCurSel(), 3);
}

TEST(EffectDialogTest, EscapeAndTheCloseBoxCancel)
{
    {
        EffectDialog dialog;
        WhenActive(dialog, [] { PressKey(Qt::Key_Escape); });
        EXPECT_EQ(dialog.DoModal(), IdCancel);
    }
    {
        EffectDialog dialog;
        WhenActive(dialog, [&dialog] { WindowOf(dialog).close(); });
        EXPECT_EQ(dialog.DoModal(), IdCancel);
    }
}

} // namespace
} // namespace velmora
