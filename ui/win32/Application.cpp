#include "ui/Application.h"

#include "host/Win32Text.h"
#include "ui/win32/DialogWindow.h"

#include <commctrl.h>

#include <map>

namespace velmora {

namespace {

std::wstring& DisplayNameText()
{
    static std::wstring name;
    return name;
}

// Dialog font names and the installed faces that stand for them (SubstituteFont).
std::map<std::wstring, std::wstring>& Substitutes()
{
    static std::map<std::wstring, std::wstring> substitutes;
    return substitutes;
}

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(const std::wstring& face)
{
    if (face.empty() || face.size() >= LF_FACESIZE)
        return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

struct Application::Instance {};

Application::Application(int& /*argc*/, char** /*argv*/, std::string_view /*name*/, std::string_view displayName)
{
    DisplayNameText() = Wide(displayName);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Application::~Application() = default;

const std::wstring& DisplayName()
{
    return DisplayNameText();
}

std::wstring DialogFontFace(std::string_view fontName)
{
    std::wstring face = Wide(fontName);
    const auto substitute = Substitutes().find(face);
    if (substitute != Substitutes().end() && !IsInstalled(face) && IsInstalled(substitute->second))
        return substitute->second;
    return face;
}

std::string Application::SubstituteFont(std::string_view fontName, std::string_view substitute, int pointSize)
{
    Substitutes()[Wide(fontName)] = Wide(substitute);
    const std::wstring face = DialogFontFace(fontName);
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    HGDIOBJ old = SelectObject(screen, font);
    wchar_t resolved[LF_FACESIZE] = {};
    const int copied = GetTextFaceW(screen, LF_FACESIZE, resolved);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return copied > 0 ? Narrow(resolved) : std::string();
}

// Paths come from the system's UTF-16 names as UTF-8, and show as they are.
std::string ShownFileName(const std::string& path)
{
    return path;
}

WaitCursor::WaitCursor()
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor()
{
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

} // namespace velmora
