// Rules of a dialog's behaviour that hold on every backend alike: which drops open a file,
// where the focus goes at start and when the find box closes, and when the find box shows
// that its text was not found. The backends turn the window system's events into these terms and draw
// what they decide; Dialog (ui/Dialog.cpp) applies them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/DialogTemplate.h"

namespace velmora {

// The file a drop brings: the one item of a drop of exactly one, when it is a file of this
// machine and no folder. `paths` holds each item the drop brings, as its path on this
// machine or "" when it is none (a file of another machine); a drop of text alone brings no
// item. A drop of anything else (several files, a folder, text) opens nothing, and the
// window does not take it. A path that names nothing is taken: opening it says why it fails.
std::optional<std::string> DroppedFile(const std::vector<std::string>& paths);

// The control that gets the focus when nothing else decides: the first tab stop in template
// order that `enabled` says is enabled; 0 when there is none.
int FirstTabStop(const DialogTemplate& dialogTemplate, const std::function<bool(int id)>& enabled);

// The find box's state. The box opens over the dialog's controls and takes the focus;
// when it closes the focus goes back to the control that had it when the box opened.
// After each search the box shows whether its text was found: tinted while a text was not
// found, plain while it was, and plain when the box is emptied (an empty text finds
// nothing, and says nothing).
class FindBoxState {
public:
    // The box opens while the control `focused` holds the focus (0: no control). Opened
    // again while it is open, it keeps the control it goes back to.
    void Open(int focused);
    // The box closes: the control the focus goes back to; `otherwise` (the first tab stop)
    // when none had it.
    int Close(int otherwise);
    // The box's `text` was looked for: true when the box's tint changes with it.
    bool Searched(bool found, std::string_view text);
    // Whether the box is tinted as not finding its text.
    bool NotFound() const { return notFound_; }

private:
    bool open_ = false;
    int focusBefore_ = 0;
    bool notFound_ = false;
};

} // namespace velmora
