// Every caption of templates 102 and 103, built into a real dialog in the dialog font,
// fits inside its control: nothing is cut at a control's right edge, and only captions
// that would not fit are condensed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "resources/DialogFonts.h"
#include "resources/DialogTemplates.h"
#include "ui/Dialog.h"
#include "ui/qt/CaptionFit.h"
#include "ui/qt/DialogWindow.h"

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

class TemplateCaptionTest : public ::testing::TestWithParam<int> {};

TEST_P(TemplateCaptionTest, EveryCaptionFitsItsControlInTheDialogFont)
{
    InstallDialogFonts();
    const DialogTemplate& dialogTemplate = GetParam() == MainDialogTemplateId ? MainDialogTemplate() : EffectDialogTemplate();
    Dialog dialog(dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    const QFont dialogFont = WindowOf(dialog).font();
    ASSERT_EQ(QFontInfo(dialogFont).family(), DialogFontSubstitute);
    // The window's children are its controls, in template order.
    std::vector<QWidget*> controls;
    for (QObject* child : WindowOf(dialog).children())
        if (child->isWidgetType())
            controls.push_back(static_cast<QWidget*>(child));
    ASSERT_EQ(controls.size(), dialogTemplate.items.size());

    int captions = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogItem& item = dialogTemplate.items[i];
        const QWidget& control = *controls[i];
        const QString caption = QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size()));
        if (caption.isEmpty())
            continue;
        SCOPED_TRACE(caption.toStdString());
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
        const QFontInfo shown(control.font());
        EXPECT_EQ(shown.family(), QFontInfo(dialogFont).family());
        EXPECT_EQ(shown.pixelSize(), QFontInfo(dialogFont).pixelSize());
        const int stretch = control.font().stretch();
        EXPECT_TRUE(stretch == QFont::AnyStretch || (stretch >= MinCaptionStretch && stretch <= 100)) << stretch;
        EXPECT_EQ(control.font() == dialogFont, CaptionExtent(dialogFont, caption) <= RoomFor(control));
    }
    EXPECT_EQ(captions, GetParam() == MainDialogTemplateId ? 19 : 5);
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateCaptionTest, ::testing::Values(MainDialogTemplateId, EffectDialogTemplateId));

} // namespace
} // namespace velmora
