// Inflating the game's data file (one raw deflate stream) into a DataBuffer.
//
// The whole stream is inflated at once into memory by libdeflate, into a block that grows
// (by starting over in a larger one) until the stream fits. zlib stays the judge of every
// stream libdeflate refuses or accepts more leniently than zlib would: those are inflated
// again by zlib in fixed chunks to a temporary file that only this load can see (in the
// user's temporary folder, never beside the data file), so that every failure, and what
// was inflated before it, is exactly zlib's.
#pragma once

#include <cstdint>
#include <string>

#include "data/DataBuffer.h"
#include "host/Result.h"

namespace velmora {

inline constexpr std::size_t InflateChunkSize = 0x20000;

// A stream that inflates past this many bytes is refused before the DataBuffer's signed
// 32-bit length could overflow; the real file is about 16 MB, so this also keeps a small
// hostile file from filling the disk through the temporary file.
inline constexpr std::int64_t MaxInflatedLength = std::int64_t{256} << 20;

// The largest block the fast inflate tries; a stream that inflates to more (nearly always
// a hostile one) is left to zlib, whose chunks go to the temporary file, not to memory.
inline constexpr std::int64_t MaxFastInflatedLength = std::int64_t{64} << 20;
static_assert(MaxFastInflatedLength <= MaxInflatedLength);

// Which inflater a load uses: libdeflate with zlib for what it refuses, or zlib alone
// (to compare the two).
enum class InflatePath { Fast, ZlibOnly };

enum class LoadFailure {
    OpenFailed,       // the data file is missing, unreadable or not a plain file
    ReadFailed,       // reading the data file failed or it changed while being read
    TempFileFailed,   // the temporary file could not be created
    TempIoFailed,     // writing or reading back the temporary file failed (a full disk)
    InitFailed,       // the inflater could not be initialised
    InflateFailed,    // the bytes are not a raw deflate stream
    StreamTruncated,  // the stream ends before its end marker
    TooLarge,         // it is, or inflates to, more than MaxInflatedLength
};

// Replaces the buffer's contents with the inflated file at `path`. Succeeds exactly when
// the whole stream was inflated. `path` is resolved to a host path first, through the
// Wine prefix `winePrefix` (drive letters through its links, names matched without regard
// to case; without a prefix a drive path is not found). The data file and its
// folder are only ever read; the temporary file is gone when this returns.
//
// A failure's reason names the file (as given and, when that differs, as found on this
// machine) and what went wrong, e.g. "C:\G\x.dat (/home/u/.wine/dosdevices/c:/G/x.dat):
// cannot open the data file"; its system reason is the system's or the inflater's.
//
// On an inflate error or a stream cut short the buffer keeps what was inflated before the
// failure; on every other failure it is empty.
Result<void, LoadFailure> LoadDataFile(const std::string& path, DataBuffer& buffer, const std::string& winePrefix = {});

// Replaces the buffer's contents with the inflated `stream`, bytes already in memory (the
// whole data file), with the same outcomes as LoadDataFile; `shownName` begins every
// failure's reason (e.g. "brannoch.dat: the data file's deflate stream is cut short").
Result<void, LoadFailure> InflateDataStream(ByteView stream, DataBuffer& buffer, const std::string& shownName,
                                            InflatePath path = InflatePath::Fast);

// Whether zlib accepts `stream`, which libdeflate has inflated whole, with the same bytes:
// false where zlib is stricter (more than 286 length or 30 distance codes, an incomplete
// code-length code, a repeat past the last length, the fixed codes' unused symbols, the
// unused half of a one-symbol code, a distance with no distance code) and wherever the
// stream cannot be walked to its last block.
bool ZlibAcceptsAsLibdeflateDid(ByteView stream);

} // namespace velmora
