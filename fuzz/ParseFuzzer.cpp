// ParseDataFile on arbitrary decompressed bytes.
#include <cstdint>
#include <memory>

#include "data/DataParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto tables = std::make_unique<velmora::GameTables>();
    // An exact-size copy, so any read past the end is caught.
    auto copy = std::make_unique<std::uint8_t[]>(size);
    std::copy(data, data + size, copy.get());
    const velmora::ParseResult result = velmora::ParseDataFile(velmora::ByteView(copy.get(), size), *tables);
    // A parse never fails without saying why.
    if ((!result.parsed && result.messages.empty()) || tables->techCount > velmora::MaxTechs ||
        tables->effectCount > velmora::MaxEffects || tables->civCount > velmora::MaxCivs)
        __builtin_trap();
    return 0;
}
