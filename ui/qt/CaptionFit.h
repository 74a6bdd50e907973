// Captions that fit their controls on the Qt backend: how much room a control leaves its
// caption, how wide the caption is, and the font it is drawn in. The rule is ui/CaptionFit.h;
// a condensed caption is drawn in the same family and size with QFont::setStretch.
#pragma once

#include <QFont>
#include <QString>

#include "ui/CaptionFit.h"

class QWidget;

namespace velmora {

// The width in pixels a control draws its caption in: a one-line label's contents, the
// text beside a check box's mark, the inside of a push button's frame. -1 for any
// other control, and for labels that wrap their text over several lines.
int CaptionRoom(const QWidget& control);

// The text a label, check box or push button draws as its caption: a button's single &
// marks its mnemonic and is not drawn, && draws one &. Empty for other controls.
QString CaptionOf(const QWidget& control);

// Width in pixels one line of text takes in `font`, including any glyph that reaches
// beyond its advance.
int CaptionExtent(const QFont& font, const QString& text);

// `font` itself when `text` fits `room`; otherwise `font` condensed by CaptionStretch.
QFont CaptionFont(const QFont& font, const QString& text, int room);

// Gives a label, check box or push button the font its caption fits in; other controls
// are left alone. Answers false only when the caption is cut even at MinCaptionStretch.
// To be called once the control has its size.
bool FitCaption(QWidget& control);

} // namespace velmora
