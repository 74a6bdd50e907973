#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/Widgets.h"
#include "resources/DialogFonts.h"
#include "resources/DialogTemplates.h"

namespace velmora {
namespace {

using K = ControlKind;

// The tables as the dialogs are meant to be, written out once more by hand.
enum Kind { List, SortedList, Text, Digits, ReadOnly, Push, Disabled, Check, DropDown, Label };

struct Expected {
    int id;
    Kind kind;
    int x, y, width, height;
    const char* caption;
};

constexpr Expected Main[] = {
    {1000, SortedList, 7, 24, 122, 322, ""},
    {1001, Text, 7, 7, 258, 12, ""},
    {1002, Push, 267, 7, 47, 12, "ファイルを開く"},
    {1003, Digits, 193, 69, 17, 13, ""},
    {1004, Digits, 210, 69, 17, 13, ""},
    {1005, Digits, 228, 69, 17, 13, ""},
    {1006, Digits, 245, 69, 17, 13, ""},
    {1007, Digits, 263, 69, 17, 13, ""},
    {1008, Digits, 280, 69, 17, 13, ""},
    {1009, Digits, 237, 86, 26, 13, ""},
    {1010, DropDown, 193, 86, 39, 61, ""},
    {1011, Check, 133, 87, 41, 12, "Cost1:"},
    {1012, Check, 133, 70, 55, 16, "Required Tech:"},
    {1013, Check, 133, 104, 41, 12, "Cost2:"},
    {1014, DropDown, 193, 102, 39, 62, ""},
    {1015, Digits, 237, 102, 26, 13, ""},
    {1016, Digits, 237, 119, 26, 13, ""},
    {1017, DropDown, 193, 119, 39, 60, ""},
    {1018, Check, 133, 121, 41, 12, "Cost3:"},
    {1020, Check, 133, 137, 39, 12, "Civ:"},
    {-1, Label, 142, 155, 48, 9, "Research Time:"},
    {1021, Digits, 193, 152, 38, 13, ""},
    {-1, Label, 143, 221, 48, 9, "Effect No:"},
    {1022, Digits, 193, 219, 38, 13, ""},
    {1023, List, 142, 235, 208, 111, ""},
    {-1, Label, 143, 170, 48, 9, "Icon ID:"},
    {1024, ReadOnly, 228, 25, 86, 13, ""},
    {-1, Label, 144, 29, 46, 9, "Name String ID:"},
    {1025, Digits, 193, 25, 34, 13, ""},
    {-1, Label, 237, 155, 36, 9, "Location:"},
    {1026, Digits, 275, 151, 38, 13, ""},
    {-1, Label, 237, 170, 36, 9, "Button Slot:"},
    {1027, Digits, 193, 168, 38, 13, ""},
    {1028, Digits, 275, 167, 38, 13, ""},
    {-1, Label, 144, 41, 46, 9, "Help String ID:"},
    {1029, Digits, 193, 39, 34, 13, ""},
    {1030, ReadOnly, 193, 53, 192, 13, ""},
    {-1, Label, 142, 187, 48, 9, "Unknown1:"},
    {1031, Text, 193, 184, 38, 13, ""},
    {1032, Text, 275, 183, 38, 13, ""},
    {-1, Label, 237, 186, 36, 9, "Unknown2:"},
    {-1, Label, 142, 204, 48, 9, "Unknown3,4,5:"},
    {1033, Text, 193, 201, 38, 13, ""},
    {1034, Text, 234, 201, 38, 13, ""},
    {1035, Text, 275, 201, 38, 13, ""},
    {1036, ReadOnly, 314, 151, 64, 13, ""},
    {1037, DropDown, 193, 135, 70, 60, ""},
    {1019, Disabled, 353, 236, 32, 14, "Add"},
    {1038, Push, 353, 255, 32, 15, "Change"},
    {1039, Disabled, 353, 275, 32, 15, "Delete"},
};

constexpr Expected Effect[] = {
    {-1, Label, 14, 15, 40, 9, "Effect Type:"},
    {1040, DropDown, 59, 13, 70, 60, ""},
    {-1, Label, 14, 32, 40, 9, "Data1:"},
    {1039, Digits, 59, 30, 68, 13, ""},
    {-1, Label, 14, 49, 40, 9, "Data2:"},
    {-1, Label, 14, 67, 40, 9, "Data3:"},
    {-1, Label, 14, 84, 40, 9, "Data4:"},
    {1030, Digits, 59, 46, 68, 13, ""},
    {1032, Digits, 59, 63, 68, 13, ""},
    {1033, Digits, 59, 81, 68, 13, ""},
};

// The kind and the full set of styles each expected kind stands for.
struct KindStyles {
    ControlKind kind;
    ItemStyles styles;
};

KindStyles StylesOf(Kind kind)
{
    const ItemStyles edit = StyleTabStop | StyleBorder | StyleAutoHScroll;
    const ItemStyles list = StyleTabStop | StyleNotify | StyleVScroll | StyleBorder | StyleNoIntegralHeight;
    switch (kind) {
    case List: return {K::ListBox, list};
    case SortedList: return {K::ListBox, list | StyleSort};
    case Text: return {K::Edit, edit};
    case Digits: return {K::Edit, edit | StyleDigitsOnly};
    case ReadOnly: return {K::Edit, edit | StyleReadOnly};
    case Push: return {K::PushButton, StyleTabStop};
    case Disabled: return {K::PushButton, StyleTabStop | StyleDisabled};
    case Check: return {K::CheckBox, StyleTabStop | StyleAutoCheck};
    case DropDown: return {K::DropDownList, StyleTabStop};
    case Label: return {K::StaticText, StyleNone};
    }
    return {K::StaticText, StyleNone};
}

std::vector<std::string> Strings(std::span<const std::string_view> items)
{
    return {items.begin(), items.end()};
}

void ExpectItems(const DialogTemplate& dialogTemplate, std::span<const Expected> expected, ItemStyles dropDownExtra)
{
    ASSERT_EQ(dialogTemplate.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialogTemplate.items[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("item " + std::to_string(i) + " id " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        KindStyles kindStyles = StylesOf(want.kind);
        if (kindStyles.kind == K::DropDownList) {
            kindStyles.styles |= dropDownExtra;
        }
        EXPECT_EQ(item.kind, kindStyles.kind);
        EXPECT_EQ(item.styles, kindStyles.styles);
        EXPECT_EQ(item.rect, (DialogRect{want.x, want.y, want.width, want.height}));
        EXPECT_EQ(item.caption, std::string_view(want.caption));
        if (item.kind != K::DropDownList) {
            EXPECT_TRUE(item.initItems.empty());
        }
    }
}

TEST(MainTemplateTest, ItemsMatchTheTable)
{
    const DialogTemplate& main = MainDialogTemplate();
    EXPECT_EQ(main.resourceId, 102);
    EXPECT_EQ(main.caption, "Velmora");
    EXPECT_EQ(main.width, 399);
    EXPECT_EQ(main.height, 353);
    EXPECT_EQ(main.fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(main.fontName, "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
    EXPECT_EQ(main.pointSize, 9);
    EXPECT_EQ(main.styles, DialogStyleCaption | DialogStyleSystemMenu | DialogStyleMinimizeBox |
                               DialogStyleModalFrame | DialogStyleVisible | DialogStyleAppWindow);
    ExpectItems(main, Main, StyleNone);
    // The open-file button's caption, byte for byte.
    EXPECT_EQ(main.FindItem(1002)->caption,
              "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x82\x92\xE9\x96\x8B\xE3\x81\x8F");
    EXPECT_EQ(main.FindItem(1019)->caption, "Add");
    EXPECT_EQ(main.FindItem(StaticId), nullptr);
    EXPECT_EQ(main.FindItem(1040), nullptr);
}

TEST(MainTemplateTest, DropDownListsHaveTheirEntriesInOrder)
{
    const DialogTemplate& main = MainDialogTemplate();
    const std::vector<std::string> resources = {"", "Food", "Wood", "Stone", "Gold"};
    for (int id : {1010, 1014, 1017}) {
        EXPECT_EQ(Strings(main.FindItem(id)->initItems), resources) << id;
    }
    const std::vector<std::string> civilizations = {
        "",        "Briton",  "Frank",   "Cothic",  "Teutonic", "Japanese", "Chinese",
        "Byzantine", "Persian", "Saracen", "Turkish", "Viking",  "Mongol",   "Celtic",
        "Spanish", "Aztec",   "Mayan",   "Hun",     "Korean"};
    EXPECT_EQ(Strings(main.FindItem(1037)->initItems), civilizations);
}

TEST(MainTemplateTest, HasNoOkOrCancelButton)
{
    for (const DialogItem& item : MainDialogTemplate().items) {
        EXPECT_NE(item.id, IdOk);
        EXPECT_NE(item.id, IdCancel);
    }
}

TEST(EffectTemplateTest, ItemsMatchTheTable)
{
    const DialogTemplate& effect = EffectDialogTemplate();
    EXPECT_EQ(effect.resourceId, 103);
    EXPECT_EQ(effect.caption, "Effect");
    EXPECT_EQ(effect.width, 161);
    EXPECT_EQ(effect.height, 113);
    EXPECT_EQ(effect.fontName, MainDialogTemplate().fontName);
    EXPECT_EQ(effect.pointSize, 9);
    EXPECT_EQ(effect.styles, DialogStyleCaption | DialogStyleSystemMenu | DialogStyleModalFrame);
    ExpectItems(effect, Effect, StyleVScroll);
    for (const DialogItem& item : effect.items) {
        EXPECT_NE(item.kind, K::PushButton);
    }
    const std::vector<std::string> types = {
        "00:Enhance =", "01:Civ head", "02:Enable Unit", "03:Upgrade Unit", "04:Enhance +/-",
        "05:Enhance *", "06:Else", "101:Cost of Tech", "102:Tech Tree Disable", "103:Get Tech Free"};
    EXPECT_EQ(Strings(effect.FindItem(1040)->initItems), types);
}

// The templates built into real dialogs ----------------------------------------------------

class BuiltTemplateTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { InstallDialogFonts(); }
    static const DialogTemplate& TemplateOf(int id)
    {
        return id == MainDialogTemplateId ? MainDialogTemplate() : EffectDialogTemplate();
    }
};

TEST_P(BuiltTemplateTest, ControlsSitWhereTheTemplateSaysInItsFont)
{
    const DialogTemplate& dialogTemplate = TemplateOf(GetParam());
    Dialog dialog(dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    const QWidget& window = WindowOf(dialog);
    EXPECT_EQ(QFontInfo(window.font()).family(), DialogFontSubstitute);
    EXPECT_EQ(window.font().pointSize(), 9);
    const DialogBaseUnits base = dialog.BaseUnits();
    EXPECT_EQ(base, MeasureBaseUnits(window.font()));
    EXPECT_EQ(window.size(), QSize(HorizontalUnitsToPixels(dialogTemplate.width, base),
                                   VerticalUnitsToPixels(dialogTemplate.height, base)));
    for (const DialogItem& item : dialogTemplate.items) {
        if (item.id == StaticId) {
            continue;
        }
        SCOPED_TRACE(item.id);
        QWidget* control = WidgetOf(dialog, item.id);
        ASSERT_NE(control, nullptr);
        const PixelRect place = MapDialogRect(item.rect, base);
        EXPECT_EQ(control->pos(), QPoint(place.x, place.y));
        EXPECT_EQ(control->width(), place.width);
        EXPECT_EQ(control->isEnabled(), !item.Has(StyleDisabled));
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            EXPECT_EQ(list->count(), static_cast<int>(item.initItems.size()));
            EXPECT_EQ(list->currentIndex(), -1);
            EXPECT_LT(list->height(), place.height);
        } else {
            EXPECT_EQ(control->height(), place.height);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            EXPECT_EQ(edit->isReadOnly(), item.Has(StyleReadOnly));
            EXPECT_EQ(static_cast<EditWidget*>(edit)->IsDigitsOnly(), item.Has(StyleDigitsOnly));
            EXPECT_TRUE(edit->hasFrame());
        }
    }
}

TEST_P(BuiltTemplateTest, TabVisitsTheEnabledTabStopsInTemplateOrder)
{
    const DialogTemplate& dialogTemplate = TemplateOf(GetParam());
    Dialog dialog(dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    QWidget& window = WindowOf(dialog);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; }));

    std::vector<int> expected;
    for (const DialogItem& item : dialogTemplate.items) {
        if (item.Has(StyleTabStop) && !item.Has(StyleDisabled)) {
            expected.push_back(item.id);
        }
    }
    ASSERT_FALSE(expected.empty());
    std::vector<int> visited = {dialog.GetFocusId()};
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(dialog.GetFocusId());
    }
    expected.push_back(expected.front()); // and round again
    EXPECT_EQ(visited, expected);
}

INSTANTIATE_TEST_SUITE_P(Templates, BuiltTemplateTest,
                         ::testing::Values(MainDialogTemplateId, EffectDialogTemplateId));

TEST(DialogFontTest, TheTemplateFontNameResolvesToTheJapaneseGothic)
{
    EXPECT_EQ(InstallDialogFonts(), DialogFontSubstitute);
    EXPECT_EQ(InstallDialogFonts(), DialogFontSubstitute) << "installing twice does no harm";
    QFont font(QString::fromUtf8(DialogFontName.data(), static_cast<qsizetype>(DialogFontName.size())));
    EXPECT_EQ(QFontInfo(font).family(), DialogFontSubstitute);
    // Every Japanese caption can be drawn in it.
    const QFontMetrics metrics(font);
    for (QChar c : QString::fromUtf8("ファイルを開く")) {
        EXPECT_TRUE(metrics.inFont(c)) << static_cast<int>(c.unicode());
    }
}

} // namespace
} // namespace velmora
