// The YAML reader on arbitrary bytes, handed over as the file reader gives them (no
// pointer at all for an empty file): a Lutris game file's prefix and a Bottles
// placeholder's folder.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host/Yaml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    static constexpr std::array<std::string_view, 2> lutris = {"game", "prefix"};
    static constexpr std::array<std::string_view, 1> bottles = {"Path"};
    // Every escape is at least as long as what it stands for.
    for (const auto& read : {velmora::YamlScalarAt(text, lutris), velmora::YamlScalarAt(text, bottles)}) {
        if (read && *read && (*read)->size() > size)
            __builtin_trap();
    }
    return 0;
}
