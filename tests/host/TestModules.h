// The resource-only test modules built from modules/*.rc, and small helpers around them.
//
// String tables compiled by the MinGW resource compiler and linked into resource-only
// DLLs, once as PE32 (i686) and once as PE32+ (x86_64):
//   table.rc      strings in several blocks and slots, an empty slot, a 600-unit string,
//                 non-ASCII texts, id 65535, and a resource that is not a string table
//   languages.rc  blocks present in several languages
//   nostrings.rc  resources without any string table
#pragma once

#include <memory>
#include <string>

#include "host/ModuleLoader.h"

namespace velmora::testing {

inline constexpr const char* Architectures[] = {"i686", "x86_64"};

inline std::string TestModulePath(const std::string& arch, const std::string& name)
{
    return std::string(VELMORA_TEST_MODULES) + "/" + arch + "/" + name + ".dll";
}

struct ModuleFree {
    void operator()(LoadedModule* module) const { FreeModule(module); }
};
using ModulePtr = std::unique_ptr<LoadedModule, ModuleFree>;

// The module loaded, owned; empty when it did not load.
inline ModulePtr Own(Result<ModuleHandle> loaded)
{
    return ModulePtr(loaded.value_or(nullptr));
}

// The string as the loader copies it into a buffer of `bufferLength` units; also checks
// that the count returned matches the terminator written.
inline std::u16string LoadText(ModuleHandle module, std::uint32_t id, int bufferLength = 512)
{
    std::u16string buffer(static_cast<std::size_t>(bufferLength) + 1, u'#');
    const int count = LoadModuleString(module, id, buffer.data(), bufferLength);
    if (count < 0 || count >= bufferLength || buffer[static_cast<std::size_t>(count)] != 0)
        return u"<count " + std::u16string(1, static_cast<char16_t>(u'0' + (count % 10))) + u" not terminated>";
    return buffer.substr(0, static_cast<std::size_t>(count));
}

} // namespace velmora::testing
