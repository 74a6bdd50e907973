// What a dialog and the backend's window behind it tell each other: the notifications of
// the controls, the keys a dialog tells apart, the find box's steps, the kinds of file the
// file chooser offers, and the painting of a minimised window.
#pragma once

#include <string_view>

namespace velmora {

// What a control tells its dialog.
enum class Notification {
    Clicked,   // a push button or check box was clicked (by mouse, Space or Enter)
    SelChange, // the user changed the selection of a list box (with StyleNotify) or drop-down list
    Change,    // an edit box's text changed, typed or set by the program
};

// The keys a dialog tells apart before its controls see them.
enum class Key { Enter, Escape, CtrlO, CtrlF, F3, ShiftF3, Other };

// What the user asks of the find box: its text was typed or changed, or the next or the
// previous match.
enum class FindStep { Typed, Next, Previous };

// A kind of file the file chooser offers: a description and its name patterns, separated
// by blanks ("Data files", "*.dat").
struct FileType {
    std::string_view description;
    std::string_view patterns;
};

// Painting a minimised window: the size of its client area and of its big icon, in
// pixels, and a way to draw the window's icon there.
class MinimizedPaint {
public:
    int clientWidth = 0;
    int clientHeight = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    virtual void DrawIcon(int x, int y) = 0;

protected:
    ~MinimizedPaint() = default;
};

} // namespace velmora
