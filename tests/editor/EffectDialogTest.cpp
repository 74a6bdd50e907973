#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "editor/EffectDialog.h"
#include "resources/ResourceIds.h"
#include "tests/support/DialogDriver.h"

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
    const std::pair<int, int> rows[] = {{0, 0}, {4, 4}, {6, 6}, {7, -1}, {100, -1}, {101, 7},
                                        {102, 8}, {103, 9}, {104, -1}, {-1, -1}, {-128, -1}, {127, -1}};
    for (const auto& [type, position] : rows)
        EXPECT_EQ(EffectTypeListPosition(static_cast<std::int8_t>(type)), position) << type;
}

TEST(EffectDialogTest, OpensOnTheCommandsValues)
{
    const struct {
        EffectCommand command;
        const char* type;
        QStringList texts;
    } rows[] = {
        {{4, -1, 6, 9, 1026.0f}, "04:Enhance +/-", {"-1", "6", "9", "1026.000000"}},
        {{103, 1, 2, 3, -1.0f}, "103:Get Tech Free", {"1", "2", "3", "-1.000000"}},
        {{-56, 0, 0, 0, 0.5f}, "", {"0", "0", "0", "0.500000"}},
    };
    for (const auto& row : rows) {
        EffectDialog dialog;
        PrepareEffectDialog(dialog, row.command);
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(WindowOf(dialog).windowTitle(), "Effect");
        EXPECT_EQ(static_cast<QComboBox*>(WidgetOf(dialog, EffectDialogIds::TypeList))->currentText(), row.type);
        EXPECT_EQ((QStringList{EditText(dialog, EffectDialogIds::Data1), EditText(dialog, EffectDialogIds::Data2),
                               EditText(dialog, EffectDialogIds::Data3), EditText(dialog, EffectDialogIds::Data4)}),
                  row.texts);
        EXPECT_EQ(WindowOf(dialog).focusWidget(), WidgetOf(dialog, EffectDialogIds::TypeList));
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
    for (const bool closeBox : {false, true}) {
        EffectDialog dialog;
        WhenActive(dialog, [&] { closeBox ? (void)WindowOf(dialog).close() : PressKey(Qt::Key_Escape); });
        EXPECT_EQ(dialog.DoModal(), IdCancel) << closeBox;
    }
}

} // namespace
} // namespace velmora
