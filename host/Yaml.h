// Reading one text out of a YAML file that another program wrote (Lutris' game files,
// Bottles' placeholder.yml), through libyaml, the YAML 1.1 parser that PyYAML's own
// loader wraps: every scalar style reads as its writer meant it (double-quoted escapes
// such as \xE9, '' in single quotes, folded continuation lines, comments, CRLF, a BOM).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/Result.h"

namespace velmora {

// The text of the scalar reached from the first document's root through the mapping keys
// `keys`, in order ({"game", "prefix"} for `game: prefix:`). Nothing when a key is
// missing, when the value is not a scalar, or when it is YAML's null (a plain `null`,
// `~` or nothing). When a mapping holds a key twice the last one counts, as in PyYAML.
// A failure when the text is not YAML, naming libyaml's problem and its line.
Result<std::optional<std::string>> YamlScalarAt(std::string_view yaml, std::span<const std::string_view> keys);

} // namespace velmora
