// The dialogs as Windows draws them, under Wine, at the prefix's DPI (96 in the tests'
// prefix; 144 and 192 in prefixes of their own): each caption whole, condensed to no less
// than 80 % where it must be, in the dialog's face and size; the window as large as the
// template in that face at 96 DPI, scaled to the DPI, within 10 %.
#include <gtest/gtest.h>

#include "resources/DialogTemplates.h"
#include "tests/win32/TestSession.h"
#include "ui/CaptionFit.h"
// The system's headers last: their macros rename functions of ours.
#include "host/Win32Text.h"
#include "ui/win32/DialogWindow.h"

#include <commctrl.h>

namespace velmora {
namespace {

// The template's size in pixels in its dialog face at 96 DPI, from the face's metrics as
// Windows takes them (the character height and the 52 letters' average width).
SIZE TemplateSizeAt96(const DialogTemplate& dialogTemplate)
{
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HFONT font = CreateFontW(-MulDiv(dialogTemplate.pointSize, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                   DialogFontFace(dialogTemplate.fontName).c_str());
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE letters{};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    const DialogBaseUnits base = BaseUnitsFromMetrics(letters.cx, metrics.tmHeight);
    return SIZE{HorizontalUnitsToPixels(dialogTemplate.width, base), VerticalUnitsToPixels(dialogTemplate.height, base)};
}

// The rightmost column a control's painting puts anything but the dialog's background in.
int InkRight(HWND control, const RECT& client)
{
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    int right = -1;
    for (int x = 0; x < client.right; ++x)
        for (int y = 0; y < client.bottom; ++y)
            right = GetPixel(dc, x, y) != GetSysColor(COLOR_3DFACE) ? x : right;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return right;
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW face{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof face, &face);
    return face;
}

TEST(Win32Look, WholeCaptionsAndTheTemplatesSizeAtThisDpi)
{
    const TestSession session;
    // A face the system neither has nor maps: its dialog font's (Wine's Tahoma here).
    EXPECT_EQ(Narrow(DialogFontFace("No Such Face")), "Tahoma");
    for (const DialogTemplate* dialogTemplate : {&MainDialogTemplate(), &EffectDialogTemplate()}) {
        Dialog dialog(*dialogTemplate);
        ASSERT_TRUE(dialog.Create());
        const HWND window = WindowHandleOf(dialog);
        const int dpi = static_cast<int>(GetDpiForWindow(window));
        SCOPED_TRACE(std::to_string(dialogTemplate->resourceId) + " at " + std::to_string(dpi) + " DPI");
        const SIZE at96 = TemplateSizeAt96(*dialogTemplate);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_NEAR(client.right, at96.cx * dpi / 96.0, at96.cx * dpi / 960.0) << at96.cx;
        EXPECT_NEAR(client.bottom, at96.cy * dpi / 96.0, at96.cy * dpi / 960.0) << at96.cy;

        const LOGFONTW dialogFont = FontOf(window);
        EXPECT_EQ(Narrow(dialogFont.lfFaceName), Narrow(DialogFontFace(dialogTemplate->fontName)));
        int captions = 0;
        HWND control = GetWindow(window, GW_CHILD);
        for (const DialogItem& item : dialogTemplate->items) {
            ASSERT_NE(control, nullptr);
            RECT room{};
            GetClientRect(control, &room);
            const std::wstring caption = Wide(item.caption);
            const LOGFONTW font = FontOf(control);
            if (!caption.empty()) {
                ++captions;
                SCOPED_TRACE(item.caption);
                EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(dialogFont.lfFaceName));
                EXPECT_EQ(font.lfHeight, dialogFont.lfHeight);
                if (item.kind == ControlKind::StaticText) {
                    const int percent = LabelPercent(dialog, control);
                    EXPECT_GE(percent, MinCaptionStretch);
                    EXPECT_LE(CaptionExtent(control, caption) * percent / 100, room.right);
                    // Just enough: a percent more would not fit.
                    EXPECT_TRUE(percent == 100 || (CaptionExtent(control, caption) * (percent + 1) + 99) / 100 > room.right);
                    // And drawn so: nothing up to the edge where a cut caption would run on.
                    EXPECT_LT(InkRight(control, room), room.right - 1);
                } else {
                    // What the button needs for its caption and the rest, in its font.
                    SIZE ideal{};
                    ASSERT_TRUE(SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
                    EXPECT_LE(ideal.cx, room.right);
                }
            }
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(captions, dialogTemplate->resourceId == MainDialogTemplateId ? 19 : 5);
    }
}

} // namespace
} // namespace velmora
