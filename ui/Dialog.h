// The dialog framework: a modal dialog built from a DialogTemplate, with a data-exchange
// table that binds handles to controls and moves texts between members and edit boxes,
// and an event table that routes the controls' notifications to member handlers.
//
// A dialog class derives from TableDialog<itself> and provides two static functions,
// public or reachable through `friend class TableDialog<...>`:
//
//     static std::span<const ExchangeRow<MyDialog>> DataExchangeTable();
//     static std::span<const EventRow<MyDialog>> EventTable();
//
// built from DdxControl / DdxText rows and {notification, control id, handler} rows.
//
// Keyboard handling, before any control sees a key: PreTranslateMessage, whose default
// (IsDialogMessage) turns Enter into OnOK, or into a click while a push button holds the
// focus, and Escape into OnCancel. No button is ever a default button. The close box, the
// system menu and Alt+F4 reach OnCancel as well.
//
// Besides its template's controls a dialog may use the find box (OpenFindBox), a file
// dropped on its window (DragAcceptFiles, OnDropFile) and the system's file chooser
// (ChooseFileToOpen). The rules of these that every backend shares are in DialogRules.h.
//
// Nothing here depends on a window system. A backend provides, in files of its own:
//  - DialogWindow and CreateDialogWindow (DialogWindow.h): the window built from the
//    template, its controls, the modal loop, message boxes and the icon, reporting keys,
//    notifications, OK/Cancel commands and the minimised window's painting back through
//    DialogWindow's protected functions;
//  - NativeControl and the operations of the handles (Controls.h);
//  - Application and WaitCursor (Application.h).
// The Qt backend is in ui/qt/. The model is the Win32 one: a native control per item
// (a window handle there), list and button operations as LB_/CB_/BM_ messages, and
// notifications as WM_COMMAND codes.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "ui/Controls.h"
#include "ui/DialogEvents.h"
#include "ui/DialogRules.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

namespace velmora {

class DialogWindow;

// Results of DoModal: the commands that ended the dialog.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;

class Dialog {
public:
    // The template must outlive the dialog (templates are constant tables).
    explicit Dialog(const DialogTemplate& dialogTemplate, Dialog* owner = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the controls in template order and runs OnInitDialog, without showing the
    // window; when OnInitDialog answers true the first tab stop gets the focus. Runs once:
    // false when the dialog was already created.
    bool Create();
    // Creates the dialog if needed, shows it and returns, with IdOk, IdCancel or the
    // value given to EndDialog, when it is ended. A dialog built without an owner is
    // owned by the program's main window, if one is set and it is another dialog.
    int DoModal();

    // The program's main window, owner of the dialogs built without one; nullptr when
    // none is set or it is gone.
    static void SetMainWindow(Dialog* dialog);
    static Dialog* MainWindow();

    const DialogTemplate& Template() const { return template_; }
    DialogBaseUnits BaseUnits() const;
    // The backend's window.
    DialogWindow& Window() const { return *window_; }

    // The control with this id; nullptr for labels and unknown ids.
    NativeControl* GetDlgItem(int id) const;
    // The id of this dialog's control that holds the keyboard focus; 0 when the focus is
    // anywhere else.
    int GetFocusId() const;

    // Runs the data exchange: save = true copies the edit boxes into their members,
    // false writes the members into the boxes. Controls' notifications are dropped while
    // it runs. False when a row names a control that is missing or of another kind; the
    // rows after it are not run.
    bool UpdateData(bool save = true);

    void EndDialog(int result);

    // A modal message box owned by this dialog: the text, an OK button, no icon, and the
    // program's name as its title. Returns IdOk when it is closed.
    int MessageBox(std::string_view text);

    // The window's icon, from the program's icon resource `iconId`.
    void SetIcon(int iconId);

    // Whether a file dragged from a file manager may be dropped on the window; one that is
    // reaches OnDropFile. Needs the created window.
    void DragAcceptFiles(bool accept = true);

    // The system's file chooser, modal over this dialog, opened in `folder` and offering
    // the files of `types` (the first one chosen at start): the path of the file chosen,
    // or nothing when the user cancels.
    std::optional<std::string> ChooseFileToOpen(const std::string& folder, std::span<const FileType> types);

    // The find box: a one-line edit box of the dialog's own, shown at `place` (dialog
    // units) on top of its controls, with the keyboard focus and its text selected. Text
    // typed into it, Enter and F3 (next), Shift+F3 (previous) reach OnFind; Escape hides
    // it and gives the focus back to the control that had it. These keys are the box's:
    // PreTranslateMessage does not see them. The box keeps its text while it is hidden.
    void OpenFindBox(const DialogRect& place);
    std::string FindBoxText() const;
    // The box shows whether its text was found: with a reddish background when a text was
    // not found, plain when it was or the box is empty (FindBoxState).
    void ShowFindResult(bool found);

    // One exchange row's work, by the kind of member: a handle is bound to the control of
    // its kind; a text is copied from (save) or into the edit box.
    bool Exchange(int id, ListBox& handle, bool save);
    bool Exchange(int id, DropDownList& handle, bool save);
    bool Exchange(int id, Button& handle, bool save);
    bool Exchange(int id, std::string& text, bool save);

protected:
    // Adds each list's initialisation data from the template, then UpdateData(false).
    // True: Create puts the focus on the first tab stop.
    virtual bool OnInitDialog();
    // UpdateData(true), then EndDialog(IdOk).
    virtual void OnOK();
    // EndDialog(IdCancel).
    virtual void OnCancel();
    // Sees every key pressed in this dialog before the control it is meant for (`target`,
    // 0 when the key goes to no control); true consumes it. The default is IsDialogMessage.
    virtual bool PreTranslateMessage(Key key, int target);
    // The rows of the data exchange; the base class has none.
    virtual bool DoDataExchange(bool save);
    // A control's notification; true when a handler took it. The base class has none.
    virtual bool OnCommand(Notification notification, int id);
    // Paints the window's client area while it is minimised; the base class leaves it
    // empty.
    virtual void OnPaintMinimized(MinimizedPaint& paint);
    // Runs once, when the window is first shown, as soon as the events waiting then are
    // handled; the base class does nothing.
    virtual void OnFirstShown();
    // A file dropped on the window (DragAcceptFiles): its path on this machine. A drop of
    // anything else (DroppedFile) does not reach the dialog. The base class does nothing.
    virtual void OnDropFile(const std::string& path);
    // The find box asks for `step` with its text; the base class does nothing.
    virtual void OnFind(FindStep step, const std::string& text);

    // Enter: a click on the push button `target`, or OnOK; Escape: OnCancel.
    bool IsDialogMessage(Key key, int target);

private:
    friend class DialogWindow;

    bool Bind(int id, ControlHandle& handle, ControlKind kind, ControlKind otherKind);
    // The first tab stop that is enabled (FirstTabStop); 0 when none is.
    int FirstEnabledTabStop() const;
    // Hides the find box and gives the focus back to the control that had it.
    void CloseFindBox();

    const DialogTemplate& template_;
    bool hasOwner_;
    std::unique_ptr<DialogWindow> window_;
    bool created_ = false;
    // Above 0 while the controls are built or an exchange runs: notifications are dropped.
    int quietDepth_ = 0;
    FindBoxState findBox_;
};

// Data exchange -------------------------------------------------------------------------

template <class D>
struct ExchangeRow {
    using Member = std::variant<ListBox D::*, DropDownList D::*, Button D::*, std::string D::*>;
    int id;
    Member member;
    // The member's name, for a dialog that finds its members by name; may be empty.
    std::string_view name = {};
};

// Binds a handle member (ListBox, DropDownList, Button) to the control.
template <class D, class Handle>
constexpr ExchangeRow<D> DdxControl(int id, Handle D::*member, std::string_view name = {})
{
    static_assert(std::is_base_of_v<ControlHandle, Handle>, "DdxControl binds a control handle");
    return ExchangeRow<D>{id, member, name};
}

// Exchanges a text member with an edit box.
template <class D>
constexpr ExchangeRow<D> DdxText(int id, std::string D::*member, std::string_view name = {})
{
    return ExchangeRow<D>{id, member, name};
}

template <class D>
bool RunExchangeTable(D& dialog, std::span<const ExchangeRow<D>> rows, bool save)
{
    for (const ExchangeRow<D>& row : rows) {
        const bool done =
            std::visit([&](auto member) { return dialog.Exchange(row.id, dialog.*member, save); }, row.member);
        if (!done) {
            return false;
        }
    }
    return true;
}

// Event table ---------------------------------------------------------------------------

template <class D>
struct EventRow {
    Notification notification;
    int id;
    void (D::*handler)();
};

// Runs the handler of the first row that matches; false when none does.
template <class D>
bool RouteEvent(D& dialog, std::span<const EventRow<D>> rows, Notification notification, int id)
{
    for (const EventRow<D>& row : rows) {
        if (row.notification == notification && row.id == id) {
            (dialog.*row.handler)();
            return true;
        }
    }
    return false;
}

template <class D>
class TableDialog : public Dialog {
public:
    using Dialog::Dialog;

protected:
    bool DoDataExchange(bool save) override
    {
        return Dialog::DoDataExchange(save) &&
               RunExchangeTable(static_cast<D&>(*this), D::DataExchangeTable(), save);
    }
    bool OnCommand(Notification notification, int id) override
    {
        return RouteEvent(static_cast<D&>(*this), D::EventTable(), notification, id) ||
               Dialog::OnCommand(notification, id);
    }
};

} // namespace velmora
