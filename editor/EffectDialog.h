// The effect dialog: the raw values of one effect command, shown and never written back.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "ui/Dialog.h"
#include "data/GameTables.h"
#include "views/EffectBoxes.h"  // EffectTypeListPosition

namespace velmora {

class EffectDialog : public TableDialog<EffectDialog> {
public:
    // Without an owner the dialog is owned by the program's main window.
    explicit EffectDialog(Dialog* owner = nullptr);

    static std::span<const ExchangeRow<EffectDialog>> DataExchangeTable();
    static std::span<const EventRow<EffectDialog>> EventTable();

    // Position of the type list's entry to select when the dialog opens; negative selects
    // nothing. Set by the caller before the dialog is shown.
    std::int8_t typeIndex = -1;
    DropDownList typeList;
    std::string data1Text;
    std::string data2Text;
    std::string data3Text;
    std::string data4Text;

protected:
    bool OnInitDialog() override;
};

// Fills the dialog's members from a command as DescribeEffectCommand shows it
// (views/EffectBoxes.h): the type's entry, data1 to data3 as "%d" and data4 as "%f".
void PrepareEffectDialog(EffectDialog& dialog, const EffectCommand& command);

} // namespace velmora
