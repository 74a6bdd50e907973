// The list box's answers to the user, one table for both backends (ui/ListBoxRule.h): each
// backend's test drives its own tech list, in a dialog on template 102, with these rows.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "resources/DialogTemplates.h"
#include "ui/Dialog.h"

namespace velmora::fixtures {

enum class ListInput {
    Up, Down, Left, Right, PageUp, PageDown, Home, End, Space,
    Typed,        // the character `line` (e.g. '0')
    Click,        // a left click on line `line`
    RightClick,   // on line `line`
    MiddleClick,  // on line `line`
    Drag,         // the left button pressed on line `line`, held to line `to`, released
    DoubleClick,  // on line `line`
    ClickBelow,   // a left click below the last line
    DragFromBelow,  // the left button pressed below the last line, held to line `to`, released
    Select,       // SetCurSel(line) by the program
};

struct ListStep {
    ListInput input;
    int line = 0;
    int to = 0;
};

struct ListBoxRow {
    const char* what;
    int lines;                    // the list is filled with this many lines first, "000:Line a" and on
    std::vector<ListStep> steps;
    int selected;                 // the line selected at the end, plus `pages` times a page less one
    int pages;
    int reports;                  // selection changes reported to the dialog
};

inline std::string ListLine(int i)
{
    return std::string(3 - std::to_string(i).size(), '0') + std::to_string(i) + ":Line " + char('a' + i % 26);
}

inline const std::vector<ListBoxRow>& ListBoxRows()
{
    using I = ListInput;
    static const std::vector<ListBoxRow> rows = {
        {"the first Down after a fill selects line 0", 40, {{I::Down}}, 0, 0, 1},
        {"so does any navigation key", 40, {{I::End}}, 0, 0, 1},
        {"and Space", 40, {{I::Space}}, 0, 0, 1},
        {"Home on line 0 reports again", 40, {{I::Down}, {I::Home}, {I::Up}}, 0, 0, 3},
        {"Down on the last line reports again", 40, {{I::Down}, {I::End}, {I::Down}}, 39, 0, 3},
        {"arrows step one line", 40, {{I::Down}, {I::Down}, {I::Right}, {I::Left}}, 1, 0, 4},
        {"Space on the selected line does nothing", 40, {{I::Down}, {I::Space}}, 0, 0, 1},
        {"PageDown goes a page less one", 100, {{I::Down}, {I::PageDown}, {I::PageDown}}, 0, 2, 3},
        {"PageUp comes back", 100, {{I::Down}, {I::PageDown}, {I::PageDown}, {I::PageUp}}, 0, 1, 4},
        {"a typed character selects the next line beginning with it", 40, {{I::Down}, {I::Typed, '0'}}, 1, 0, 2},
        {"a character no line begins with does nothing", 40, {{I::Typed, 'x'}}, -1, 0, 0},
        {"right and middle clicks do nothing", 40, {{I::RightClick, 5}, {I::MiddleClick, 6}}, -1, 0, 0},
        {"a click reports, also on the selected line", 40, {{I::Click, 3}, {I::Click, 3}}, 3, 0, 2},
        {"a drag reports once, where it ends", 40, {{I::Drag, 2, 5}}, 5, 0, 1},
        {"a double click reports once", 40, {{I::DoubleClick, 4}}, 4, 0, 1},
        {"a click below the lines does nothing", 5, {{I::ClickBelow}}, -1, 0, 0},
        {"nor does a press there held onto a line", 5, {{I::DragFromBelow, 0, 2}}, -1, 0, 0},
        {"the program's selection is not reported; Down goes on from it", 40, {{I::Select, 5}, {I::Down}}, 6, 0, 1},
        {"with the selection taken away, Down selects the line it was on", 40, {{I::Select, 5}, {I::Select, -1}, {I::Down}}, 5, 0, 1},
        {"an empty list", 0, {{I::Down}, {I::ClickBelow}, {I::Typed, '0'}}, -1, 0, 0},
    };
    return rows;
}

// A dialog on template 102 that binds the tech list alone and counts the selection changes
// it reports.
class ListBoxDialog : public TableDialog<ListBoxDialog> {
public:
    ListBoxDialog() : TableDialog(MainDialogTemplate()) {}

    static std::span<const ExchangeRow<ListBoxDialog>> DataExchangeTable()
    {
        static const ExchangeRow<ListBoxDialog> rows[] = {DdxControl(MainDialogIds::TechList, &ListBoxDialog::list)};
        return rows;
    }
    static std::span<const EventRow<ListBoxDialog>> EventTable()
    {
        static const EventRow<ListBoxDialog> rows[] = {{Notification::SelChange, MainDialogIds::TechList, &ListBoxDialog::Reported}};
        return rows;
    }
    void Reported() { ++reports; }
    void Fill(int lines)
    {
        list.ResetContent();
        for (int i = 0; i < lines; ++i)
            list.AddString(ListLine(i));
        reports = 0;
    }

    ListBox list;
    int reports = 0;
};

} // namespace velmora::fixtures
