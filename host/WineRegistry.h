// The machine registry of a Wine prefix (HKEY_LOCAL_MACHINE, kept in <prefix>/system.reg):
// what stands in for ReadMachineText (Registry.h) where the Windows registry calls are not
// at hand, always for a prefix the caller names.
//
// The file is read, never written or locked; a broken line is skipped as Wine skips it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/Registry.h"

namespace velmora {

// A system.reg larger than this is not read at all.
inline constexpr std::int64_t MaxRegistryFileSize = std::int64_t{256} << 20;

// ReadMachineText on the given system.reg contents.
Result<std::string, RegistryFailure> ReadMachineTextFrom(std::string_view hive, std::string_view keyPath,
                                                         std::string_view valueName, std::size_t bufferSize);

// ReadMachineText on the registry of the Wine prefix `prefix`, its system.reg (NoHive when
// that file cannot be read). The failure's reason does not name the file: the caller knows
// it.
Result<std::string, RegistryFailure> ReadMachineTextIn(const std::string& prefix, std::string_view keyPath,
                                                       std::string_view valueName, std::size_t bufferSize);

} // namespace velmora
