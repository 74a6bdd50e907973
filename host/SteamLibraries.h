// Steam's list of library folders, steamapps/libraryfolders.vdf: a text in Valve's
// KeyValues form, read as the nested tree it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/Result.h"

namespace velmora {

// Blocks nested deeper than this are refused: the real file nests three deep.
inline constexpr int MaxKeyValuesDepth = 32;
// The libraries taken from one list: Steam makes one for each drive it installs games on,
// and a list under its size limit could name millions.
inline constexpr std::size_t MaxSteamLibraries = 256;

// The library folders of one list, the first MaxSteamLibraries of them, and how many more
// it names.
struct SteamLibraryList {
    std::vector<std::string> folders;
    std::size_t more = 0;
};

// The library folders the file lists, in its order, up to MaxSteamLibraries. Only the numbered entries directly
// under the root key "libraryfolders" are libraries: the "path" of each block (today's
// form, `"0" { "path" "/home/a/.local/share/Steam" ... "apps" { ... } }`) or the text of
// each numbered key (the older form, `"1" "/mnt/games"`). Nothing deeper, such as the
// sizes in "apps", is ever a folder. Key names are matched without regard to ASCII case.
//
// The text is tokenised once, in time linear in its size: quoted tokens with the escapes
// \\ and \" (a backslash before anything else stays as written), unquoted tokens, braces,
// // comments to the end of the line, a UTF-8 BOM, any line ends. A failure names the
// line of the first thing that is not KeyValues: an unclosed quote or block, a key
// without a value, a brace out of place, nesting deeper than MaxKeyValuesDepth.
Result<SteamLibraryList> SteamLibraryFolders(std::string_view vdf);

} // namespace velmora
