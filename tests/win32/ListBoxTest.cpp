// The list box's answers to the user on the Win32 backend, the system's own list box,
// row by row of the table both backends share (tests/support/ListBoxRows.h).
#include <gtest/gtest.h>

#include "resources/DialogFonts.h"
#include "tests/support/ListBoxRows.h"
#include "ui/Application.h"
// The system's headers last: their macros rename functions of ours.
#include "ui/win32/DialogWindow.h"

namespace velmora {
namespace {

using namespace fixtures;

void Play(HWND list, const ListStep& step)
{
    const auto at = [list](int line) {
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
        return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    };
    const auto press = [list](UINT down, UINT up, WPARAM held, LPARAM where) {
        SendMessageW(list, down, held, where);
        SendMessageW(list, up, 0, where);
    };
    const std::pair<ListInput, WPARAM> keys[] = {
        {ListInput::Up, VK_UP},       {ListInput::Down, VK_DOWN},       {ListInput::Left, VK_LEFT},
        {ListInput::Right, VK_RIGHT}, {ListInput::PageUp, VK_PRIOR},    {ListInput::PageDown, VK_NEXT},
        {ListInput::Home, VK_HOME},   {ListInput::End, VK_END},         {ListInput::Space, VK_SPACE},
    };
    for (const auto& [input, key] : keys) {
        if (step.input == input)
            press(WM_KEYDOWN, WM_KEYUP, key, 1);
    }
    RECT client{};
    GetClientRect(list, &client);
    switch (step.input) {
    case ListInput::Typed:
        SendMessageW(list, WM_CHAR, static_cast<WPARAM>(step.line), 1);
        break;
    case ListInput::Click:
        press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, at(step.line));
        break;
    case ListInput::RightClick:
        press(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, at(step.line));
        break;
    case ListInput::MiddleClick:
        press(WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, at(step.line));
        break;
    case ListInput::Drag:
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at(step.line));
        SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(step.to));
        SendMessageW(list, WM_LBUTTONUP, 0, at(step.to));
        break;
    case ListInput::DoubleClick:
        press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, at(step.line));
        press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON, at(step.line));
        break;
    case ListInput::ClickBelow:
        press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(10, client.bottom - 3));
        break;
    case ListInput::DragFromBelow:
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, client.bottom - 3));
        SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(step.to));
        SendMessageW(list, WM_LBUTTONUP, 0, at(step.to));
        break;
    default:
        break;
    }
}

TEST(Win32ListBox, AnswersTheUserAsTheQtOne)
{
    int argc = 1;
    char name[] = "velmora";
    char* argv[] = {name, nullptr};
    char** args = argv;
    Application application(argc, args, "velmora", "Velmora");
    InstallDialogFonts();
    ListBoxDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(WindowHandleOf(dialog), SW_SHOW);
    const HWND list = ControlHandleOf(dialog, MainDialogIds::TechList);
    RECT client{};
    GetClientRect(list, &client);
    const int page = client.bottom / static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    for (const ListBoxRow& row : ListBoxRows()) {
        dialog.Fill(row.lines);
        for (const ListStep& step : row.steps) {
            if (step.input == ListInput::Select)
                dialog.list.SetCurSel(step.line);
            else
                Play(list, step);
        }
        EXPECT_EQ(dialog.list.GetCurSel(), row.selected + row.pages * (page - 1)) << row.what;
        EXPECT_EQ(dialog.reports, row.reports) << row.what;
    }
}

} // namespace
} // namespace velmora
