// The members that stand for a dialog's controls.
//
// A dialog class holds handles (ListBox, DropDownList, Button) that its data-exchange table
// binds to the controls of the kind they stand for. A handle holds the backend's control
// and is valid while its dialog lives; a handle that is not bound does nothing and answers
// ListError, 0 or the empty text. The operations are the backend's (see Dialog.h).
//
// Narrow text is UTF-8; bytes that are not valid UTF-8 show as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A control as the backend knows it (a widget, a window handle); opaque to dialogs.
class NativeControl;

// What list operations answer for "no such line" and "no selection".
inline constexpr int ListError = -1;

class ControlHandle {
public:
    NativeControl* Native() const { return control_; }

protected:
    ControlHandle() = default;
    ~ControlHandle() = default;

private:
    friend class Dialog;
    NativeControl* control_ = nullptr;
};

// The operations list boxes and drop-down lists share. A sorted list box inserts a line
// after the last one whose text does not compare greater, ignoring case (Unicode simple
// case folding, then code units, whatever the user's locale), so equal lines keep the order
// in which they were added; other lists append. Adding never selects a line, and only
// selections the user makes reach the dialog.
class ListControl : public ControlHandle {
public:
    // The position of the new line.
    int AddString(std::string_view text);
    void ResetContent();
    int GetCount() const;
    // The selected line's position, or ListError.
    int GetCurSel() const;
    // Selects the line; a position outside the list (ListError included) removes the
    // selection and answers ListError.
    int SetCurSel(int index);
    std::string GetText(int index) const;
    // The first line, from `start` on (back from it when `backward`) and around the end of
    // the list, whose text contains `text` when both are folded (FoldCase); ListError when
    // no line does or `text` is empty. A `start` outside the list counts from either end.
    int FindLineContaining(std::string_view text, int start, bool backward = false) const;
};

// A list of lines with at most one selected; a line longer than the list is cut at its
// border, without an ellipsis.
class ListBox : public ListControl {};

// A closed list of entries, chosen from but not typed into.
class DropDownList : public ListControl {};

// Text folded for comparisons that ignore case, in any script: Unicode case folding as the
// window system does it ("É" and "é" fold alike; kana and kanji stay as they are).
std::string FoldCase(std::string_view text);

enum class CheckMark { Unchecked = 0, Checked = 1, Indeterminate = 2 };

// Push buttons and check boxes.
class Button : public ControlHandle {
public:
    // Push buttons have no mark: SetCheck does nothing.
    void SetCheck(CheckMark mark);
    bool IsWindowEnabled() const;
};

} // namespace velmora
