// The dialog framework: a modal dialog built from a DialogTemplate, with a data-exchange
// table that moves texts between members and edit boxes, and an event table that routes
// the controls' notifications to member handlers.
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
#pragma once

#include <QDialog>

#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "ui/Controls.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

class QFont;
class QKeyEvent;

namespace velmora {

// Results of DoModal: the commands that ended the dialog.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;

// What a control tells its dialog.
enum class Notification {
    Clicked,   // a push button or check box was clicked (by mouse, Space or Enter)
    SelChange, // the user changed the selection of a list box (with StyleNotify) or drop-down list
    Change,    // an edit box's text changed, typed or set by the program
};

// The base units of a font, measured as the window system measures a dialog font.
DialogBaseUnits MeasureBaseUnits(const QFont& font);

class Dialog : public QDialog {
    Q_OBJECT
public:
    // The template must outlive the dialog (templates are constant tables).
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the controls in template order and runs OnInitDialog, without showing the
    // window; when OnInitDialog answers true the first tab stop gets the focus. Runs once:
    // false when the dialog was already created.
    bool Create();
    bool IsCreated() const { return created_; }
    // Creates the dialog if needed, shows it and returns, with IdOk, IdCancel or the
    // value given to EndDialog, when it is ended. A dialog built without an owner is
    // owned by the program's main window, if one is set and it is another window.
    int DoModal();

    // The program's main window, owner of the dialogs built without one; nullptr when
    // none is set or it is gone.
    static void SetMainWindow(QWidget* window);
    static QWidget* MainWindow();

    const DialogTemplate& Template() const { return template_; }
    DialogBaseUnits BaseUnits() const { return baseUnits_; }

    // The control with this id; nullptr for labels and unknown ids.
    QWidget* GetDlgItem(int id) const;
    // The id of one of this dialog's controls, or 0 for any other widget (and nullptr).
    int GetDlgCtrlID(const QWidget* widget) const;
    // The widget holding the keyboard focus, anywhere in the program, or nullptr.
    static QWidget* GetFocus();

    // Runs the data exchange: save = true copies the edit boxes into their members,
    // false writes the members into the boxes. Controls' notifications are dropped while
    // it runs. False when a row names a control that is missing or of another kind; the
    // rows after it are not run.
    bool UpdateData(bool save = true);
    bool IsExchangeRunning() const { return exchangeDepth_ > 0; }

    void EndDialog(int result);

    // A modal message box owned by this dialog: the text, an OK button, no icon, and the
    // program's name as its title. Returns IdOk when it is closed.
    int MessageBox(std::string_view text);

    // The dialog's OK and Cancel commands; they run OnOK and OnCancel.
    void accept() override;
    void reject() override;

protected:
    // Adds each list's initialisation data from the template, then UpdateData(false).
    // True: Create puts the focus on the first tab stop.
    virtual bool OnInitDialog();
    // UpdateData(true), then EndDialog(IdOk).
    virtual void OnOK();
    // EndDialog(IdCancel).
    virtual void OnCancel();
    // Sees every key pressed in this dialog before the control it is meant for; true
    // consumes it. The default is IsDialogMessage.
    virtual bool PreTranslateMessage(QWidget* target, QKeyEvent& key);
    // The rows of the data exchange; the base class has none.
    virtual bool DoDataExchange(bool save);
    // A control's notification; true when a handler took it. The base class has none.
    virtual bool OnCommand(Notification notification, int id);

    // Enter: a click on the push button `target`, or OnOK; Escape: OnCancel.
    bool IsDialogMessage(QWidget* target, QKeyEvent& key);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Control {
        const DialogItem* item;
        QWidget* widget;
    };

    QWidget* CreateControl(const DialogItem& item);
    void Notify(Notification notification, int id);
    void FocusFirstTabStop();

    const DialogTemplate& template_;
    DialogBaseUnits baseUnits_;
    std::vector<Control> controls_; // template order, labels included
    bool created_ = false;
    bool building_ = false;
    int exchangeDepth_ = 0;
};

// Data exchange -------------------------------------------------------------------------

template <class D>
struct ExchangeRow {
    using Member = std::variant<ListBox D::*, DropDownList D::*, Button D::*, Edit D::*,
                                std::string D::*, QString D::*>;
    int id;
    Member member;
};

// Binds a handle member (ListBox, DropDownList, Button, Edit) to the control.
template <class D, class Handle>
constexpr ExchangeRow<D> DdxControl(int id, Handle D::*member)
{
    static_assert(std::is_same_v<Handle, ListBox> || std::is_same_v<Handle, DropDownList> ||
                      std::is_same_v<Handle, Button> || std::is_same_v<Handle, Edit>,
                  "DdxControl binds a control handle");
    return ExchangeRow<D>{id, member};
}

// Exchanges a text member with an edit box.
template <class D>
constexpr ExchangeRow<D> DdxText(int id, std::string D::*member)
{
    return ExchangeRow<D>{id, member};
}

template <class D>
constexpr ExchangeRow<D> DdxText(int id, QString D::*member)
{
    return ExchangeRow<D>{id, member};
}

// One row's work, by the kind of member.
bool ExchangeMember(Dialog& dialog, int id, ListBox& handle, bool save);
bool ExchangeMember(Dialog& dialog, int id, DropDownList& handle, bool save);
bool ExchangeMember(Dialog& dialog, int id, Button& handle, bool save);
bool ExchangeMember(Dialog& dialog, int id, Edit& handle, bool save);
bool ExchangeMember(Dialog& dialog, int id, std::string& text, bool save);
bool ExchangeMember(Dialog& dialog, int id, QString& text, bool save);

template <class D>
bool RunExchangeTable(D& dialog, std::span<const ExchangeRow<D>> rows, bool save)
{
    for (const ExchangeRow<D>& row : rows) {
        const bool done = std::visit(
            [&](auto member) { return ExchangeMember(dialog, row.id, dialog.*member, save); },
            row.member);
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
