// The machine registry of a Wine prefix (HKEY_LOCAL_MACHINE, kept in $WINEPREFIX/system.reg):
// the reader behind ReadMachineText (Registry.h) where the Windows registry calls are not
// at hand.
//
// The file is read, never written or locked; a broken line is skipped as Wine skips it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/Registry.h"

namespace velmora {

// Why there is no registry to read when neither WINEPREFIX nor HOME names a prefix.
inline constexpr std::string_view NoWinePrefixReason = "no Wine prefix: neither WINEPREFIX nor HOME is set";

// A system.reg larger than this is not read at all.
inline constexpr std::int64_t MaxRegistryFileSize = std::int64_t{256} << 20;

// ReadMachineText on the given system.reg contents. ReadMachineText itself, where this reader
// stands in for the registry calls, reads the system.reg of WinePrefix() (NoHive when there
// is no prefix or no such file).
Result<std::string, RegistryFailure> ReadMachineTextFrom(std::string_view hive, std::string_view keyPath,
                                                         std::string_view valueName, std::size_t bufferSize);

// ReadMachineText on the registry of the Wine prefix `prefix`, its system.reg; every
// failure names that file.
Result<std::string, RegistryFailure> ReadMachineTextIn(const std::string& prefix, std::string_view keyPath,
                                                       std::string_view valueName, std::size_t bufferSize);

} // namespace velmora
