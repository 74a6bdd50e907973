#include "views/EffectBoxes.h"

#include "views/TextForms.h"

namespace velmora {

std::int8_t EffectTypeListPosition(std::int8_t type)
{
    if (type >= 0 && type <= 6)
        return type;
    if (type >= 101 && type <= 103)
        return static_cast<std::int8_t>(type - 101 + 7);
    return -1;
}

EffectCommandBoxes DescribeEffectCommand(const EffectCommand& command)
{
    const std::int8_t typeIndex = EffectTypeListPosition(command.type);
    return EffectCommandBoxes{
        .typeIndex = typeIndex,
        .type = typeIndex >= 0 ? std::string(EffectTypeNames[static_cast<std::size_t>(typeIndex)]) : std::string(),
        .data1 = FormatNumber(command.data1),
        .data2 = FormatNumber(command.data2),
        .data3 = FormatNumber(command.data3),
        .data4 = FormatText("%f", static_cast<double>(command.data4)),
    };
}

} // namespace velmora
