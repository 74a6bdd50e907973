// Read-only access to the machine registry (HKEY_LOCAL_MACHINE): the Windows registry
// calls on Windows (RegistryWin32.cpp); elsewhere the system.reg of a Wine prefix the
// caller names (ReadMachineTextIn, WineRegistry.h) reads the same way. Nothing is ever
// written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/Result.h"

namespace velmora {

enum class RegistryFailure {
    NoHive,   // no prefix, no system.reg, or a file that is not a registry file
    NoKey,    // the key exists in neither registry view (nor as its Wow6432Node twin)
    NoValue,  // the key exists but has no value of that name
    NotText,  // the value is a number, binary data or a list of texts
    TooLong,  // the text and its terminating NUL do not fit the buffer size given
};

// Reads the text value `valueName` ("" or "@" for the key's default value) of the key
// `keyPath` under HKEY_LOCAL_MACHINE, e.g. "Software\Vendor\Product", as a 32-bit program
// sees it first: the 32-bit registry view, then the 64-bit one. In a Wine prefix's file
// the 32-bit view of a key under "Software\" is its twin under "Software\Wow6432Node\",
// looked for first in a 64-bit prefix ("#arch=win64") and second otherwise. The first of
// the two keys that holds the value decides. Key and value names are matched without
// regard to ASCII case.
//
// A text value (plain or expandable, left unexpanded) is converted to UTF-8 and must fit
// `bufferSize` bytes with its terminating NUL; the text ends at its first NUL.
#ifdef _WIN32
Result<std::string, RegistryFailure> ReadMachineText(std::string_view keyPath, std::string_view valueName, std::size_t bufferSize);
#endif

} // namespace velmora
