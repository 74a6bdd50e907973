// Reading a decompressed data file into GameTables.
#pragma once

#include <cstdint>
#include <string_view>

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

// Where the parser's messages go: message boxes in the dialog, standard error in the
// dump tool. A message is shown at the moment the parser meets its cause.
class ParseMessages {
public:
    virtual ~ParseMessages() = default;
    virtual void ShowMessage(std::string_view text) = 0;
};

// Fills `tables` from the decompressed file. True when the end of the tech section was
// reached. A parse that fails leaves `tables` exactly as it was; a parse that succeeds
// overwrites only what the file holds.
bool ParseDataFile(const DataBuffer& buffer, GameTables& tables, ParseMessages& messages);
bool ParseDataFile(ByteView bytes, GameTables& tables, ParseMessages& messages);

// The position E of the first "CHUN4": the effect count is the int32 at E - 4.
// -1 when there is none, or when it lies at position 4 or before (no count precedes it).
std::int64_t FindEffectsAnchor(ByteView bytes);

} // namespace velmora
