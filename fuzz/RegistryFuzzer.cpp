// The registry reader on arbitrary system.reg contents.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/WineRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view hive(reinterpret_cast<const char*>(data), size);
    const auto text = velmora::ReadMachineTextFrom(hive, "SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0", "EXE Path", 1024);
    if (text && text->size() >= 1024)
        __builtin_trap();
    return 0;
}
