// The templates built into real dialogs: every control where its template puts it, in the
// template's font, with the state its styles ask for, and Tab going round in template order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>

#include <vector>

#include "resources/DialogFonts.h"
#include "resources/DialogTemplates.h"
#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/Widgets.h"

namespace velmora {
namespace {

class BuiltTemplateTest : public ::testing::TestWithParam<int> {};

TEST_P(BuiltTemplateTest, ControlsSitWhereTheTemplateSaysAndTabFollowsItsOrder)
{
    InstallDialogFonts();
    const DialogTemplate& dialogTemplate = GetParam() == MainDialogTemplateId ? MainDialogTemplate() : EffectDialogTemplate();
    Dialog dialog(dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    QWidget& window = WindowOf(dialog);
    EXPECT_EQ(QFontInfo(window.font()).family(), DialogFontSubstitute);
    EXPECT_EQ(window.font().pointSize(), 9);
    const DialogBaseUnits base = dialog.BaseUnits();
    EXPECT_EQ(window.size(), QSize(HorizontalUnitsToPixels(dialogTemplate.width, base), VerticalUnitsToPixels(dialogTemplate.height, base)));
    std::vector<int> tabStops;
    for (const DialogItem& item : dialogTemplate.items) {
        if (item.id == StaticId)
            continue;
        SCOPED_TRACE(item.id);
        QWidget* control = WidgetOf(dialog, item.id);
        ASSERT_NE(control, nullptr);
        const PixelRect place = MapDialogRect(item.rect, base);
        EXPECT_EQ(control->geometry().topLeft(), QPoint(place.x, place.y));
        EXPECT_EQ(control->width(), place.width);
        EXPECT_EQ(control->isEnabled(), !item.Has(StyleDisabled));
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            // Filled from the template, nothing chosen, closed lower than the opened list.
            EXPECT_EQ(list->count(), static_cast<int>(item.initItems.size()));
            EXPECT_EQ(list->currentIndex(), -1);
            EXPECT_LT(list->height(), place.height);
        } else {
            EXPECT_EQ(control->height(), place.height);
        }
        if (auto* edit = qobject_cast<EditWidget*>(control)) {
            EXPECT_EQ(edit->isReadOnly(), item.Has(StyleReadOnly));
            EXPECT_EQ(edit->IsDigitsOnly(), item.Has(StyleDigitsOnly));
        }
        if (item.Has(StyleTabStop) && !item.Has(StyleDisabled))
            tabStops.push_back(item.id);
    }

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; }));
    std::vector<int> visited = {dialog.GetFocusId()};
    for (std::size_t i = 0; i < tabStops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(dialog.GetFocusId());
    }
    tabStops.push_back(tabStops.front());  // and round again
    EXPECT_EQ(visited, tabStops);
}

INSTANTIATE_TEST_SUITE_P(Templates, BuiltTemplateTest, ::testing::Values(MainDialogTemplateId, EffectDialogTemplateId));

TEST(DialogFontTest, TheTemplateFontNameResolvesToTheJapaneseGothic)
{
    EXPECT_EQ(InstallDialogFonts(), DialogFontSubstitute);
    const QFont font(QString::fromUtf8(DialogFontName.data(), static_cast<qsizetype>(DialogFontName.size())));
    EXPECT_EQ(QFontInfo(font).family(), DialogFontSubstitute);
    for (QChar c : QString::fromUtf8("ファイルを開く"))
        EXPECT_TRUE(QFontMetrics(font).inFont(c)) << static_cast<int>(c.unicode());
}

} // namespace
} // namespace velmora
