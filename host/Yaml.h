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

// Limits on what a file may hold, as libyaml's time grows with the square of each: a Lutris
// game file nests three deep and PyYAML writes an anchor only for a value it meets twice.
// A file beyond them is refused, with the limit in the reason.
inline constexpr int MaxYamlDepth = 32;           // mappings and sequences open at once
inline constexpr int MaxYamlAnchors = 256;        // anchors (&name) in the document
inline constexpr int MaxYamlAliases = 1024;       // aliases (*name) in the document

// The text of the scalar reached from the first document's root through the mapping keys
// `keys`, in order ({"game", "prefix"} for `game: prefix:`). Nothing when a key is
// missing, when the value is not a scalar, or when it is YAML's null (a plain `null`,
// `~` or nothing). When a mapping holds a key twice the last one counts, as in PyYAML.
// A failure when the text is not YAML, naming libyaml's problem and its line, or when it
// goes past one of the limits above. An empty text is a document of nothing.
Result<std::optional<std::string>> YamlScalarAt(std::string_view yaml, std::span<const std::string_view> keys);

} // namespace velmora
