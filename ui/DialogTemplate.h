// A dialog described as data: the caption, size and font of the window and its items in
// template order. Template order is also the tab order and the order in which the
// controls are created. Positions and sizes are in dialog units (see DialogUnits.h).
//
// Templates are constant tables (resources/) that the dialog framework (Dialog.h) turns
// into widgets. Texts are narrow text, UTF-8 on this platform.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora {

enum class ControlKind : std::uint8_t {
    ListBox,      // a list of text lines, one selectable
    Edit,         // a one-line text box
    PushButton,
    CheckBox,
    DropDownList, // a closed list of entries chosen from, no typing
    StaticText,   // a label
};

// Item styles; several combine with |.
using ItemStyles = std::uint32_t;
inline constexpr ItemStyles StyleNone = 0;
inline constexpr ItemStyles StyleTabStop = 1u << 0;          // reached with Tab
inline constexpr ItemStyles StyleDisabled = 1u << 1;         // created disabled
inline constexpr ItemStyles StyleBorder = 1u << 2;
inline constexpr ItemStyles StyleVScroll = 1u << 3;          // vertical scroll bar when needed
inline constexpr ItemStyles StyleSort = 1u << 4;             // list box: lines kept sorted by text
inline constexpr ItemStyles StyleNotify = 1u << 5;           // list box: selection changes reach the dialog
inline constexpr ItemStyles StyleNoIntegralHeight = 1u << 6; // list box: height not cut to whole lines
inline constexpr ItemStyles StyleAutoHScroll = 1u << 7;      // edit: text scrolls horizontally
inline constexpr ItemStyles StyleReadOnly = 1u << 8;         // edit: the user cannot change the text
inline constexpr ItemStyles StyleDigitsOnly = 1u << 9;       // edit: typed keys other than digits refused
inline constexpr ItemStyles StyleAutoCheck = 1u << 10;       // check box: a click toggles the mark

// Window styles of the dialog itself.
using DialogStyles = std::uint32_t;
inline constexpr DialogStyles DialogStyleNone = 0;
inline constexpr DialogStyles DialogStyleCaption = 1u << 0;     // caption bar
inline constexpr DialogStyles DialogStyleSystemMenu = 1u << 1;  // system menu and close box
inline constexpr DialogStyles DialogStyleMinimizeBox = 1u << 2;
inline constexpr DialogStyles DialogStyleModalFrame = 1u << 3;  // fixed frame, no sizing border
inline constexpr DialogStyles DialogStyleVisible = 1u << 4;
inline constexpr DialogStyles DialogStyleAppWindow = 1u << 5;   // listed in the task bar

// The id of items that are never addressed (labels).
inline constexpr int StaticId = -1;

// A rectangle in dialog units: left, top, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const DialogRect&, const DialogRect&) = default;
};

struct DialogItem {
    int id = StaticId;
    ControlKind kind = ControlKind::StaticText;
    // For a drop-down list the height is that of the opened list.
    DialogRect rect;
    std::string_view caption;
    ItemStyles styles = StyleNone;
    // Lines a list is given when the dialog initialises, in this order.
    std::span<const std::string_view> initItems;

    constexpr bool Has(ItemStyles style) const { return (styles & style) == style; }
};

struct DialogTemplate {
    int resourceId = 0;
    std::string_view caption;
    int width = 0;  // client area, dialog units
    int height = 0;
    std::string_view fontName;
    int pointSize = 0;
    DialogStyles styles = DialogStyleNone;
    std::span<const DialogItem> items;

    constexpr bool Has(DialogStyles style) const { return (styles & style) == style; }

    // The first item with this id; nullptr for StaticId and for ids the template lacks.
    constexpr const DialogItem* FindItem(int id) const
    {
        if (id == StaticId) {
            return nullptr;
        }
        for (const DialogItem& item : items) {
            if (item.id == id) {
                return &item;
            }
        }
        return nullptr;
    }
};

} // namespace velmora
