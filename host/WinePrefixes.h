// Where Linux players keep Wine prefixes: the places the installation lookup searches
// when WINEPREFIX names none.
//
// Only reads: configuration files are read whole (each kind up to its size limit) and
// folders listed; nothing is created. A path taken from a configuration file is used only
// when it is absolute (after Lutris' "~" expansion), never against the working folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// Why there is nowhere to search when neither WINEPREFIX nor HOME names a folder.
inline constexpr std::string_view NoWinePrefixReason = "no Wine prefix: neither WINEPREFIX nor HOME is set";

// Size limits of the configuration files read. Steam's library list grows with every game
// a library holds (about 4 MB for hundreds of thousands of entries), so it may grow eight
// times that; a Lutris game file or a Bottles placeholder.yml is a few kilobytes.
inline constexpr std::int64_t MaxSteamLibraryFileSize = std::int64_t{32} << 20;
inline constexpr std::int64_t MaxYamlFileSize = std::int64_t{1} << 20;

struct WinePrefixPlace {
    std::string path;        // the prefix folder (the one holding system.reg), or what `passedOver` is about
    std::string origin;      // which tool keeps it: "WINEPREFIX", "~/.wine", "Lutris", ...
    std::string passedOver;  // "" for a prefix; else why `path`, a tool's file or folder, gives none
};

// Gives `visit` each place in order, lazily (a place is read only when the one before it
// has been visited), until it returns false. With WINEPREFIX set and not empty, that
// prefix alone. Otherwise, under $HOME and in this order:
//  1. ~/.wine;
//  2. Lutris: the `game: prefix:` of each game file (*.yml, in name order) in
//     ~/.config/lutris/games/, then ~/.local/share/lutris/games/;
//  3. Bottles: each bottle in ~/.local/share/bottles/bottles/, then in the Flatpak's
//     ~/.var/app/com.usebottles.bottles/data/bottles/bottles/; a bottle made in a
//     folder of the user's choice leaves only placeholder.yml, whose `Path:` names it;
//  4. PlayOnLinux: ~/.PlayOnLinux/wineprefix/*/;
//  5. Steam: steamapps/compatdata/*/pfx/ in Steam's own folder and then in each library
//     its steamapps/libraryfolders.vdf lists, for Steam in ~/.steam/steam,
//     ~/.local/share/Steam, ~/.steam/root and the Flatpak's
//     ~/.var/app/com.valvesoftware.Steam/.local/share/Steam and .../.steam/steam; Steam's
//     own folder is searched even when its library list is missing, too big or broken;
//  6. CrossOver: ~/.cxoffice/*/.
// Within one folder entries come in name order. A folder met twice (through a link, or
// listed twice) is searched once, where it was met first. A tool's folder that is not
// there or cannot be listed, a file that cannot be read or names no absolute prefix, a
// library list passed over: each is a place of its own, with `passedOver` saying why in
// PlaceProblem's words. At most MaxSteamLibraries libraries are taken from one list; the
// rest are counted in one place, the list's.
void ForEachWinePrefixPlace(const std::function<bool(const WinePrefixPlace&)>& visit);

} // namespace velmora
