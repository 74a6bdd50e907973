#include "ui/win32/DialogWindow.h"

#include "host/Win32Text.h"
#include "ui/CaptionFit.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace velmora {

namespace {

// Window classes of dialog items, as template ordinals.
enum : std::uint16_t { ButtonClass = 0x0080, EditClass = 0x0081, StaticClass = 0x0082, ListBoxClass = 0x0083, ComboBoxClass = 0x0085 };

class TemplateWriter {
public:
    void Word(std::uint16_t value) { words_.push_back(value); }
    void Dword(std::uint32_t value)
    {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(std::wstring_view text)
    {
        words_.insert(words_.end(), text.begin(), text.end());
        Word(0);
    }
    void AlignToDword()
    {
        if (words_.size() % 2 != 0)
            Word(0);
    }
    std::vector<std::uint16_t> Take() { return std::move(words_); }

private:
    std::vector<std::uint16_t> words_;
};

DWORD DialogStyle(const DialogTemplate& t)
{
    DWORD style = WS_POPUP | DS_SETFONT | DS_3DLOOK;
    if (t.Has(DialogStyleCaption))
        style |= WS_CAPTION;
    if (t.Has(DialogStyleSystemMenu))
        style |= WS_SYSMENU;
    if (t.Has(DialogStyleMinimizeBox))
        style |= WS_MINIMIZEBOX;
    if (t.Has(DialogStyleModalFrame))
        style |= DS_MODALFRAME;
    return style;
}

struct ItemClass {
    std::uint16_t windowClass;
    DWORD style;
};

ItemClass ClassOf(const DialogItem& item)
{
    switch (item.kind) {
    case ControlKind::ListBox:
        return {ListBoxClass, static_cast<DWORD>((item.Has(StyleSort) ? LBS_SORT : 0) | (item.Has(StyleNotify) ? LBS_NOTIFY : 0) |
                                                 (item.Has(StyleNoIntegralHeight) ? LBS_NOINTEGRALHEIGHT : 0))};
    case ControlKind::Edit:
        return {EditClass, static_cast<DWORD>(ES_LEFT | (item.Has(StyleAutoHScroll) ? ES_AUTOHSCROLL : 0) |
                                              (item.Has(StyleReadOnly) ? ES_READONLY : 0) | (item.Has(StyleDigitsOnly) ? ES_NUMBER : 0))};
    case ControlKind::PushButton:
        return {ButtonClass, BS_PUSHBUTTON};
    case ControlKind::CheckBox:
        return {ButtonClass, static_cast<DWORD>(item.Has(StyleAutoCheck) ? BS_AUTOCHECKBOX : BS_CHECKBOX)};
    case ControlKind::DropDownList:
        return {ComboBoxClass, CBS_DROPDOWNLIST};
    case ControlKind::StaticText:
        break;
    }
    return {StaticClass, SS_LEFT};
}

DWORD ItemStyle(const DialogItem& item)
{
    DWORD style = WS_CHILD | WS_VISIBLE | ClassOf(item).style;
    if (item.Has(StyleTabStop))
        style |= WS_TABSTOP;
    if (item.Has(StyleDisabled))
        style |= WS_DISABLED;
    if (item.Has(StyleBorder))
        style |= WS_BORDER;
    if (item.Has(StyleVScroll))
        style |= WS_VSCROLL;
    return style;
}

// The find box's control id, one no template uses, and the message that tells the window
// it was first shown.
constexpr int FindBoxId = 0x7F00;
constexpr UINT FirstShownMessage = WM_APP + 1;
constexpr COLORREF NotFoundColour = RGB(255, 204, 204);

std::int16_t Short(int value)
{
    return static_cast<std::int16_t>(value);
}

bool Held(int key)
{
    return GetKeyState(key) < 0;
}

// The key as the dialog tells keys apart; Enter and Escape that the control takes itself
// (an opened drop-down list closes on them) are any other key.
Key KeyOf(MSG& msg)
{
    const bool onlyControl = Held(VK_CONTROL) && !Held(VK_SHIFT) && !Held(VK_MENU);
    switch (msg.wParam) {
    case 'O':
        return onlyControl ? Key::CtrlO : Key::Other;
    case 'F':
        return onlyControl ? Key::CtrlF : Key::Other;
    case VK_F3:
        return Held(VK_CONTROL) || Held(VK_MENU) ? Key::Other : Held(VK_SHIFT) ? Key::ShiftF3 : Key::F3;
    case VK_RETURN:
    case VK_ESCAPE:
        break;
    default:
        return Key::Other;
    }
    const LRESULT wants = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if ((wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0)
        return Key::Other;
    return msg.wParam == VK_RETURN ? Key::Enter : Key::Escape;
}

class IconPaint final : public MinimizedPaint {
public:
    IconPaint(HDC dc, HICON icon, const RECT& client) : dc_(dc), icon_(icon)
    {
        clientWidth = client.right - client.left;
        clientHeight = client.bottom - client.top;
        iconWidth = GetSystemMetrics(SM_CXICON);
        iconHeight = GetSystemMetrics(SM_CYICON);
    }
    void DrawIcon(int x, int y) override { ::DrawIcon(dc_, x, y, icon_); }

private:
    HDC dc_;
    HICON icon_;
};

// Places a window that has not been shown yet in the middle of its owner, or of the work
// area of its monitor when it has none.
void Center(HWND hwnd, HWND owner)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = std::max<int>(monitor.rcWork.left, area.left + (area.right - area.left - width) / 2);
    const int y = std::max<int>(monitor.rcWork.top, area.top + (area.bottom - area.top - height) / 2);
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& t, std::wstring_view fontFace)
{
    TemplateWriter out;
    out.Word(1);      // dlgVer
    out.Word(0xFFFF); // signature: DLGTEMPLATEEX
    out.Dword(0);     // helpID
    out.Dword(t.Has(DialogStyleAppWindow) ? WS_EX_APPWINDOW : 0);
    out.Dword(DialogStyle(t));
    out.Word(static_cast<std::uint16_t>(t.items.size()));
    for (int v : {0, 0, t.width, t.height})
        out.Word(static_cast<std::uint16_t>(Short(v)));
    out.Word(0); // no menu
    out.Word(0); // the dialog class
    out.Text(Wide(t.caption));
    out.Word(static_cast<std::uint16_t>(t.pointSize));
    out.Word(FW_NORMAL);
    out.Word(DEFAULT_CHARSET << 8); // italic 0, then the character set
    out.Text(fontFace);

    for (const DialogItem& item : t.items) {
        out.AlignToDword();
        out.Dword(0); // helpID
        out.Dword(0); // exStyle
        out.Dword(ItemStyle(item));
        for (int v : {item.rect.x, item.rect.y, item.rect.width, item.rect.height})
            out.Word(static_cast<std::uint16_t>(Short(v)));
        out.Dword(static_cast<std::uint32_t>(item.id));
        out.Word(0xFFFF);
        out.Word(ClassOf(item).windowClass);
        out.Text(Wide(item.caption));
        out.Word(0); // no creation data
    }
    return out.Take();
}

std::unique_ptr<DialogWindow> CreateDialogWindow(Dialog& dialog, DialogWindow* owner)
{
    return std::make_unique<Win32DialogWindow>(dialog, static_cast<Win32DialogWindow*>(owner));
}

Win32DialogWindow::Win32DialogWindow(Dialog& dialog, Win32DialogWindow* owner) : DialogWindow(dialog), owner_(owner) {}

Win32DialogWindow::~Win32DialogWindow()
{
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
    for (const auto& [width, font] : narrowFonts_)
        DeleteObject(font);
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    if (notFoundBrush_ != nullptr)
        DeleteObject(notFoundBrush_);
}

void Win32DialogWindow::CreateControls()
{
    if (hwnd_ != nullptr)
        return;
    const DialogTemplate& t = TheDialog().Template();
    const std::vector<std::uint16_t> words = BuildDialogTemplate(t, DialogFontFace(t.fontName));
    HWND owner = owner_ != nullptr ? owner_->hwnd_ : nullptr;
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                               DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr)
        return;
    for (const DialogItem& item : t.items) {
        if (item.id != StaticId)
            controls_.push_back(NativeControl{&item, GetDlgItem(hwnd_, item.id)});
    }
    FitCaptions();
}

int CaptionRoom(HWND control)
{
    wchar_t kind[16] = {};
    GetClassNameW(control, kind, 16);
    RECT client{};
    GetClientRect(control, &client);
    if (_wcsicmp(kind, L"Static") == 0)
        return client.right;
    if (_wcsicmp(kind, L"Button") != 0)
        return -1;
    // The ideal size is what the caption takes in the control's font and what it draws
    // besides the caption.
    SIZE ideal{};
    if (!SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
        return client.right;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return client.right - (ideal.cx - CaptionExtent(control, text));
}

int CaptionExtent(HWND control, std::wstring_view text, HFONT font)
{
    if (font == nullptr)
        font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

HFONT Win32DialogWindow::NarrowFont(int percent)
{
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    LOGFONTW face{};
    GetObjectW(dialogFont, sizeof face, &face);
    // A width of 0 is the face's own: its average character width.
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, dialogFont);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    face.lfWidth = MulDiv(metrics.tmAveCharWidth, percent, 100);
    HFONT& font = narrowFonts_[face.lfWidth];
    if (font == nullptr)
        font = CreateFontIndirectW(&face);
    return font;
}

void Win32DialogWindow::FitCaptions()
{
    // The dialog's children are its items, in template order; the labels among them have
    // no id of their own.
    HWND child = GetWindow(hwnd_, GW_CHILD);
    for (const DialogItem& item : TheDialog().Template().items) {
        if (child == nullptr)
            break;
        const HWND control = std::exchange(child, GetWindow(child, GW_HWNDNEXT));
        const int room = CaptionRoom(control);
        if (item.caption.empty() || room < 0)
            continue;
        const std::wstring caption = Wide(item.caption);
        if (item.kind == ControlKind::StaticText) {
            // Labels are drawn here, condensed exactly: a narrower font comes only in steps
            // of a whole pixel of average width, a seventh of it at 9 points and 96 DPI.
            const int whole = CaptionExtent(control, caption);
            const int percent = CaptionStretch(room, [whole](int p) { return (whole * p + 99) / 100; });
            if (percent != 100) {
                condensedLabels_[control] = percent;
                SetWindowLongPtrW(control, GWL_STYLE, (GetWindowLongPtrW(control, GWL_STYLE) & ~SS_TYPEMASK) | SS_OWNERDRAW);
            }
            continue;
        }
        const int percent = CaptionStretch(room, [&](int p) { return CaptionExtent(control, caption, p == 100 ? nullptr : NarrowFont(p)); });
        if (percent != 100)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(NarrowFont(percent)), FALSE);
    }
}

bool Win32DialogWindow::DrawLabel(const DRAWITEMSTRUCT& draw)
{
    const auto condensed = condensedLabels_.find(draw.hwndItem);
    if (draw.CtlType != ODT_STATIC || condensed == condensedLabels_.end())
        return false;
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(draw.hwndItem)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(draw.hwndItem, caption.data(), static_cast<int>(caption.size()))));
    // Drawn at its own width into a bitmap, then narrowed onto the label: the font engine
    // narrows text only in steps (a narrower font, a world transform under Wine).
    const int width = draw.rcItem.right - draw.rcItem.left;
    const int height = draw.rcItem.bottom - draw.rcItem.top;
    const int wide = MulDiv(width, 100, condensed->second);
    const HDC memory = CreateCompatibleDC(draw.hDC);
    const HBITMAP bitmap = CreateCompatibleBitmap(draw.hDC, wide, height);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    // Grey smoothing: the colour fringes of ClearType would smear when narrowed.
    LOGFONTW face{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0)), sizeof face, &face);
    face.lfQuality = ANTIALIASED_QUALITY;
    const HFONT font = CreateFontIndirectW(&face);
    const HGDIOBJ oldFont = SelectObject(memory, font);
    RECT area{0, 0, wide, height};
    FillRect(memory, &area, GetSysColorBrush(COLOR_3DFACE));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(memory, caption.c_str(), static_cast<int>(caption.size()), &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SetStretchBltMode(draw.hDC, HALFTONE);
    SetBrushOrgEx(draw.hDC, 0, 0, nullptr);
    StretchBlt(draw.hDC, draw.rcItem.left, draw.rcItem.top, width, height, memory, 0, 0, wide, height, SRCCOPY);
    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return true;
}

int LabelPercent(const Dialog& dialog, HWND label)
{
    const auto& labels = static_cast<const Win32DialogWindow&>(dialog.Window()).CondensedLabels();
    const auto found = labels.find(label);
    return found != labels.end() ? found->second : 100;
}

NativeControl* Win32DialogWindow::Control(int id) const
{
    if (id == StaticId)
        return nullptr;
    for (const NativeControl& control : controls_) {
        if (control.item->id == id && control.hwnd != nullptr)
            return const_cast<NativeControl*>(&control);
    }
    return nullptr;
}

int Win32DialogWindow::FocusedControl() const
{
    const HWND focus = GetFocus();
    for (const NativeControl& control : controls_) {
        if (focus != nullptr && (control.hwnd == focus || IsChild(control.hwnd, focus)))
            return control.item->id;
    }
    return 0;
}

void Win32DialogWindow::FocusControl(int id)
{
    if (const NativeControl* control = Control(id))
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->hwnd), TRUE);
}

bool Win32DialogWindow::IsControlEnabled(int id) const
{
    const NativeControl* control = Control(id);
    return control != nullptr && IsWindowEnabled(control->hwnd);
}

DialogBaseUnits Win32DialogWindow::BaseUnits() const
{
    // A rectangle of 4 x 8 dialog units is one average character wide and one high.
    RECT units{0, 0, 4, 8};
    if (hwnd_ == nullptr || !MapDialogRect(hwnd_, &units))
        return {};
    return DialogBaseUnits{units.right, units.bottom};
}

bool Win32DialogWindow::ReadText(int id, std::string& text) const
{
    const NativeControl* control = Control(id);
    if (control == nullptr || control->item->kind != ControlKind::Edit)
        return false;
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(control->hwnd)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(control->hwnd, wide.data(), static_cast<int>(wide.size()))));
    text = Narrow(wide);
    return true;
}

void Win32DialogWindow::WriteText(int id, std::string_view text)
{
    if (const NativeControl* control = Control(id))
        SetWindowTextW(control->hwnd, Wide(text).c_str());
}

void Win32DialogWindow::ClickButton(int id)
{
    const NativeControl* control = Control(id);
    if (control != nullptr && IsWindowEnabled(control->hwnd))
        SendMessageW(control->hwnd, BM_CLICK, 0, 0);
}

int Win32DialogWindow::RunModal(DialogWindow* mainWindow)
{
    if (hwnd_ == nullptr || running_)
        return -1;
    auto* main = static_cast<Win32DialogWindow*>(mainWindow);
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner == nullptr && main != nullptr && main->hwnd_ != nullptr) {
        owner = main->hwnd_;
        SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    const bool ownerWasEnabled = owner != nullptr && !EnableWindow(owner, FALSE);
    running_ = true;
    ended_ = false;
    if (!placed_) {
        Center(hwnd_, owner);
        placed_ = true;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    if (!shown_) {
        shown_ = true;
        PostMessageW(hwnd_, FirstShownMessage, 0, 0);
    }

    MSG msg{};
    bool quit = false;
    while (!ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        // The find box has its own keys; the dialog sees the keys meant for it or its
        // controls before anyone else.
        if (msg.message == WM_KEYDOWN && findBox_ != nullptr && msg.hwnd == findBox_ && FindBoxKeyPressed(KeyOf(msg)))
            continue;
        if (msg.message == WM_KEYDOWN && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
            KeyPressed(KeyOf(msg), FocusedControl())) {
            continue;
        }
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    running_ = false;
    // The owner comes back before this window goes, so it takes the activation.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return ended_ ? result_ : IdCancel;
}

void Win32DialogWindow::End(int result)
{
    result_ = result;
    ended_ = true;
}

void Win32DialogWindow::ShowMessage(std::string_view text)
{
    MessageBoxW(hwnd_, Wide(text).c_str(), DisplayName().c_str(), MB_OK);
}

void Win32DialogWindow::SetIcon(int iconId)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const auto load = [&](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(metricX),
                                             GetSystemMetrics(metricY), LR_DEFAULTCOLOR));
    };
    HICON big = load(SM_CXICON, SM_CYICON);
    HICON small = load(SM_CXSMICON, SM_CYSMICON);
    if (hwnd_ != nullptr) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    for (HICON old : {bigIcon_, smallIcon_}) {
        if (old != nullptr)
            DestroyIcon(old);
    }
    bigIcon_ = big;
    smallIcon_ = small;
}

void Win32DialogWindow::AcceptDrops(bool accept)
{
    if (hwnd_ != nullptr)
        DragAcceptFiles(hwnd_, accept);
}

std::optional<std::string> Win32DialogWindow::ChooseFile(const std::string& folder, std::span<const FileType> types)
{
    // "Description (patterns)", then the patterns separated by semicolons, each ended by
    // a null character; an empty one ends the list.
    std::wstring filter;
    for (const FileType& type : types) {
        std::wstring patterns = Wide(type.patterns);
        filter += Wide(type.description) + L" (" + patterns + L")";
        filter.push_back(L'\0');
        std::replace(patterns.begin(), patterns.end(), L' ', L';');
        filter += patterns;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    std::wstring file(32768, L'\0');
    const std::wstring start = Wide(folder);
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = hwnd_;
    chooser.lpstrFilter = filter.c_str();
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    chooser.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&chooser))
        return std::nullopt;
    file.resize(std::wcslen(file.c_str()));
    return Narrow(file);
}

void Win32DialogWindow::ShowFindBox(const DialogRect& place)
{
    if (hwnd_ == nullptr)
        return;
    RECT at{place.x, place.y, place.x + place.width, place.y + place.height};
    MapDialogRect(hwnd_, &at);
    if (findBox_ == nullptr) {
        findBox_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0, 0,
                                   0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(FindBoxId)),
                                   GetModuleHandleW(nullptr), nullptr);
        if (findBox_ == nullptr)
            return;
        SendMessageW(findBox_, WM_SETFONT, static_cast<WPARAM>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)), FALSE);
        SendMessageW(findBox_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"Find"));
    }
    SetWindowPos(findBox_, HWND_TOP, at.left, at.top, at.right - at.left, at.bottom - at.top, SWP_SHOWWINDOW);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(findBox_), TRUE);
    SendMessageW(findBox_, EM_SETSEL, 0, -1);
}

std::string Win32DialogWindow::FindBoxText() const
{
    if (findBox_ == nullptr)
        return {};
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(findBox_)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(findBox_, wide.data(), static_cast<int>(wide.size()))));
    return Narrow(wide);
}

void Win32DialogWindow::TintFindBox(bool notFound)
{
    findFailed_ = notFound;
    if (findBox_ != nullptr)
        InvalidateRect(findBox_, nullptr, TRUE);
}

void Win32DialogWindow::HideFindBox()
{
    if (findBox_ != nullptr)
        ShowWindow(findBox_, SW_HIDE);
}

HBRUSH Win32DialogWindow::FindBoxBrush(HWND edit, HDC dc)
{
    if (edit != findBox_ || findBox_ == nullptr || !findFailed_)
        return nullptr;
    if (notFoundBrush_ == nullptr)
        notFoundBrush_ = CreateSolidBrush(NotFoundColour);
    SetBkColor(dc, NotFoundColour);
    return notFoundBrush_;
}

// The shell's files, as DroppedFile takes them.
void Win32DialogWindow::DropFiles(HDROP drop)
{
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Narrow(path));
    }
    DragFinish(drop);
    if (const std::optional<std::string> file = DroppedFile(paths))
        FileDropped(*file);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE; // the dialog puts the focus itself (FirstTabStop)
    }
    auto* window = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    // A colour message answers with its brush, not through the message result.
    if (message == WM_CTLCOLOREDIT && window != nullptr) {
        if (HBRUSH brush = window->FindBoxBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<INT_PTR>(brush);
        return FALSE;
    }
    INT_PTR result = FALSE;
    if (window != nullptr && window->HandleMessage(message, wParam, lParam, result)) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}

bool Win32DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_CLOSE:
        CancelCommand();
        return true;
    case WM_PAINT:
        return IsIconic(hwnd_) && PaintIcon();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(bigIcon_);
        return bigIcon_ != nullptr;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return true;
    case WM_DRAWITEM:
        result = TRUE;
        return DrawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case FirstShownMessage:
        FirstShown();
        return true;
    default:
        return false;
    }
}

void Win32DialogWindow::Command(int id, int code)
{
    if (id == FindBoxId) {
        if (code == EN_CHANGE)
            FindRequested(FindStep::Typed);
        return;
    }
    if (id == IDOK || id == IDCANCEL) {
        if (id == IDOK)
            OkCommand();
        else
            CancelCommand();
        return;
    }
    const DialogItem* item = TheDialog().Template().FindItem(id);
    if (item == nullptr)
        return;
    switch (item->kind) {
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE)
            Notified(Notification::SelChange, id);
        break;
    case ControlKind::DropDownList:
        if (code == CBN_SELCHANGE)
            Notified(Notification::SelChange, id);
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE)
            Notified(Notification::Change, id);
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        if (code == BN_CLICKED)
            Notified(Notification::Clicked, id);
        break;
    case ControlKind::StaticText:
        break;
    }
}

bool Win32DialogWindow::PaintIcon()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(hwnd_, &client);
    IconPaint paint(dc, bigIcon_, client);
    PaintMinimized(paint);
    EndPaint(hwnd_, &ps);
    return true;
}

HWND WindowHandleOf(const Dialog& dialog)
{
    return static_cast<const Win32DialogWindow&>(dialog.Window()).Handle();
}

HWND FindBoxHandleOf(const Dialog& dialog)
{
    return static_cast<const Win32DialogWindow&>(dialog.Window()).FindBox();
}

HWND ControlHandleOf(const Dialog& dialog, int id)
{
    const NativeControl* control = dialog.GetDlgItem(id);
    return control != nullptr ? control->hwnd : nullptr;
}

} // namespace velmora
