// The Win32 backend's dialog window: a real Windows dialog created from an in-memory
// DLGTEMPLATEEX built from the DialogTemplate, with the system's own controls.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Dialog.h"
#include "ui/DialogWindow.h"

namespace velmora {

// A control of a Win32 dialog: its template item and its window.
class NativeControl {
public:
    const DialogItem* item;
    HWND hwnd;
};

class Win32DialogWindow final : public DialogWindow {
public:
    Win32DialogWindow(Dialog& dialog, Win32DialogWindow* owner);
    ~Win32DialogWindow() override;

    void CreateControls() override;
    NativeControl* Control(int id) const override;
    int FocusedControl() const override;
    void FocusControl(int id) override;
    bool IsControlEnabled(int id) const override;
    DialogBaseUnits BaseUnits() const override;
    bool ReadText(int id, std::string& text) const override;
    void WriteText(int id, std::string_view text) override;
    void ClickButton(int id) override;
    int RunModal(DialogWindow* mainWindow) override;
    void End(int result) override;
    void ShowMessage(std::string_view text) override;
    void SetIcon(int iconId) override;
    void AcceptDrops(bool accept) override;
    std::optional<std::string> ChooseFile(const std::string& folder, std::span<const FileType> types) override;
    void ShowFindBox(const DialogRect& place) override;
    void HideFindBox() override;
    std::string FindBoxText() const override;
    void TintFindBox(bool notFound) override;

    // The dialog's window; nullptr before CreateControls.
    HWND Handle() const { return hwnd_; }
    // The find box's window; nullptr until it is first opened.
    HWND FindBox() const { return findBox_; }
    bool IsRunning() const { return running_; }
    const std::map<HWND, int>& CondensedLabels() const { return condensedLabels_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    void Command(int id, int code);
    bool PaintIcon();
    void DropFiles(HDROP drop);
    HBRUSH FindBoxBrush(HWND edit, HDC dc);
    // Condenses each caption wider than its room just enough (ui/CaptionFit.h): a check box's
    // or push button's with a narrower font, a label's by drawing it narrowed (DrawLabel).
    void FitCaptions();
    bool DrawLabel(const DRAWITEMSTRUCT& draw);
    // The dialog's font narrowed to `percent` of its width; made once for each width and
    // kept until the window goes.
    HFONT NarrowFont(int percent);

    Win32DialogWindow* owner_;
    HWND hwnd_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::vector<NativeControl> controls_; // the items with an id, template order
    HWND findBox_ = nullptr;
    bool findFailed_ = false;
    HBRUSH notFoundBrush_ = nullptr;
    std::map<LONG, HFONT> narrowFonts_;  // by LOGFONT width
    std::map<HWND, int> condensedLabels_;  // the labels drawn narrowed, to this percent
    bool placed_ = false;
    bool shown_ = false;
    bool running_ = false;
    bool ended_ = false;
    int result_ = 0;
};

// The dialog template as Windows takes it: a DLGTEMPLATEEX with one DLGITEMTEMPLATEEX per
// item, in template order, laid out in WORDs. The window is created hidden (the
// template's visible style is left out; RunModal shows it), `fontFace` is the font it names.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate, std::wstring_view fontFace);

// The face a dialog font name is created with (ChooseDialogFace, ui/DialogFace.h).
std::wstring DialogFontFace(std::string_view fontName);

// The room a label, check box or push button leaves its caption, in pixels: a label's
// width; a button's width less what it draws besides its caption (its mark and the gap, or
// its frame), as the control itself tells it. -1 for other controls.
int CaptionRoom(HWND control);

// The width in pixels of `text` in the font `control` draws with.
int CaptionExtent(HWND control, std::wstring_view text, HFONT font = nullptr);

// The program's display name, the title of its message boxes.
const std::wstring& DisplayName();

// For code that drives the controls (tests): the dialog's window and a control's window
// (nullptr for labels and unknown ids).
HWND WindowHandleOf(const Dialog& dialog);
HWND ControlHandleOf(const Dialog& dialog, int id);
HWND FindBoxHandleOf(const Dialog& dialog);
// The percent of its width a label's caption is drawn at (100: as it is).
int LabelPercent(const Dialog& dialog, HWND label);

} // namespace velmora
