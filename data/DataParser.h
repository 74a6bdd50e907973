// Reading a decompressed data file into GameTables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/ByteView.h"
#include "data/DataBuffer.h"
#include "data/GameTables.h"

namespace velmora {

inline constexpr std::string_view RequiredVersionText = "VER 5.7";

// The parser's messages, word for word.
inline constexpr std::string_view VersionErrorMessage = "Version error";
inline constexpr std::string_view NumErrorMessage = "num error";
inline constexpr std::string_view ObjectTypeErrorMessage = "Object type data error";
inline constexpr std::string_view TruncatedMessage = "Data file is truncated";

// What a parse tells its caller: whether it reached the end of the tech section, and the
// messages for the user, in the order the parser met their causes. A failed parse ends
// with the message that stopped it; "num error" does not stop a parse. The dialog shows
// each message in a box of its own, the dump tool writes them to standard error.
struct [[nodiscard]] ParseResult {
    bool parsed = false;
    std::vector<std::string> messages;
};

// Fills `tables` from the decompressed file. A parse that succeeds replaces `tables`
// whole, as if they had been empty; a parse that fails leaves them exactly as they were.
ParseResult ParseDataFile(const DataBuffer& buffer, GameTables& tables);
ParseResult ParseDataFile(ByteView bytes, GameTables& tables);

// The position E of the first "CHUN4": the effect count is the int32 at E - 4.
// -1 when there is none, or when it lies at position 4 or before (no count precedes it).
std::int64_t FindEffectsAnchor(ByteView bytes);

} // namespace velmora
