// Captions too long for their controls are condensed to fit, on real dialogs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "ui/qt/CaptionFit.h"
#include "ui/qt/DialogWindow.h"

namespace velmora {
namespace {

constexpr char FontName[] = "DejaVu Sans";
constexpr int PointSize = 9;

// What the style takes from a control's width before its caption: nothing for a label,
// the mark and the gap after it for a check box, the frame on both sides for a button.
int ChromeOf(ControlKind kind)
{
    QCheckBox box;
    QPushButton button;
    QStyleOptionButton option;
    switch (kind) {
    case ControlKind::CheckBox:
        option.initFrom(&box);
        return box.style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, &box) +
               box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &box);
    case ControlKind::PushButton:
        option.initFrom(&button);
        return 2 * button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    default:
        return 0;
    }
}

enum class Outcome {
    Unchanged, // fits in the dialog font
    Condensed, // fits at a stretch between MinCaptionStretch and 100
    Cut,       // too wide even at MinCaptionStretch
};

struct Case {
    const char* name;
    ControlKind kind;
    std::string_view caption; // as the template has it
    const char* drawn;        // as the control draws it
    double roomShare;         // room for the caption, as a share of its natural width
    Outcome outcome;
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

// Each row gets one control whose room is the given share of its caption's width in the
// dialog font; the dialog's template is made to measure once the font is known.
const Case Cases[] = {
    {"LabelThatFits", ControlKind::StaticText, "Name String ID:", "Name String ID:", 1.2, Outcome::Unchanged},
    {"CheckBoxThatFits", ControlKind::CheckBox, "Cost1:", "Cost1:", 1.1, Outcome::Unchanged},
    {"LabelALittleTooLong", ControlKind::StaticText, "Name String ID:", "Name String ID:", 0.92, Outcome::Condensed},
    {"CheckBoxALittleTooLong", ControlKind::CheckBox, "Required Tech:", "Required Tech:", 0.9, Outcome::Condensed},
    {"ButtonALittleTooLong", ControlKind::PushButton, "Open && &Save", "Open & Save", 0.93, Outcome::Condensed},
    {"LabelFarTooLong", ControlKind::StaticText, "Unknown3,4,5:", "Unknown3,4,5:", 0.5, Outcome::Cut},
};

class CaptionFitTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        const Case& row = GetParam();
        // The dialog font's base units, from a dialog without items.
        const DialogTemplate empty{990, "Empty", 100, 100, FontName, PointSize, DialogStyleCaption, {}};
        Dialog probe(empty);
        base = probe.BaseUnits();
        ASSERT_GT(base.averageWidth, 0);
        natural = CaptionExtent(WindowOf(probe).font(), QString::fromUtf8(row.drawn));
        ASSERT_GT(natural, 0);

        const int wanted = static_cast<int>(std::lround(row.roomShare * natural)) + ChromeOf(row.kind);
        const int units = (wanted * 4) / base.averageWidth; // rounded down: no more room than wanted
        item = DialogItem{row.kind == ControlKind::StaticText ? StaticId : 300, row.kind,
                          {5, 5, units, 12}, row.caption, StyleNone, {}};
        dialogTemplate = DialogTemplate{991, "Fit", units + 10, 30, FontName, PointSize, DialogStyleCaption,
                                        std::span<const DialogItem>(&item, 1)};
        dialog = std::make_unique<Dialog>(dialogTemplate);
        ASSERT_TRUE(dialog->Create());
        for (QObject* child : WindowOf(*dialog).children()) {
            if (child->isWidgetType()) {
                control = static_cast<QWidget*>(child);
            }
        }
        ASSERT_NE(control, nullptr);
        room = control->width() - ChromeOf(row.kind);
    }

    DialogBaseUnits base;
    int natural = 0;
    int room = 0;
    DialogItem item;
    DialogTemplate dialogTemplate;
    std::unique_ptr<Dialog> dialog;
    QWidget* control = nullptr;
};

TEST_P(CaptionFitTest, CaptionIsCondensedJustEnoughToFitOrLeftAlone)
{
    const Case& row = GetParam();
    const QString drawn = QString::fromUtf8(row.drawn);
    EXPECT_EQ(CaptionOf(*control), drawn);
    EXPECT_EQ(CaptionRoom(*control), room);
    const QFont font = control->font();
    const QFontInfo shown(font);
    EXPECT_EQ(shown.family(), QFontInfo(WindowOf(*dialog).font()).family());
    EXPECT_EQ(shown.pixelSize(), QFontInfo(WindowOf(*dialog).font()).pixelSize()) << "condensed, not smaller";

    const int stretch = font.stretch();
    switch (row.outcome) {
    case Outcome::Unchanged:
        ASSERT_LE(natural, room);
        EXPECT_EQ(font, WindowOf(*dialog).font()) << "a caption that fits keeps the dialog font";
        break;
    case Outcome::Condensed: {
        ASSERT_GT(natural, room);
        EXPECT_GE(stretch, MinCaptionStretch);
        EXPECT_LT(stretch, 100);
        EXPECT_LE(CaptionExtent(font, drawn), room);
        QFont wider = font;
        wider.setStretch(stretch + 1);
        EXPECT_GT(CaptionExtent(wider, drawn), room) << "no wider stretch would have fitted";
        EXPECT_TRUE(FitCaption(*control));
        break;
    }
    case Outcome::Cut:
        ASSERT_GT(natural, room);
        EXPECT_EQ(stretch, MinCaptionStretch) << "as narrow as captions get";
        EXPECT_GT(CaptionExtent(font, drawn), room);
        EXPECT_FALSE(FitCaption(*control));
        break;
    }
    EXPECT_EQ(control->font(), font) << "fitting again changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Rows, CaptionFitTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

TEST(CaptionFitWrapTest, ALabelOfSeveralLinesWrapsAndKeepsItsFont)
{
    static constexpr DialogItem items[] = {
        {StaticId, ControlKind::StaticText, {5, 5, 30, 40}, "A label high enough for several lines", StyleNone, {}},
    };
    static constexpr DialogTemplate wrapTemplate{992, "Wrap", 40, 50, FontName, PointSize, DialogStyleCaption, items};
    Dialog dialog(wrapTemplate);
    ASSERT_TRUE(dialog.Create());
    QLabel* label = WindowOf(dialog).findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(CaptionRoom(*label), -1);
    EXPECT_EQ(label->font(), WindowOf(dialog).font());
}

TEST(CaptionFitMnemonicTest, AButtonsMnemonicMarksAreNotPartOfItsCaption)
{
    QPushButton button;
    const struct {
        const char* text;
        const char* drawn;
    } rows[] = {
        {"&Open", "Open"}, {"Open && Save", "Open & Save"}, {"Trailing&", "Trailing"}, {"&&&x", "&x"}, {"", ""},
    };
    for (const auto& row : rows) {
        button.setText(QString::fromUtf8(row.text));
        EXPECT_EQ(CaptionOf(button), QString::fromUtf8(row.drawn)) << row.text;
    }
    QLabel label(QStringLiteral("Fish & Chips"));
    EXPECT_EQ(CaptionOf(label), "Fish & Chips") << "a plain label draws its & marks";
    QWidget other;
    EXPECT_EQ(CaptionOf(other), QString());
    EXPECT_EQ(CaptionRoom(other), -1);
    EXPECT_TRUE(FitCaption(other));
}

} // namespace
} // namespace velmora
