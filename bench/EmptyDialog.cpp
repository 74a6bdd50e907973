// An empty Win32 dialog of a given size in pixels, from a template in memory: what
// velmora.exe's start is measured against under Wine.
//   velmora-empty-dialog.exe WIDTH HEIGHT
#include <cstdlib>
#include <windows.h>

namespace {

INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* size = reinterpret_cast<const int*>(lParam);
        SetWindowPos(hwnd, nullptr, 0, 0, size[0], size[1], SWP_NOMOVE | SWP_NOZORDER);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int size[2] = {640, 480};
    if (__argc > 2) {
        size[0] = std::atoi(__argv[1]);
        size[1] = std::atoi(__argv[2]);
    }
    // A DLGTEMPLATE, no menu, the default class and an empty title, no controls.
    alignas(4) WORD words[16] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words);
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    header->cx = 100;
    header->cy = 100;
    return static_cast<int>(DialogBoxIndirectParamW(instance, header, nullptr, Procedure, reinterpret_cast<LPARAM>(size)));
}
