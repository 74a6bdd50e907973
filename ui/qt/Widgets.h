// The Qt widgets a dialog template's controls are made of, carrying the behaviour the
// template's styles ask for.
//
// Narrow text is UTF-8; bytes that are not valid UTF-8 show as U+FFFD.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

#include <string>
#include <string_view>

namespace velmora {

struct ListBoxState;

QString FromNarrow(std::string_view text);
std::string ToNarrow(const QString& text);

// Order of the lines of a sorted list box: by text, ignoring case. Letters are folded
// with Unicode simple case folding and then compared by code unit, so the order does
// not depend on the user's locale. Negative, 0 or positive like strcmp.
int CompareListText(const QString& a, const QString& b);

// The lines of a list box or a drop-down list, as the list handles use them.
class LineList {
public:
    // Answers the position of the new line.
    virtual int AddLine(const QString& text) = 0;
    virtual void RemoveAllLines() = 0;
    virtual int LineCount() const = 0;
    virtual QString LineText(int index) const = 0;
    // The selected line's position, or ListError.
    virtual int SelectedLine() const = 0;
    // Selects the line; a position outside the list (ListError included) removes the
    // selection and answers ListError.
    virtual int SelectLine(int index) = 0;

protected:
    ~LineList() = default;
};

// A list of lines with at most one selected, answering keys and the mouse as the rule in
// ui/ListBoxRule.h says (SelectionChangedByUser); what the program does is not reported.
// Once a line is selected the user cannot take the selection away: Ctrl with a click or
// Space does not deselect. A line longer than the list is cut at its border, without an
// ellipsis.
class ListBoxWidget final : public QListWidget, public LineList {
    Q_OBJECT
public:
    ListBoxWidget(bool sorted, QWidget* parent);

    // Sorted: inserted after the last line that does not compare greater, so equal
    // lines keep the order in which they were added. Unsorted: appended.
    int AddLine(const QString& text) override;
    void RemoveAllLines() override;
    int LineCount() const override { return count(); }
    QString LineText(int index) const override;
    int SelectedLine() const override;
    int SelectLine(int index) override;

signals:
    void SelectionChangedByUser();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // What the rule needs to know of the list.
    ListBoxState State() const;
    // Selects `line` as the user did, and reports it.
    void SelectByUser(int line);

    bool sorted_;
    bool pressedOnLine_ = false;  // the left button went down on a line and is held
};

// A one-line text box. A digits-only box refuses typed characters other than 0 to 9;
// text the program sets, and pasted text, go in unchecked.
class EditWidget final : public QLineEdit {
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
class CheckBoxWidget final : public QCheckBox {
    Q_OBJECT
public:
    CheckBoxWidget(bool autoCheck, const QString& text, QWidget* parent);

protected:
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool autoCheck_;
};

// A closed list of entries, chosen from but not typed into. Entries keep the positions
// in which they were added; adding never selects one.
class DropDownListWidget final : public QComboBox, public LineList {
    Q_OBJECT
public:
    explicit DropDownListWidget(QWidget* parent);

    int AddLine(const QString& text) override;
    void RemoveAllLines() override { clear(); }
    int LineCount() const override { return count(); }
    QString LineText(int index) const override { return itemText(index); }
    int SelectedLine() const override;
    int SelectLine(int index) override;
};

} // namespace velmora
