// Where Linux players keep Wine prefixes: the places the installation lookup searches
// when WINEPREFIX names none.
//
// Only reads: configuration files are read whole and folders listed; nothing is created,
// and a file or folder that cannot be read is passed over.
#pragma once

#include <string>
#include <vector>

namespace velmora {

struct WinePrefixPlace {
    std::string path;    // the prefix folder, the one holding system.reg
    std::string origin;  // which tool keeps it: "WINEPREFIX", "~/.wine", "Lutris", ...
};

// With WINEPREFIX set and not empty, that prefix alone. Otherwise, under $HOME and in this
// order: ~/.wine; the prefix of every Lutris game (the `prefix:` line of each file in
// ~/.config/lutris/games/ and ~/.local/share/lutris/games/); every Bottles bottle
// (~/.local/share/bottles/bottles/*/ and the Flatpak's
// ~/.var/app/com.usebottles.bottles/data/bottles/bottles/*/); every PlayOnLinux prefix
// (~/.PlayOnLinux/wineprefix/*/); every Steam compatibility prefix
// (steamapps/compatdata/*/pfx/ in every library that ~/.steam/steam/steamapps/libraryfolders.vdf
// or ~/.local/share/Steam/steamapps/libraryfolders.vdf lists); every CrossOver bottle
// (~/.cxoffice/*/). Within one place folders come in name order; a folder met twice (through
// a link, or listed by two files) counts once, where it was met first.
std::vector<WinePrefixPlace> WinePrefixPlaces();

// The library folders a Steam libraryfolders.vdf lists, in the order it lists them.
std::vector<std::string> SteamLibraryFolders(std::string_view vdf);

// The prefix a Lutris game file names (its `prefix:` line), or "" when it names none.
std::string LutrisGamePrefix(std::string_view yaml);

} // namespace velmora
