#include "ui/Application.h"

#include "host/Win32Text.h"
#include "ui/DialogFace.h"
#include "ui/win32/DialogWindow.h"

#include <commctrl.h>


namespace velmora {

namespace {

std::wstring& DisplayNameText()
{
    static std::wstring name;
    return name;
}

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(std::string_view name)
{
    const std::wstring face = Wide(name);
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

// The face the system maps a name to: Windows' font substitutes ("Name"="Face" or
// "Name,128"="Face,128"), or Wine's replacements.
std::string SubstituteOf(std::string_view name)
{
    const std::wstring face = Wide(name);
    const struct {
        HKEY root;
        const wchar_t* key;
    } tables[] = {
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes"},
        {HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements"},
    };
    for (const auto& table : tables) {
        wchar_t value[LF_FACESIZE * 2] = {};
        DWORD size = sizeof value;
        if (RegGetValueW(table.root, table.key, face.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS) {
            std::wstring substitute = value;
            return Narrow(substitute.substr(0, substitute.find(L',')));
        }
    }
    return {};
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
    return Wide(ChooseDialogFace(fontName, FontCatalog{IsInstalled, SubstituteOf}));
}

std::string Application::SubstituteFont(std::string_view fontName, std::string_view /*substitute*/, int /*pointSize*/)
{
    // The system maps fonts here (DialogFontFace).
    return Narrow(DialogFontFace(fontName));
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
