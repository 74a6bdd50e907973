// The registry reader on arbitrary system.reg contents.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/WineRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view hive(reinterpret_cast<const char*>(data), size);
    std::string text;
    const velmora::RegistryStatus status = velmora::ReadMachineTextFrom(
        hive, "SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0", "EXE Path", 1024, text);
    if (text.size() >= 1024 || (status != velmora::RegistryStatus::Found && !text.empty()))
        __builtin_trap();
    return 0;
}
