// The module string-table reader on arbitrary bytes, asked for a spread of string ids.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/ModuleLoader.h"

// A user language with a country the module lookup knows only by its language, so each
// of the language choices can be taken.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "de_BE.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto loaded = velmora::LoadModuleFromBytes(std::vector<std::uint8_t>(data, data + size));
    if (!loaded)
        return 0;
    const velmora::ModuleHandle module = *loaded;
    static constexpr std::uint32_t ids[] = {0, 1, 15, 16, 17, 31, 32, 48, 100, 4095, 7000, 28000, 65535, 65536};
    char16_t buffer[512];
    for (const std::uint32_t id : ids) {
        const int count = velmora::LoadModuleString(module, id, buffer, 512);
        if (count < 0 || count > 511 || buffer[count] != 0)
            __builtin_trap();
    }
    velmora::FreeModule(module);
    return 0;
}
