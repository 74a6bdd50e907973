// Inflating the game's data file (one raw deflate stream) into a DataBuffer.
//
// The inflated size is learnt only by inflating, so the output goes in fixed chunks to a
// temporary file beside the data file and is then read back into one block of exactly the
// inflated size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/DataBuffer.h"
#include "host/Result.h"

namespace velmora {

inline constexpr std::size_t InflateChunkSize = 0x20000;
inline constexpr std::string_view TempFileSuffix = ".tmp1";

// A stream that inflates past this many bytes is refused before the DataBuffer's signed
// 32-bit length could overflow; the real file is about 16 MB, so this also keeps a small
// hostile file from filling the disk through the temporary file.
inline constexpr std::int64_t MaxInflatedLength = std::int64_t{256} << 20;

enum class LoadFailure {
    OpenFailed,       // the data file is missing, unreadable or not a plain file
    ReadFailed,       // reading the data file failed or it changed while being read
    TempFileFailed,   // the temporary file could not be created (or is a link)
    TempIoFailed,     // writing, reading back or deleting the temporary file failed
    InitFailed,       // the inflater could not be initialised
    InflateFailed,    // the bytes are not a raw deflate stream
    StreamTruncated,  // the stream ends before its end marker
    TooLarge,         // it inflates to more than MaxInflatedLength
};

// Replaces the buffer's contents with the inflated file at `path`. Succeeds exactly when
// the whole stream was inflated. `path` is resolved to a host path first (drive letters
// through the Wine prefix, names matched without regard to case). The data file is only
// ever read; the temporary file, the resolved path + ".tmp1" (on Windows a private file in
// the user's temporary folder, File::CreateTemporary), is gone when this returns.
//
// On an inflate error or a stream cut short the buffer keeps what was inflated before the
// failure; on every other failure it is empty.
Result<void, LoadFailure> LoadDataFile(const std::string& path, DataBuffer& buffer);

} // namespace velmora
