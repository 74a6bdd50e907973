// The viewer on the Win32 backend, under Wine: start-up on the registry entry, Enter in the
// path box, a tech clicked, "Change" with the effect dialog, and the find box, all through
// the system's own controls. Each step runs on a timer tick inside the dialogs' own message loops.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/MainDialog.h"
#include "editor/EffectDialog.h"
#include "host/Installation.h"
#include "resources/ResourceIds.h"
#include "tests/win32/TestSession.h"
#include "views/TableBounds.h"
// The system's headers last: their macros rename functions of ours (FreeModule).
#include "host/Win32Text.h"
#include "ui/win32/DialogWindow.h"

#include <shlobj.h>

namespace velmora {
namespace {

using Ids = MainDialogIds;

std::string Text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Narrow(text);
}

// Clicks a line of a list box as the mouse does; the list box tells its dialog itself.
void ClickLine(HWND list, int line)
{
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 2, item.top + 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void PressKey(HWND control, WPARAM key)
{
    SetFocus(control);
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

// A key pressed with Ctrl held, as the keyboard state tells it.
void PressWithControl(HWND control, WPARAM key, bool held = true)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
    if (held)
        PressKey(control, key);
}

// One file dropped on a window as the shell drops it: a DROPFILES block with its wide name.
void DropFile(HWND window, const std::string& path)
{
    const std::wstring name = Wide(path);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

std::vector<std::function<void()>> steps;
std::size_t nextStep = 0;
void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (nextStep < steps.size())
        steps[nextStep++]();  // may run the next steps in a nested loop before it returns
}

TEST(Win32Dialogs, StartLoadSelectAndChange)
{
    // The game's installer writes its entry in the 32-bit view; only tests write the registry.
    const std::string folder = VELMORA_DEMO_GAME_FOLDER;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(InstallKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    const std::wstring value = Wide(folder);
    RegSetValueExW(key, Wide(InstallValue).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    const TestSession session;
    MainDialog dialog;
    Dialog::SetMainWindow(&dialog);
    ASSERT_TRUE(dialog.Create());
    const auto control = [&](int id) { return ControlHandleOf(dialog, id); };
    EXPECT_EQ(Text(control(Ids::Path)), DataFilePath(folder));
    EXPECT_EQ(ShownTechCount(dialog.tables), 0) << "nothing is loaded at start";
    EXPECT_EQ(FoldCase("ÉCRITURE Σ 日本刀"), "écriture σ 日本刀") << "the find box's comparison";
    int effectLines = -1;
    HWND effectWindow = nullptr;
    HWND findBox = nullptr;
    HWND focusBeforeFind = nullptr;
    // The find box selected line `line` as a click would, showing its name.
    const auto found = [&](int line) {
        EXPECT_EQ(SendMessageW(control(Ids::TechList), LB_GETCURSEL, 0, 0), line);
        EXPECT_EQ(Text(control(Ids::Name)),
                  dialog.languageModules.LookupString(dialog.tables.techs[static_cast<std::size_t>(line)].nameStringId));
    };

    steps = {
        [&] {
            EXPECT_EQ(GetFocus(), control(Ids::TechList)) << "the first tab stop has the focus";
            PressKey(control(Ids::Path), VK_RETURN);
        },
        [&] {
            ASSERT_GT(ShownTechCount(dialog.tables), 4);
            EXPECT_EQ(SendMessageW(control(Ids::TechList), LB_GETCOUNT, 0, 0), ShownTechCount(dialog.tables));
            ClickLine(control(Ids::TechList), 4);
        },
        [&] {
            EXPECT_TRUE(Text(control(Ids::Name)).size() > 0) << "the name comes from the language modules";
            const EffectRecord& effect = dialog.tables.effects[static_cast<std::size_t>(dialog.tables.techs[4].effectNo)];
            effectLines = static_cast<int>(SendMessageW(control(Ids::EffectList), LB_GETCOUNT, 0, 0));
            EXPECT_EQ(effectLines, ShownCommandCount(effect));
            ASSERT_GT(effectLines, 0);
            ClickLine(control(Ids::EffectList), effectLines - 1);
        },
        [&] { PostMessageW(control(Ids::Change), BM_CLICK, 0, 0); },
        [&] {
            effectWindow = FindWindowW(nullptr, L"Effect");
            ASSERT_NE(effectWindow, nullptr);
            EXPECT_FALSE(IsWindowEnabled(WindowHandleOf(dialog))) << "the main dialog takes no input meanwhile";
            const EffectCommand& command = dialog.tables.effects[static_cast<std::size_t>(dialog.renderedEffectNo)]
                                               .commands[static_cast<std::size_t>(effectLines - 1)];
            EXPECT_EQ(SendDlgItemMessageW(effectWindow, EffectDialogIds::TypeList, CB_GETCURSEL, 0, 0),
                      EffectTypeListPosition(command.type));
            EXPECT_EQ(Text(GetDlgItem(effectWindow, EffectDialogIds::Data1)), std::to_string(command.data1));
            EXPECT_EQ(Text(GetDlgItem(effectWindow, EffectDialogIds::Data4)), std::to_string(static_cast<double>(command.data4)));
            PressKey(GetDlgItem(effectWindow, EffectDialogIds::Data1), VK_ESCAPE);
        },
        [&] {
            EXPECT_FALSE(IsWindowVisible(effectWindow));
            EXPECT_TRUE(IsWindowEnabled(WindowHandleOf(dialog)));
            PressKey(control(Ids::TechList), VK_ESCAPE);  // does not close the main dialog
        },
        [&] {
            focusBeforeFind = control(Ids::Path);  // not the first tab stop, where the focus would go anyway
            PressWithControl(focusBeforeFind, 'F');
        },
        [&] {
            PressWithControl(nullptr, 0, false);
            findBox = FindBoxHandleOf(dialog);
            ASSERT_TRUE(findBox != nullptr && IsWindowVisible(findBox));
            EXPECT_EQ(GetFocus(), findBox);
            PostMessageW(findBox, WM_CHAR, L'1', 1);  // the first line with a 1 is 001
        },
        [&] {
            found(1);
            PressKey(findBox, VK_F3);
        },
        [&] {
            found(10);
            PressKey(findBox, VK_ESCAPE);
        },
        [&] {
            EXPECT_FALSE(IsWindowVisible(findBox));
            EXPECT_TRUE(focusBeforeFind != nullptr && GetFocus() == focusBeforeFind) << "the focus is back where it was";
            EXPECT_TRUE(IsWindowVisible(WindowHandleOf(dialog))) << "Escape closed the find box alone";
            DropFile(WindowHandleOf(dialog), folder + "\\DATA\\BRANNOCH2_X1_P1.DAT");
        },
        [&] {
            EXPECT_EQ(Text(control(Ids::Path)), folder + "\\DATA\\BRANNOCH2_X1_P1.DAT") << "the dropped file is loaded";
            EXPECT_EQ(SendMessageW(control(Ids::TechList), LB_GETCURSEL, 0, 0), LB_ERR) << "a new list";
            PostMessageW(WindowHandleOf(dialog), WM_CLOSE, 0, 0);
        },
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, RunNextStep);
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    KillTimer(nullptr, timer);
    EXPECT_EQ(nextStep, steps.size());
    EXPECT_EQ(dialog.dataBuffer.length, 0) << "closing releases the data";
    Dialog::SetMainWindow(nullptr);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Wide(InstallKey).c_str(), KEY_WOW64_32KEY, 0);
}

} // namespace
} // namespace velmora
