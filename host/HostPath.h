// Where the files the program opens really are.
//
// The program composes Windows paths: a folder read from the registry such as
// "C:\Games\Brannoch" followed by "\Data\..." or "\language.dll". Every path the program
// opens (the data file, the language modules, the registry) goes through ResolveHostPath
// once, just before the open. Paths shown to the user stay as they were composed, with the
// host path beside them when it differs (DescribePath). On Windows a composed path is
// already the path to open (HostPathWin32.cpp); elsewhere the game lives in a Wine prefix,
// and the rest of this header applies.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The Wine prefix: $WINEPREFIX when set and not empty; else the prefix the installation
// was found in (UseWinePrefix); else $HOME/.wine; "" when none of them can be found.
std::string WinePrefix();

// Makes `prefix` the one WinePrefix() names when WINEPREFIX is not set; "" goes back to
// $HOME/.wine. The installation lookup calls it with the prefix it found the game in, so
// that every later path is resolved through the same prefix as the registry was read.
void UseWinePrefix(std::string prefix);

// Turns a composed path into the host path to open:
//  - a path that names an existing file on this machine as it is written (even with
//    backslashes or a colon in it) is that file;
//  - otherwise backslashes are separators, as on Windows;
//  - a path that starts with a drive letter ("C:\...", "d:/...") is looked up through the
//    prefix's drive link, $WINEPREFIX/dosdevices/<letter>: (whatever that link points to);
//  - every other path is a host path, absolute or relative to the working folder;
//  - each component that does not exist under its exact name is matched against the
//    names in its folder without regard to ASCII case, as on Windows; when several names
//    match, the smallest in byte order is taken, so the choice does not depend on the
//    order the folder lists them in;
//  - from the first component found under no spelling, the rest is kept as written, so the
//    open that follows fails (or, for a file to be created, creates it under that name).
// Empty components and "." are dropped; ".." is kept and left to the file system.
std::string ResolveHostPath(std::string_view path);

// ResolveHostPath with drive letters looked up in `prefix` rather than in WinePrefix().
std::string ResolveHostPathIn(const std::string& prefix, std::string_view path);

// Windows' form of a full path for its file calls: a path of MAX_PATH (260) UTF-16 units
// or more gets the prefix "\\?\" ("\\server\share\..." becomes "\\?\UNC\server\share\..."),
// under which the system takes it whole, whatever its length; shorter paths, paths that
// already name a namespace ("\\?\", "\\.\") and relative ones stay as they are. `fullPath`
// must be normalised as GetFullPathNameW leaves it (backslashes, no "." or "..").
std::u16string ExtendedLengthPath(std::u16string_view fullPath);

// A path for messages: `given` as the user gave or the program composed it, followed by
// the host path it was looked for at, in brackets, when that is another file; a host path
// written with backslashes shows in host form ("/games\x.dat" as "/games/x.dat").
std::string DescribePath(std::string_view given, const std::string& hostPath);

} // namespace velmora
