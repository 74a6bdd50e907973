// The controls a dialog template creates, and the members that stand for them.
//
// The widgets (ListBoxWidget, EditWidget, CheckBoxWidget, DropDownListWidget) carry the
// behaviour the template's styles ask for. A dialog class holds handles (ListBox, Edit,
// Button, DropDownList) bound to those widgets by its data-exchange table; a handle that
// is not bound does nothing and answers ListError, 0 or the empty text.
//
// Narrow text is UTF-8 on this platform; bytes that are not valid UTF-8 show as U+FFFD.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QString>

#include <string>
#include <string_view>

class QAbstractButton;

namespace velmora {

// What list operations answer for "no such line" and "no selection".
inline constexpr int ListError = -1;

QString FromNarrow(std::string_view text);
std::string ToNarrow(const QString& text);

// Order of the lines of a sorted list box: by text, ignoring case. Letters are folded
// with Unicode simple case folding and then compared by code unit, so the order does
// not depend on the user's locale. Negative, 0 or positive like strcmp.
int CompareListText(const QString& a, const QString& b);

// A list of lines with at most one selected. Only selections the user makes are
// reported (SelectionChangedByUser); what the program does is not. A line longer than
// the list is cut at its border, without an ellipsis.
class ListBoxWidget : public QListWidget {
    Q_OBJECT
public:
    ListBoxWidget(bool sorted, QWidget* parent);

    bool IsSorted() const { return sorted_; }
    // Sorted: inserted after the last line that does not compare greater, so equal
    // lines keep the order in which they were added. Unsorted: appended.
    // Answers the position of the new line.
    int AddLine(const QString& text);
    void RemoveAllLines();
    // The selected line's position, or ListError.
    int SelectedLine() const;
    // Selects the line; a position outside the list (ListError included) removes the
    // selection and answers ListError.
    int SelectLine(int index);

signals:
    void SelectionChangedByUser();

private:
    bool sorted_;
    int programDepth_ = 0;
};

// A one-line text box. A digits-only box refuses typed characters other than 0 to 9;
// text the program sets, and pasted text, go in unchecked.
class EditWidget : public QLineEdit {
    Q_OBJECT
public:
    EditWidget(bool digitsOnly, QWidget* parent);
    bool IsDigitsOnly() const { return digitsOnly_; }
    // Text put in by the program: the cursor goes to the start, so the box shows the
    // beginning of a text longer than itself.
    void SetProgramText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool digitsOnly_;
};

// A check box; without automatic checking a click reports itself but leaves the mark.
// A click anywhere in its rectangle counts, not only on the mark and the caption.
class CheckBoxWidget : public QCheckBox {
    Q_OBJECT
public:
    CheckBoxWidget(bool autoCheck, const QString& text, QWidget* parent);
    bool IsAutoCheck() const { return autoCheck_; }

protected:
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool autoCheck_;
};

// A closed list of entries, chosen from but not typed into. Entries keep the positions
// in which they were added; adding never selects one.
class DropDownListWidget : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownListWidget(QWidget* parent);

    int AddEntry(const QString& text);
    void RemoveAllEntries();
    // A position outside the entries (ListError included) leaves no entry selected and
    // answers ListError.
    int SelectEntry(int index);
    int SelectedEntry() const;
};

// Handles -----------------------------------------------------------------------------

class ListBox {
public:
    // False (and unbound) when `control` is not a list box.
    bool Attach(QWidget* control);
    bool IsAttached() const { return !widget_.isNull(); }
    ListBoxWidget* Widget() const { return widget_.data(); }

    int AddString(std::string_view text);
    int AddString(const char* text) { return AddString(std::string_view(text)); }
    int AddString(const QString& text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    QString GetText(int index) const;

private:
    QPointer<ListBoxWidget> widget_;
};

class DropDownList {
public:
    bool Attach(QWidget* control);
    bool IsAttached() const { return !widget_.isNull(); }
    DropDownListWidget* Widget() const { return widget_.data(); }

    int AddString(std::string_view text);
    int AddString(const char* text) { return AddString(std::string_view(text)); }
    int AddString(const QString& text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    QString GetText(int index) const;

private:
    QPointer<DropDownListWidget> widget_;
};

enum class CheckMark { Unchecked = 0, Checked = 1, Indeterminate = 2 };

// Push buttons and check boxes.
class Button {
public:
    bool Attach(QWidget* control);
    bool IsAttached() const { return !widget_.isNull(); }
    QAbstractButton* Widget() const { return widget_.data(); }

    // Push buttons have no mark: SetCheck does nothing and GetCheck answers Unchecked.
    void SetCheck(CheckMark mark);
    CheckMark GetCheck() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;

private:
    QPointer<QAbstractButton> widget_;
};

class Edit {
public:
    bool Attach(QWidget* control);
    bool IsAttached() const { return !widget_.isNull(); }
    EditWidget* Widget() const { return widget_.data(); }

    void SetWindowText(std::string_view text);
    void SetWindowText(const char* text) { SetWindowText(std::string_view(text)); }
    void SetWindowText(const QString& text);
    std::string GetWindowText() const;

private:
    QPointer<EditWidget> widget_;
};

} // namespace velmora
