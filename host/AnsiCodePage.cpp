// The ANSI code page of a Wine prefix's system, outside Windows (CodePage.h).
#include "host/CodePage.h"

#include "host/WineRegistry.h"

namespace velmora {

unsigned AnsiCodePageIn(const std::string& prefix)
{
    const auto acp = ReadMachineTextIn(prefix, "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", 16);
    const unsigned codePage = acp ? ParseCodePage(*acp) : 0;
    return codePage != 0 ? codePage : CodePageWestern;
}

unsigned SystemAnsiCodePage(const std::string& winePrefix)
{
    return winePrefix.empty() ? CodePageWestern : AnsiCodePageIn(winePrefix);
}

} // namespace velmora
