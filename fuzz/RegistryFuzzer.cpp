// The registry reader on arbitrary system.reg contents: a text value of a key with a
// Wow6432Node twin, the default value with a small buffer, and a key without a twin.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/WineRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view hive(reinterpret_cast<const char*>(data), size);
    const auto text = velmora::ReadMachineTextFrom(hive, "SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0", "EXE Path", 1024);
    const auto small = velmora::ReadMachineTextFrom(hive, "Software\\Brannoch", "@", 8);
    (void)velmora::ReadMachineTextFrom(hive, "System\\Brannoch", "", 64);
    if ((text && text->size() >= 1024) || (small && small->size() >= 8))
        __builtin_trap();
    return 0;
}
