// Captions that fit their controls.
//
// Templates are laid out in dialog units, which scale with the dialog font's average
// letter width. A font whose punctuation, spaces and capitals are wide for its average
// letter gives captions longer than the room the template meant for them: on the window
// system such a caption is cut at the control's edge. Here it is condensed instead: a
// caption wider than its room is drawn in the same family and size, narrowed with
// QFont::setStretch just enough to fit, never below MinCaptionStretch. The control keeps
// its place and size; only its caption's font changes. A caption that fits is left alone.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace velmora {

// Narrowest stretch (percent of the normal width) a caption is condensed to. A caption
// that does not fit even then keeps this stretch and is cut at the edge.
inline constexpr int MinCaptionStretch = 80;

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

// `font` itself when `text` fits `room`; otherwise `font` at the widest stretch, from its
// own down to MinCaptionStretch, at which the text fits (MinCaptionStretch when none does).
QFont CaptionFont(const QFont& font, const QString& text, int room);

// Gives a label, check box or push button the font its caption fits in; other controls
// are left alone. Answers false only when the caption is cut even at MinCaptionStretch.
// To be called once the control has its size.
bool FitCaption(QWidget& control);

} // namespace velmora
