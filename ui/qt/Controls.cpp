#include "ui/Controls.h"

#include <QCheckBox>

#include "ui/qt/DialogWindow.h"
#include "ui/qt/Widgets.h"

namespace velmora {

namespace {

LineList* LinesOf(const ControlHandle& handle)
{
    const NativeControl* control = handle.Native();
    return control != nullptr ? dynamic_cast<LineList*>(control->widget) : nullptr;
}

QCheckBox* CheckBoxOf(const ControlHandle& handle)
{
    const NativeControl* control = handle.Native();
    return control != nullptr ? qobject_cast<QCheckBox*>(control->widget) : nullptr;
}

} // namespace

// ListControl ---------------------------------------------------------------------------

int ListControl::AddString(std::string_view text)
{
    LineList* lines = LinesOf(*this);
    return lines != nullptr ? lines->AddLine(FromNarrow(text)) : ListError;
}

void ListControl::ResetContent()
{
    if (LineList* lines = LinesOf(*this)) {
        lines->RemoveAllLines();
    }
}

int ListControl::GetCount() const
{
    const LineList* lines = LinesOf(*this);
    return lines != nullptr ? lines->LineCount() : 0;
}

int ListControl::GetCurSel() const
{
    const LineList* lines = LinesOf(*this);
    return lines != nullptr ? lines->SelectedLine() : ListError;
}

int ListControl::SetCurSel(int index)
{
    LineList* lines = LinesOf(*this);
    return lines != nullptr ? lines->SelectLine(index) : ListError;
}

std::string ListControl::GetText(int index) const
{
    const LineList* lines = LinesOf(*this);
    return lines != nullptr ? ToNarrow(lines->LineText(index)) : std::string();
}

std::string FoldCase(std::string_view text)
{
    return ToNarrow(FromNarrow(text).toCaseFolded());
}

// Button --------------------------------------------------------------------------------

void Button::SetCheck(CheckMark mark)
{
    QCheckBox* box = CheckBoxOf(*this);
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

bool Button::IsWindowEnabled() const
{
    return Native() != nullptr && Native()->widget->isEnabled();
}

} // namespace velmora
