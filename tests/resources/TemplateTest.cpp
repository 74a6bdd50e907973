// The templates built into real dialogs: every control where its template puts it, in the
// template's font, with the state its styles ask for and its caption fitting inside it
// (nothing cut at its right edge, condensed only where it would not fit), and Tab going
// round in template order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "resources/DialogFonts.h"
#include "resources/DialogTemplates.h"
#include "ui/Dialog.h"
#include "ui/qt/CaptionFit.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/Widgets.h"

namespace velmora {
namespace {

// Room for the caption, worked out from the control's own geometry and the style's
// metrics: a label's whole width, a check box's width less its mark and the gap after
// it, a push button's width less its frame on both sides.
int RoomFor(const QWidget& control)
{
    QStyleOptionButton option;
    option.initFrom(&control);
    const QStyle& style = *control.style();
    if (qobject_cast<const QCheckBox*>(&control))
        return control.width() - style.pixelMetric(QStyle::PM_IndicatorWidth, &option, &control) -
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &control);
    if (qobject_cast<const QPushButton*>(&control))
        return control.width() - 2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &control);
    return control.width();
}

class BuiltTemplateTest : public ::testing::TestWithParam<int> {};

TEST_P(BuiltTemplateTest, ControlsSitWhereTheTemplateSaysWithTheirCaptionsInsideAndTabFollowsItsOrder)
{
    EXPECT_EQ(InstallDialogFonts(), DialogFontSubstitute);
    const DialogTemplate& dialogTemplate = GetParam() == MainDialogTemplateId ? MainDialogTemplate() : EffectDialogTemplate();
    Dialog dialog(dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    QWidget& window = WindowOf(dialog);
    const QFont dialogFont = window.font();
    ASSERT_EQ(QFontInfo(dialogFont).family(), DialogFontSubstitute);
    EXPECT_EQ(dialogFont.pointSize(), 9);
    const DialogBaseUnits base = dialog.BaseUnits();
    const QSize inUnits(HorizontalUnitsToPixels(dialogTemplate.width, base), VerticalUnitsToPixels(dialogTemplate.height, base));
    EXPECT_EQ(window.size(), inUnits);
    // At the scale asked for (QT_SCALE_FACTOR, run by tests of their own at 1.5 and 2), the
    // window takes the template's size at that scale on the screen, within 10 %.
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0;
    EXPECT_NEAR(window.width() * window.devicePixelRatioF(), inUnits.width() * scale, inUnits.width() * scale / 10);
    EXPECT_NEAR(window.height() * window.devicePixelRatioF(), inUnits.height() * scale, inUnits.height() * scale / 10);
    // The window's children are its controls, in template order.
    std::vector<QWidget*> controls;
    for (QObject* child : window.children())
        if (child->isWidgetType())
            controls.push_back(static_cast<QWidget*>(child));
    ASSERT_EQ(controls.size(), dialogTemplate.items.size());

    std::vector<int> tabStops;
    int captions = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogItem& item = dialogTemplate.items[i];
        QWidget& control = *controls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(WidgetOf(dialog, item.id), item.id == StaticId ? nullptr : &control);
        const PixelRect place = MapDialogRect(item.rect, base);
        EXPECT_EQ(control.geometry().topLeft(), QPoint(place.x, place.y));
        EXPECT_EQ(control.width(), place.width);
        EXPECT_EQ(control.isEnabled(), !item.Has(StyleDisabled));
        if (auto* list = qobject_cast<QComboBox*>(&control)) {
            // Filled from the template, nothing chosen, closed lower than the opened list.
            EXPECT_EQ(list->count(), static_cast<int>(item.initItems.size()));
            EXPECT_EQ(list->currentIndex(), -1);
            EXPECT_LT(list->height(), place.height);
        } else {
            EXPECT_EQ(control.height(), place.height);
        }
        if (auto* edit = qobject_cast<EditWidget*>(&control)) {
            EXPECT_EQ(edit->isReadOnly(), item.Has(StyleReadOnly));
            EXPECT_EQ(edit->IsDigitsOnly(), item.Has(StyleDigitsOnly));
        }
        if (item.Has(StyleTabStop) && !item.Has(StyleDisabled))
            tabStops.push_back(item.id);

        const QString caption = QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size()));
        if (caption.isEmpty())
            continue;
        ++captions;
        if (const auto* label = qobject_cast<const QLabel*>(&control)) {
            EXPECT_EQ(label->text(), caption);
            EXPECT_FALSE(label->wordWrap()) << "every label of these templates is one line high";
        } else {
            EXPECT_EQ(static_cast<const QAbstractButton&>(control).text(), caption);
        }
        const QFontMetrics metrics(control.font());
        EXPECT_LE(metrics.horizontalAdvance(caption), RoomFor(control));
        EXPECT_LE(metrics.boundingRect(caption).right() + 1, RoomFor(control)) << "no glyph reaches past the edge";
        EXPECT_LE(metrics.height(), control.height()) << "the line of text stands in the control";
        // The dialog's font at the dialog's size, condensed a little only where it must be.
        EXPECT_EQ(QFontInfo(control.font()).family(), QFontInfo(dialogFont).family());
        EXPECT_EQ(QFontInfo(control.font()).pixelSize(), QFontInfo(dialogFont).pixelSize());
        const int stretch = control.font().stretch();
        EXPECT_TRUE(stretch == QFont::AnyStretch || (stretch >= MinCaptionStretch && stretch <= 100)) << stretch;
        EXPECT_EQ(control.font() == dialogFont, CaptionExtent(dialogFont, caption) <= RoomFor(control));
    }
    EXPECT_EQ(captions, GetParam() == MainDialogTemplateId ? 19 : 5);

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

// A program's own fonts are the font files in share/<name>/fonts beside its folder, and no
// others; a file there that is no font (here a copy of this program) is passed over.
TEST(ProgramFontsTest, AreTheFontFilesInTheProgramsShareFolder)
{
    QTemporaryDir bundle;
    for (const QString file : {"share/demo/fonts/a.ttf", "share/demo/fonts/b.ttf", "share/demo/fonts/LICENSE", "share/demo/c.ttf", "share/fonts/d.ttf", "bin/e.ttf"}) {
        const QString from = file.endsWith(".ttf") ? "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf" : QCoreApplication::applicationFilePath();
        ASSERT_TRUE(QDir(bundle.path()).mkpath(QFileInfo(file).path()) && QFile::copy(from, bundle.filePath(file)));
    }
    EXPECT_EQ(AddProgramFonts(bundle.filePath("bin"), "demo"), 2);
    QFontDatabase::removeAllApplicationFonts();
}

} // namespace
} // namespace velmora
