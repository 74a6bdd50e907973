#include "ui/qt/Widgets.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/Controls.h"
#include "ui/ListBoxRule.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

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
}

QItemSelectionModel::SelectionFlags ListBoxWidget::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const
{
    // A click below the last line would remove the selection; here it leaves it alone.
    if (!index.isValid()) {
        return QItemSelectionModel::NoUpdate;
    }
    QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    // Ctrl would deselect the selected line; here it selects it again.
    if (command.testFlag(QItemSelectionModel::Deselect)) {
        command = (command & ~QItemSelectionModel::Deselect) | QItemSelectionModel::ClearAndSelect;
    }
    return command;
}

ListBoxState ListBoxWidget::State() const
{
    const int row = std::max(sizeHintForRow(0), 1);
    return ListBoxState{count(), SelectedLine(), std::max(currentRow(), 0), std::max(viewport()->height() / row, 1)};
}

void ListBoxWidget::SelectByUser(int line)
{
    if (line < 0 || line >= count())
        return;
    setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(line));
    emit SelectionChangedByUser();
}

void ListBoxWidget::keyPressEvent(QKeyEvent* event)
{
    static const std::pair<int, ListKey> keys[] = {
        {Qt::Key_Up, ListKey::Up},         {Qt::Key_Down, ListKey::Down},         {Qt::Key_Left, ListKey::Left},
        {Qt::Key_Right, ListKey::Right},   {Qt::Key_PageUp, ListKey::PageUp},     {Qt::Key_PageDown, ListKey::PageDown},
        {Qt::Key_Home, ListKey::Home},     {Qt::Key_End, ListKey::End},           {Qt::Key_Space, ListKey::Space},
    };
    for (const auto& [key, listKey] : keys) {
        if (event->key() == key) {
            SelectByUser(ListBoxKeyLine(State(), listKey));
            event->accept();
            return;
        }
    }
    const QString text = event->text();
    if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0 && !text.isEmpty() &&
        text.front().isPrint()) {
        SelectByUser(ListBoxTypedLine(State(), ToNarrow(text), [this](int line) { return ToNarrow(LineText(line)); }));
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ListBoxWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    pressedOnLine_ = indexAt(event->position().toPoint()).isValid();
    QListWidget::mousePressEvent(event);
}

void ListBoxWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (pressedOnLine_)
        QListWidget::mouseMoveEvent(event);
}

void ListBoxWidget::mouseReleaseEvent(QMouseEvent* event)
{
    // Only the release of a press on a line selects (Qt may select on a release) and reports.
    if (event->button() != Qt::LeftButton || !pressedOnLine_) {
        event->accept();
        return;
    }
    pressedOnLine_ = false;
    QListWidget::mouseReleaseEvent(event);
    emit SelectionChangedByUser();
}

void ListBoxWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

int ListBoxWidget::AddLine(const QString& text)
{
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
    clear();
}

QString ListBoxWidget::LineText(int index) const
{
    return index < 0 || index >= count() ? QString() : item(index)->text();
}

int ListBoxWidget::SelectedLine() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? ListError : rows.first().row();
}

int ListBoxWidget::SelectLine(int index)
{
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

int DropDownListWidget::AddLine(const QString& text)
{
    const int before = currentIndex();
    addItem(text);
    // A combo box selects the first entry put into it; this list does not.
    if (currentIndex() != before) {
        setCurrentIndex(before);
    }
    return count() - 1;
}

int DropDownListWidget::SelectLine(int index)
{
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        return ListError;
    }
    setCurrentIndex(index);
    return index;
}

int DropDownListWidget::SelectedLine() const
{
    return currentIndex() < 0 ? ListError : currentIndex();
}

} // namespace velmora
