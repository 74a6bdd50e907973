#include "ui/Controls.h"

#include "host/Win32Text.h"
#include "ui/win32/DialogWindow.h"

namespace velmora {

namespace {

struct ListMessages {
    UINT add, insert, reset, count, getSel, setSel, textLength, text;
};
constexpr ListMessages ListBoxMessages{LB_ADDSTRING, LB_INSERTSTRING, LB_RESETCONTENT, LB_GETCOUNT,
                                       LB_GETCURSEL, LB_SETCURSEL,    LB_GETTEXTLEN,   LB_GETTEXT};
constexpr ListMessages ComboBoxMessages{CB_ADDSTRING, CB_INSERTSTRING, CB_RESETCONTENT,  CB_GETCOUNT,
                                        CB_GETCURSEL, CB_SETCURSEL,    CB_GETLBTEXTLEN, CB_GETLBTEXT};

// The list behind a handle: its window and the messages of its kind; nullptr when unbound.
struct List {
    HWND hwnd = nullptr;
    const ListMessages* messages = nullptr;
    bool sorted = false;

    LRESULT Send(UINT ListMessages::*message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageW(hwnd, messages->*message, wParam, lParam);
    }
};

List ListOf(const ControlHandle& handle)
{
    const NativeControl* control = handle.Native();
    if (control == nullptr)
        return {};
    if (control->item->kind == ControlKind::ListBox)
        return {control->hwnd, &ListBoxMessages, control->item->Has(StyleSort)};
    if (control->item->kind == ControlKind::DropDownList)
        return {control->hwnd, &ComboBoxMessages, false};
    return {};
}

HWND CheckBoxOf(const ControlHandle& handle)
{
    const NativeControl* control = handle.Native();
    return control != nullptr && control->item->kind == ControlKind::CheckBox ? control->hwnd : nullptr;
}

std::wstring LineText(const List& list, int index)
{
    const LRESULT length = list.Send(&ListMessages::textLength, static_cast<WPARAM>(index));
    if (length < 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = list.Send(&ListMessages::text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// Simple case folding (the invariant lower case of each unit), then code units.
std::wstring Folded(const std::wstring& text)
{
    std::wstring folded(text.size(), L'\0');
    if (!text.empty() && LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, text.data(), static_cast<int>(text.size()),
                                       folded.data(), static_cast<int>(folded.size()), nullptr, nullptr, 0) == 0)
        return text;
    return folded;
}

} // namespace

// ListControl ---------------------------------------------------------------------------

int ListControl::AddString(std::string_view text)
{
    const List list = ListOf(*this);
    if (list.hwnd == nullptr)
        return ListError;
    const std::wstring wide = Wide(text);
    if (!list.sorted)
        return static_cast<int>(list.Send(&ListMessages::add, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    // After the last line that does not compare greater, whatever the user's locale: the
    // list box's own sorting follows the locale.
    const std::wstring key = Folded(wide);
    int low = 0;
    int high = GetCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (key < Folded(LineText(list, middle)))
            high = middle;
        else
            low = middle + 1;
    }
    return static_cast<int>(list.Send(&ListMessages::insert, static_cast<WPARAM>(low), reinterpret_cast<LPARAM>(wide.c_str())));
}

void ListControl::ResetContent()
{
    if (const List list = ListOf(*this); list.hwnd != nullptr)
        list.Send(&ListMessages::reset);
}

int ListControl::GetCount() const
{
    const List list = ListOf(*this);
    return list.hwnd != nullptr ? static_cast<int>(list.Send(&ListMessages::count)) : 0;
}

int ListControl::GetCurSel() const
{
    const List list = ListOf(*this);
    return list.hwnd != nullptr ? static_cast<int>(list.Send(&ListMessages::getSel)) : ListError;
}

int ListControl::SetCurSel(int index)
{
    const List list = ListOf(*this);
    if (list.hwnd == nullptr)
        return ListError;
    if (index < 0 || index >= GetCount()) {
        list.Send(&ListMessages::setSel, static_cast<WPARAM>(-1));
        return ListError;
    }
    return static_cast<int>(list.Send(&ListMessages::setSel, static_cast<WPARAM>(index)));
}

std::string ListControl::GetText(int index) const
{
    const List list = ListOf(*this);
    if (list.hwnd == nullptr || index < 0 || index >= GetCount())
        return {};
    return Narrow(LineText(list, index));
}

std::string FoldCase(std::string_view text)
{
    const std::wstring wide = Wide(text);
    if (wide.empty())
        return {};
    constexpr DWORD flags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const int size = static_cast<int>(wide.size());
    const int needed = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, wide.c_str(), size, nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0)
        return std::string(text);
    std::wstring folded(static_cast<std::size_t>(needed), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, flags, wide.c_str(), size, folded.data(), needed, nullptr, nullptr, 0);
    return Narrow(folded);
}

// Button --------------------------------------------------------------------------------

void Button::SetCheck(CheckMark mark)
{
    if (HWND box = CheckBoxOf(*this))
        SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(mark), 0);
}

bool Button::IsWindowEnabled() const
{
    return Native() != nullptr && ::IsWindowEnabled(Native()->hwnd);
}

} // namespace velmora
