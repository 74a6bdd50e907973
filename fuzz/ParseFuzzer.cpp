// ParseDataFile on arbitrary decompressed bytes.
#include <cstdint>
#include <memory>

#include "data/DataParser.h"

namespace {

class Quiet : public velmora::ParseMessages {
public:
    void ShowMessage(std::string_view) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto tables = std::make_unique<velmora::GameTables>();
    Quiet messages;
    // An exact-size copy, so any read past the end is caught.
    auto copy = std::make_unique<std::uint8_t[]>(size);
    std::copy(data, data + size, copy.get());
    velmora::ParseDataFile(velmora::ByteView(copy.get(), size), *tables, messages);
    if (tables->techCount > velmora::MaxTechs || tables->effectCount > velmora::MaxEffects || tables->civCount > velmora::MaxCivs)
        __builtin_trap();
    return 0;
}
