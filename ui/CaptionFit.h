// Captions that fit their controls, on every backend.
//
// Templates are laid out in dialog units, which scale with the dialog font's average
// letter width. A font whose punctuation, spaces and capitals are wide for its average
// letter gives captions longer than the room the template meant for them: a static text
// then wraps at a space and hides its second line, a check box cuts its caption. Instead,
// a caption wider than its room is drawn in the same face and size, condensed just enough
// to fit, never below MinCaptionStretch; a caption that fits is left alone. The control
// keeps its place and size. Each backend measures and draws (ui/qt/CaptionFit.h: Qt's font
// stretch; ui/win32: a narrower LOGFONT width); the rule is this one.
#pragma once

#include <functional>

namespace velmora {

// Narrowest width, in percent of the font's own, a caption is condensed to. A caption that
// does not fit even then is drawn at this width and cut at the control's edge.
inline constexpr int MinCaptionStretch = 80;

// The width, in percent of the font's own, a caption is drawn at in a room `room` pixels
// wide: 100 when it fits as it is, otherwise the widest from 99 down to MinCaptionStretch
// at which it fits, MinCaptionStretch when none does. `extentAt(percent)` measures the
// caption in the font narrowed to that percent.
int CaptionStretch(int room, const std::function<int(int percent)>& extentAt);

} // namespace velmora
