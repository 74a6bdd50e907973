#include "editor/EffectDialog.h"

#include "resources/DialogTemplates.h"
#include "views/TextForms.h"

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

std::int8_t EffectTypeListPosition(std::int8_t type)
{
    if (type >= 0 && type <= 6)
        return type;
    if (type >= 101 && type <= 103)
        return static_cast<std::int8_t>(type - 101 + 7);
    return -1;
}

void PrepareEffectDialog(EffectDialog& dialog, const EffectCommand& command)
{
    dialog.typeIndex = EffectTypeListPosition(command.type);
    dialog.data1Text = FormatNumber(command.data1);
    dialog.data2Text = FormatNumber(command.data2);
    dialog.data3Text = FormatNumber(command.data3);
    dialog.data4Text = FormatText("%f", static_cast<double>(command.data4));
}

} // namespace velmora
