// The window behind a Dialog: what a backend implements for each dialog, and how the
// window reports what happens in it to its dialog. The window only shows and tells: what
// the dialog does with it (the exchange, the keys, the find box, drops) is Dialog's.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/Controls.h"
#include "ui/DialogEvents.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

namespace velmora {

class Dialog;

class DialogWindow {
public:
    virtual ~DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // The dialog this window belongs to.
    Dialog& TheDialog() const { return dialog_; }

    // Creates the controls in template order, hidden like the window; tab order is
    // template order. Reports nothing while it runs.
    virtual void CreateControls() = 0;
    // The control with this id; nullptr for labels and unknown ids.
    virtual NativeControl* Control(int id) const = 0;
    // The id of the control holding the keyboard focus; 0 when the focus is on no
    // control of this window.
    virtual int FocusedControl() const = 0;
    // Gives the focus to control `id`, as tabbing to it does; nothing for 0.
    virtual void FocusControl(int id) = 0;
    virtual bool IsControlEnabled(int id) const = 0;
    virtual DialogBaseUnits BaseUnits() const = 0;

    // Edit boxes. Reading answers false when `id` is no edit box. Writing replaces the
    // text and puts the cursor at its start.
    virtual bool ReadText(int id, std::string& text) const = 0;
    virtual void WriteText(int id, std::string_view text) = 0;
    // Push button `id` clicked as by the user, unless it is disabled.
    virtual void ClickButton(int id) = 0;

    // Shows the window modally until End; `mainWindow`, when given, becomes its owner if
    // it has none.
    virtual int RunModal(DialogWindow* mainWindow) = 0;
    virtual void End(int result) = 0;
    // A modal message box owned by the window: the text, an OK button, no icon, and the
    // program's display name as its title.
    virtual void ShowMessage(std::string_view text) = 0;
    // The window's icon, big and small, from the program's icon resource `iconId`.
    virtual void SetIcon(int iconId) = 0;
    // See Dialog.
    virtual void AcceptDrops(bool accept) = 0;
    virtual std::optional<std::string> ChooseFile(const std::string& folder, std::span<const FileType> types) = 0;

    // The find box, made when it is first shown: shown at `place` (dialog units) on top of
    // the controls, with the focus and its text selected; hidden; its text; its tint.
    virtual void ShowFindBox(const DialogRect& place) = 0;
    virtual void HideFindBox() = 0;
    virtual std::string FindBoxText() const = 0;
    virtual void TintFindBox(bool notFound) = 0;

protected:
    explicit DialogWindow(Dialog& dialog) : dialog_(dialog) {}

    // What the window reports; each runs its dialog's hook.
    // A key pressed in the window, before the control `target` (0: none) gets it; true
    // when the dialog consumed it.
    bool KeyPressed(Key key, int target);
    // Dropped while the controls are built and while an exchange runs.
    void Notified(Notification notification, int id);
    void OkCommand();
    // Escape, the close box, the system menu's Close, Alt+F4.
    void CancelCommand();
    // The client area of the minimised window is being painted (its background already).
    void PaintMinimized(MinimizedPaint& paint);
    // The window was shown for the first time and the events waiting then are handled.
    void FirstShown();
    // A file was dropped on the window: one DroppedFile (ui/DialogRules.h) gave.
    void FileDropped(const std::string& path);
    // Text typed into the find box.
    void FindRequested(FindStep step);
    // A key pressed in the find box: true when it is one of the box's own keys (Enter
    // and F3 for the next match, Shift+F3 for the previous one, Escape to close).
    bool FindBoxKeyPressed(Key key);

private:
    Dialog& dialog_;
};

// Made by the backend when a dialog is constructed: the window, hidden and without
// controls, at the template's size in its font, owned by `owner` when given. The dialog is
// still being constructed: only its Template() may be used yet.
std::unique_ptr<DialogWindow> CreateDialogWindow(Dialog& dialog, DialogWindow* owner);

} // namespace velmora
