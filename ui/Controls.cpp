#include "ui/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace velmora {

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Keeps a list's own signals about selection from being taken for the user's doing.
class ProgramScope {
public:
    explicit ProgramScope(int& depth) : depth_(depth) { ++depth_; }
    ~ProgramScope() { --depth_; }
    ProgramScope(const ProgramScope&) = delete;
    ProgramScope& operator=(const ProgramScope&) = delete;

private:
    int& depth_;
};

} // namespace

QString FromNarrow(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToNarrow(const QString& text)
{
    return text.toStdString();
}

int CompareListText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

// ListBoxWidget -------------------------------------------------------------------------

ListBoxWidget::ListBoxWidget(bool sorted, QWidget* parent) : QListWidget(parent), sorted_(sorted)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A line longer than the list is cut at the border, with no ellipsis.
    setTextElideMode(Qt::ElideNone);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (programDepth_ == 0) {
            emit SelectionChangedByUser();
        }
    });
}

int ListBoxWidget::AddLine(const QString& text)
{
    ProgramScope scope(programDepth_);
    int position = count();
    if (sorted_) {
        // Upper bound: the first line that compares greater than the new one.
        int low = 0;
        int high = count();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (CompareListText(text, item(middle)->text()) < 0) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        position = low;
    }
    insertItem(position, text);
    return position;
}

void ListBoxWidget::RemoveAllLines()
{
    ProgramScope scope(programDepth_);
    clear();
}

int ListBoxWidget::SelectedLine() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? ListError : rows.first().row();
}

int ListBoxWidget::SelectLine(int index)
{
    ProgramScope scope(programDepth_);
    if (index < 0 || index >= count()) {
        clearSelection();
        return ListError;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

// EditWidget ----------------------------------------------------------------------------

EditWidget::EditWidget(bool digitsOnly, QWidget* parent) : QLineEdit(parent), digitsOnly_(digitsOnly)
{
    setAcceptDrops(false);
}

void EditWidget::SetProgramText(const QString& text)
{
    setText(text);
    setCursorPosition(0);
}

void EditWidget::keyPressEvent(QKeyEvent* event)
{
    if (digitsOnly_ && !isReadOnly()) {
        const Qt::KeyboardModifiers command =
            event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const QString text = event->text();
        if (command == Qt::NoModifier && !text.isEmpty() && text.front().isPrint()) {
            for (QChar c : text) {
                if (!IsDigit(c)) {
                    QApplication::beep();
                    event->accept();
                    return;
                }
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void EditWidget::inputMethodEvent(QInputMethodEvent* event)
{
    if (digitsOnly_ && !isReadOnly() && !event->commitString().isEmpty()) {
        QString digits;
        for (QChar c : event->commitString()) {
            if (IsDigit(c)) {
                digits.append(c);
            }
        }
        if (digits != event->commitString()) {
            QInputMethodEvent filtered(event->preeditString(), event->attributes());
            filtered.setCommitString(digits, event->replacementStart(), event->replacementLength());
            QLineEdit::inputMethodEvent(&filtered);
            event->accept();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}

// CheckBoxWidget ------------------------------------------------------------------------

CheckBoxWidget::CheckBoxWidget(bool autoCheck, const QString& text, QWidget* parent)
    : QCheckBox(text, parent), autoCheck_(autoCheck)
{
}

void CheckBoxWidget::nextCheckState()
{
    if (autoCheck_) {
        QCheckBox::nextCheckState();
    }
}

bool CheckBoxWidget::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

// DropDownListWidget --------------------------------------------------------------------

DropDownListWidget::DropDownListWidget(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
}

int DropDownListWidget::AddEntry(const QString& text)
{
    const int before = currentIndex();
    addItem(text);
    // A combo box selects the first entry put into it; this list does not.
    if (currentIndex() != before) {
        setCurrentIndex(before);
    }
    return count() - 1;
}

void DropDownListWidget::RemoveAllEntries()
{
    clear();
}

int DropDownListWidget::SelectEntry(int index)
{
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        return ListError;
    }
    setCurrentIndex(index);
    return index;
}

int DropDownListWidget::SelectedEntry() const
{
    return currentIndex() < 0 ? ListError : currentIndex();
}

// ListBox -------------------------------------------------------------------------------

bool ListBox::Attach(QWidget* control)
{
    widget_ = qobject_cast<ListBoxWidget*>(control);
    return !widget_.isNull();
}

int ListBox::AddString(std::string_view text)
{
    return AddString(FromNarrow(text));
}

int ListBox::AddString(const QString& text)
{
    return widget_ ? widget_->AddLine(text) : ListError;
}

void ListBox::ResetContent()
{
    if (widget_) {
        widget_->RemoveAllLines();
    }
}

int ListBox::GetCount() const
{
    return widget_ ? widget_->count() : 0;
}

int ListBox::GetCurSel() const
{
    return widget_ ? widget_->SelectedLine() : ListError;
}

int ListBox::SetCurSel(int index)
{
    return widget_ ? widget_->SelectLine(index) : ListError;
}

QString ListBox::GetText(int index) const
{
    if (!widget_ || index < 0 || index >= widget_->count()) {
        return {};
    }
    return widget_->item(index)->text();
}

// DropDownList --------------------------------------------------------------------------

bool DropDownList::Attach(QWidget* control)
{
    widget_ = qobject_cast<DropDownListWidget*>(control);
    return !widget_.isNull();
}

int DropDownList::AddString(std::string_view text)
{
    return AddString(FromNarrow(text));
}

int DropDownList::AddString(const QString& text)
{
    return widget_ ? widget_->AddEntry(text) : ListError;
}

void DropDownList::ResetContent()
{
    if (widget_) {
        widget_->RemoveAllEntries();
    }
}

int DropDownList::GetCount() const
{
    return widget_ ? widget_->count() : 0;
}

int DropDownList::GetCurSel() const
{
    return widget_ ? widget_->SelectedEntry() : ListError;
}

int DropDownList::SetCurSel(int index)
{
    return widget_ ? widget_->SelectEntry(index) : ListError;
}

QString DropDownList::GetText(int index) const
{
    if (!widget_ || index < 0 || index >= widget_->count()) {
        return {};
    }
    return widget_->itemText(index);
}

// Button --------------------------------------------------------------------------------

bool Button::Attach(QWidget* control)
{
    widget_ = qobject_cast<QAbstractButton*>(control);
    return !widget_.isNull();
}

void Button::SetCheck(CheckMark mark)
{
    auto* box = qobject_cast<QCheckBox*>(widget_.data());
    if (box == nullptr) {
        return;
    }
    switch (mark) {
    case CheckMark::Unchecked:
        box->setCheckState(Qt::Unchecked);
        break;
    case CheckMark::Checked:
        box->setCheckState(Qt::Checked);
        break;
    case CheckMark::Indeterminate:
        box->setCheckState(Qt::PartiallyChecked);
        break;
    }
}

CheckMark Button::GetCheck() const
{
    const auto* box = qobject_cast<const QCheckBox*>(widget_.data());
    if (box == nullptr) {
        return CheckMark::Unchecked;
    }
    switch (box->checkState()) {
    case Qt::Checked:
        return CheckMark::Checked;
    case Qt::PartiallyChecked:
        return CheckMark::Indeterminate;
    case Qt::Unchecked:
        break;
    }
    return CheckMark::Unchecked;
}

void Button::EnableWindow(bool enable)
{
    if (widget_) {
        widget_->setEnabled(enable);
    }
}

bool Button::IsWindowEnabled() const
{
    return widget_ && widget_->isEnabled();
}

// Edit ----------------------------------------------------------------------------------

bool Edit::Attach(QWidget* control)
{
    widget_ = qobject_cast<EditWidget*>(control);
    return !widget_.isNull();
}

void Edit::SetWindowText(std::string_view text)
{
    SetWindowText(FromNarrow(text));
}

void Edit::SetWindowText(const QString& text)
{
    if (widget_) {
        widget_->SetProgramText(text);
    }
}

std::string Edit::GetWindowText() const
{
    return widget_ ? ToNarrow(widget_->text()) : std::string();
}

} // namespace velmora
