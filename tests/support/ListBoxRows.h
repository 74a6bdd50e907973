// The list box's answers to the user, one table for both backends (ui/ListBoxRule.h): each
// backend's test drives its own tech list, in a dialog on template 102, with these rows.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "resources/DialogTemplates.h"
#include "ui/Dialog.h"

namespace velmora::fixtures {

// What the user does: a navigation key; a character typed (`line`); a click of the left,
// right or middle button on `line`; the left button pressed on `line`, held to `to` and
// released; a double click on `line`; a click below the lines; the left button pressed below
// them, held to `to` and released; or the program's SetCurSel(`line`).
enum class ListInput { Up, Down, Left, Right, PageUp, PageDown, Home, End, Space, Typed, Click, RightClick, MiddleClick,
                       Drag, DoubleClick, ClickBelow, DragFromBelow, Select };

struct ListStep {
    ListInput input;
    int line = 0;
    int to = 0;
};

struct ListBoxRow {
    const char* what;
    int lines;                    // the list is filled with this many lines first, "000:Line a" and on (Fill)
    std::vector<ListStep> steps;
    int selected;                 // the line selected at the end, plus `pages` times a page less one
    int pages;
    int reports;                  // selection changes reported to the dialog
};

inline const std::vector<ListBoxRow>& ListBoxRows()
{
    using I = ListInput;
    static const std::vector<ListBoxRow> rows = {
        {"the first Down after a fill selects line 0", 40, {{I::Down}}, 0, 0, 1},
        {"so does any navigation key", 40, {{I::End}}, 0, 0, 1},
        {"and Space", 40, {{I::Space}}, 0, 0, 1},
        {"Home on line 0 reports again", 40, {{I::Down}, {I::Home}, {I::Up}}, 0, 0, 3},
        {"End selects the last line", 40, {{I::Down}, {I::End}}, 39, 0, 2},
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
            list.AddString(std::to_string(1000 + i).substr(1) + ":Line " + char('a' + i % 26));
        reports = 0;
    }

    ListBox list;
    int reports = 0;
};

// Fills the dialog's list for each row and plays its steps, the user's through `play` (the
// backend's own input), then checks the selection and the reports; `page` answers the lines
// of a page of the filled list.
template <class Play, class Page>
void CheckListBoxRows(ListBoxDialog& dialog, Play play, Page page)
{
    for (const ListBoxRow& row : ListBoxRows()) {
        dialog.Fill(row.lines);
        for (const ListStep& step : row.steps) {
            if (step.input == ListInput::Select)
                dialog.list.SetCurSel(step.line);
            else
                play(step);
        }
        EXPECT_EQ(dialog.list.GetCurSel(), row.selected + row.pages * (page() - 1)) << row.what;
        EXPECT_EQ(dialog.reports, row.reports) << row.what;
    }
}

} // namespace velmora::fixtures
