#include "ui/win32/DialogWindow.h"

#include "host/Win32Text.h"

#include <algorithm>

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

std::int16_t Short(int value)
{
    return static_cast<std::int16_t>(value);
}

// The key as the dialog tells keys apart; Enter and Escape that the control takes itself
// (an opened drop-down list closes on them) are any other key.
Key KeyOf(MSG& msg)
{
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)
        return Key::Other;
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
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr)
            DestroyIcon(icon);
    }
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

void Win32DialogWindow::FocusFirstTabStop()
{
    for (const NativeControl& control : controls_) {
        if (control.item->Has(StyleTabStop) && IsWindowEnabled(control.hwnd)) {
            SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control.hwnd), TRUE);
            return;
        }
    }
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

bool Win32DialogWindow::WriteText(int id, std::string_view text)
{
    std::string shown;
    if (!ReadText(id, shown))
        return false;
    if (shown != text)
        SetWindowTextW(Control(id)->hwnd, Wide(text).c_str());
    return true;
}

void Win32DialogWindow::ClickButton(int id)
{
    const NativeControl* control = Control(id);
    if (control != nullptr && control->item->kind == ControlKind::PushButton && IsWindowEnabled(control->hwnd))
        SendMessageW(control->hwnd, BM_CLICK, 0, 0);
}

int Win32DialogWindow::RunModal(DialogWindow* mainWindow)
{
    if (hwnd_ == nullptr || running_)
        return -1;
    auto* main = static_cast<Win32DialogWindow*>(mainWindow);
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner == nullptr && main != nullptr && main != this && main->hwnd_ != nullptr) {
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

    MSG msg{};
    bool quit = false;
    while (!ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        // The dialog sees the keys meant for it or its controls before anyone else.
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

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE; // the dialog puts the focus itself (FocusFirstTabStop)
    }
    auto* window = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    INT_PTR result = FALSE;
    if (window != nullptr && window->HandleMessage(message, wParam, lParam, result)) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}

bool Win32DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR& result)
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
    default:
        return false;
    }
}

void Win32DialogWindow::Command(int id, int code)
{
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

HWND ControlHandleOf(const Dialog& dialog, int id)
{
    const NativeControl* control = dialog.GetDlgItem(id);
    return control != nullptr ? control->hwnd : nullptr;
}

} // namespace velmora
