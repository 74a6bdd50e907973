// Code pages from the built-in tables (CodePageTable.h), in the WebAssembly build: the same
// code pages and the same text as the Linux build's conversion.
#include "host/CodePage.h"
#include "host/CodePageTable.h"

#include <algorithm>

namespace velmora {

const CodePageTable* FindCodePageTable(unsigned codePage)
{
    const CodePageTable* end = CodePageTables + CodePageTableCount;
    const CodePageTable* at = std::lower_bound(CodePageTables, end, codePage,
                                               [](const CodePageTable& table, unsigned n) { return table.codePage < n; });
    return at != end && at->codePage == codePage ? at : nullptr;
}

bool CanDecodeCodePage(unsigned codePage)
{
    return FindCodePageTable(codePage) != nullptr;
}

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage)
{
    const CodePageTable* table = FindCodePageTable(codePage);
    if (!table)
        table = FindCodePageTable(CodePageWestern);
    return table ? DecodeWithTable(*table, bytes) : std::string(bytes);
}

} // namespace velmora
