// How a list box with the notify style answers the user, on every backend alike. The
// model is the Win32 list box (single selection), which the program was made for:
//  - A navigation key (Up, Down, Left, Right, PageUp, PageDown, Home, End, Space) selects
//    the line ListBoxKeyLine gives and reports it, even when that is the line already
//    selected (Home on line 0, Down on the last line). While no line is selected, or
//    another than the caret's, any of them selects the caret's line: the first Down after
//    the list is filled selects line 0. Space on the selected line does nothing.
//  - A typed character selects the next line after the caret, around the list, whose
//    text begins with it, ignoring case, and reports it; nothing when no line does.
//  - The left button selects the line it is pressed on, follows the pointer while held,
//    and reports once when released, also on the line already selected; a press below
//    the lines does nothing. A double click is no second click. The right and the middle
//    button do nothing.
//  - What the program does (filling the list, SetCurSel) is never reported.
// The caret is the line the keyboard is on: line 0 once the list is emptied, the line
// selected last, by the user or the program; taking the selection away leaves it.
#pragma once

#include <functional>
#include <string>

namespace velmora {

struct ListBoxState {
    int count = 0;
    int selected = -1;
    int caret = 0;
    int pageSize = 1;  // whole lines the list shows at once, at least 1
};

enum class ListKey { Up, Down, Left, Right, PageUp, PageDown, Home, End, Space };

// The line a navigation key selects (and reports); -1 when it does nothing.
int ListBoxKeyLine(const ListBoxState& list, ListKey key);

// The line a typed character selects (and reports): the first after the caret, around the
// list, whose text (`lineText`) begins with `typed` ignoring case; -1 when none does.
int ListBoxTypedLine(const ListBoxState& list, const std::string& typed, const std::function<std::string(int)>& lineText);

} // namespace velmora
