// Read-only access to the machine registry of the Wine prefix (HKEY_LOCAL_MACHINE, kept in
// $WINEPREFIX/system.reg), standing in for the Windows registry calls.
//
// The file is read, never written or locked; a broken line is skipped as Wine skips it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/Result.h"

namespace velmora {

// A system.reg larger than this is not read at all.
inline constexpr std::int64_t MaxRegistryFileSize = std::int64_t{256} << 20;

enum class RegistryFailure {
    NoHive,   // no prefix, no system.reg, or a file that is not a registry file
    NoKey,    // neither the key nor its Wow6432Node twin exists
    NoValue,  // the key exists but has no value of that name
    NotText,  // the value is a number, binary data or a list of texts
    TooLong,  // the text and its terminating NUL do not fit the buffer size given
};

// Reads the text value `valueName` ("" or "@" for the key's default value) of the key
// `keyPath` under HKEY_LOCAL_MACHINE, e.g. "Software\Vendor\Product", as a 32-bit program
// sees it: a key under "Software\" is also looked for as its twin under
// "Software\Wow6432Node\", first in a 64-bit prefix ("#arch=win64"), second otherwise. The
// first of the two keys that holds the value decides. Key and value names are matched
// without regard to ASCII case.
//
// A text value (plain or expandable, left unexpanded) is converted to UTF-8 and must fit
// `bufferSize` bytes with its terminating NUL; the text ends at its first NUL.
Result<std::string, RegistryFailure> ReadMachineText(std::string_view keyPath, std::string_view valueName, std::size_t bufferSize);

// The same, reading the given system.reg contents instead of the prefix's file.
Result<std::string, RegistryFailure> ReadMachineTextFrom(std::string_view hive, std::string_view keyPath,
                                                         std::string_view valueName, std::size_t bufferSize);

} // namespace velmora
