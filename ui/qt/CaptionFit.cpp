#include "ui/qt/CaptionFit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace velmora {

namespace {

QString WithoutMnemonic(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            ++i; // a single & is not drawn; && draws the second one
            if (i == text.size()) {
                break;
            }
        }
        shown.append(text[i]);
    }
    return shown;
}

int LabelRoom(const QLabel& label)
{
    if (label.wordWrap()) {
        return -1;
    }
    int room = label.contentsRect().width() - 2 * label.margin();
    int indent = label.indent();
    if (indent < 0) {
        // QLabel's own rule: no indent without a frame, else half an x.
        indent = label.frameWidth() > 0 ? label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    }
    if ((label.alignment() & (Qt::AlignLeft | Qt::AlignRight)) != 0) {
        room -= indent;
    }
    return room;
}

int CheckBoxRoom(const QCheckBox& box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    option.text = box.text();
    return box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box).width();
}

int PushButtonRoom(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.autoDefault()) {
        option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    if (button.isDefault()) {
        option.features |= QStyleOptionButton::DefaultButton;
    }
    if (button.isFlat()) {
        option.features |= QStyleOptionButton::Flat;
    }
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

} // namespace

int CaptionRoom(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return LabelRoom(*label);
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        return CheckBoxRoom(*box);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        return PushButtonRoom(*button);
    }
    return -1;
}

QString CaptionOf(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return WithoutMnemonic(button->text());
    }
    return {};
}

int CaptionExtent(const QFont& font, const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
}

QFont CaptionFont(const QFont& font, const QString& text, int room)
{
    const int normal = font.stretch() == QFont::AnyStretch ? QFont::Unstretched : font.stretch();
    const auto condensed = [&](int percent) {
        QFont narrower = font;
        narrower.setStretch(normal * percent / 100);
        return narrower;
    };
    const int percent = CaptionStretch(room, [&](int p) { return CaptionExtent(p == 100 ? font : condensed(p), text); });
    return percent == 100 ? font : condensed(percent);
}

bool FitCaption(QWidget& control)
{
    const int room = CaptionRoom(control);
    if (room < 0) {
        return true;
    }
    const QString caption = CaptionOf(control);
    const QFont fitting = CaptionFont(control.font(), caption, room);
    if (fitting != control.font()) {
        control.setFont(fitting);
    }
    return CaptionExtent(fitting, caption) <= room;
}

} // namespace velmora
