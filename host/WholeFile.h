// Reading a small file whole, for the module loader and the registry reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/Result.h"

namespace velmora {

// The bytes of the plain file at `hostPath` (no further path translation); a failure when
// it cannot be opened or read, or is larger than `maxSize` bytes.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& hostPath, std::int64_t maxSize);

} // namespace velmora
