// The list box's answers to the user on the Win32 backend, the system's own list box,
// row by row of the table both backends share (tests/support/ListBoxRows.h).
#include <gtest/gtest.h>

#include "tests/support/ListBoxRows.h"
#include "tests/win32/TestSession.h"
// The system's headers last: their macros rename functions of ours.
#include "ui/win32/DialogWindow.h"

namespace velmora {
namespace {

using namespace fixtures;

void Play(HWND list, const ListStep& step)
{
    constexpr WPARAM keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_SPACE};
    const auto at = [list](int line) {
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
        return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    };
    const auto press = [list](UINT down, UINT up, WPARAM held, LPARAM where, LPARAM releasedAt) {
        SendMessageW(list, down, held, where);
        if (releasedAt != where)
            SendMessageW(list, WM_MOUSEMOVE, held, releasedAt);
        SendMessageW(list, up, 0, releasedAt);
    };
    RECT client{};
    GetClientRect(list, &client);
    const LPARAM below = MAKELPARAM(10, client.bottom - 3);
    switch (step.input) {
    case ListInput::Typed:
        SendMessageW(list, WM_CHAR, static_cast<WPARAM>(step.line), 1);
        break;
    case ListInput::Click:
        return press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, at(step.line), at(step.line));
    case ListInput::RightClick:
        return press(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, at(step.line), at(step.line));
    case ListInput::MiddleClick:
        return press(WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, at(step.line), at(step.line));
    case ListInput::DoubleClick:
        press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, at(step.line), at(step.line));
        return press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON, at(step.line), at(step.line));
    case ListInput::ClickBelow:
        return press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, below, below);
    case ListInput::Drag:
    case ListInput::DragFromBelow:
        return press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, step.input == ListInput::Drag ? at(step.line) : below, at(step.to));
    default:
        return press(WM_KEYDOWN, WM_KEYUP, keys[static_cast<int>(step.input)], 1, 1);
    }
}

TEST(Win32ListBox, AnswersTheUserAsTheQtOne)
{
    const TestSession session;
    ListBoxDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(WindowHandleOf(dialog), SW_SHOW);
    const HWND list = ControlHandleOf(dialog, MainDialogIds::TechList);
    RECT client{};
    GetClientRect(list, &client);
    const int page = client.bottom / static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    CheckListBoxRows(dialog, [&](const ListStep& step) { Play(list, step); }, [page] { return page; });
}

} // namespace
} // namespace velmora
