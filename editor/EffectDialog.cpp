#include "editor/EffectDialog.h"

#include <utility>

#include "resources/DialogTemplates.h"
#include "views/EffectBoxes.h"

namespace velmora {

EffectDialog::EffectDialog(Dialog* owner) : TableDialog(EffectDialogTemplate(), owner) {}

std::span<const ExchangeRow<EffectDialog>> EffectDialog::DataExchangeTable()
{
    static const ExchangeRow<EffectDialog> rows[] = {
        DdxControl(EffectDialogIds::TypeList, &EffectDialog::typeList),
        DdxText(EffectDialogIds::Data1, &EffectDialog::data1Text),
        DdxText(EffectDialogIds::Data2, &EffectDialog::data2Text),
        DdxText(EffectDialogIds::Data3, &EffectDialog::data3Text),
        DdxText(EffectDialogIds::Data4, &EffectDialog::data4Text),
    };
    return rows;
}

// Enter and Escape go to the base class's OK and Cancel. OK copies the boxes into the
// members, which nobody reads afterwards: the dialog keeps nothing, on purpose.
std::span<const EventRow<EffectDialog>> EffectDialog::EventTable()
{
    return {};
}

bool EffectDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    if (typeIndex >= 0)
        typeList.SetCurSel(typeIndex);
    UpdateData(false);
    return true;
}

void PrepareEffectDialog(EffectDialog& dialog, const EffectCommand& command)
{
    EffectCommandBoxes boxes = DescribeEffectCommand(command);
    dialog.typeIndex = boxes.typeIndex;
    dialog.data1Text = std::move(boxes.data1);
    dialog.data2Text = std::move(boxes.data2);
    dialog.data3Text = std::move(boxes.data3);
    dialog.data4Text = std::move(boxes.data4);
}

} // namespace velmora
