// Code pages on Windows: the system's own conversion.
#include "host/CodePage.h"

#include "host/Win32Text.h"

namespace velmora {

bool CanDecodeCodePage(unsigned codePage)
{
    return codePage != 0 && IsValidCodePage(codePage);
}

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage)
{
    if (!CanDecodeCodePage(codePage))
        codePage = CodePageWestern;
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0)), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()))));
    return Narrow(wide);
}

unsigned SystemAnsiCodePage(const std::string& /*winePrefix*/)
{
    return GetACP();
}

} // namespace velmora
