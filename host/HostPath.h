// Where the files the program opens really are.
//
// The program composes Windows paths: a folder read from the registry such as
// "C:\Games\Brannoch" followed by "\Data\..." or "\language.dll". Every such path is
// resolved through the Wine prefix of the installation it belongs to, once, just before
// the open: the prefix is always named by the caller, never remembered on the side. Paths
// shown to the user stay as they were composed, with the host path beside them when it
// differs (DescribePath). On Windows a composed path is already the path to open
// (HostPathWin32.cpp); elsewhere the game lives in a Wine prefix, and the rest of this
// header applies.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// The Wine prefix where the search for the installation starts: $WINEPREFIX when set and
// not empty, else $HOME/.wine; "" when neither can be found (always "" on Windows). Read
// only where a search starts; everything after it goes through the prefix it found.
std::string WinePrefix();

// Turns composed paths into the host paths to open, through the Wine prefix `prefix`:
//  - a path that names an existing file on this machine as it is written (even with
//    backslashes or a colon in it) is that file;
//  - otherwise backslashes are separators, as on Windows;
//  - a path that starts with a drive letter ("C:\...", "d:/...") is looked up through the
//    prefix's drive link, <prefix>/dosdevices/<letter>: (whatever that link points to);
//    without a prefix it stays as written, and so is not found;
//  - every other path is a host path, absolute or relative to the working folder;
//  - each component that does not exist under its exact name is matched against the
//    names in its folder without regard to ASCII case, as on Windows; when several names
//    match, the smallest in byte order is taken, so the choice does not depend on the
//    order the folder lists them in;
//  - from the first component found under no spelling, the rest is kept as written, so the
//    open that follows fails (or, for a file to be created, creates it under that name).
// Empty components and "." are dropped. In a path on a drive ".." takes the folder before it
// away and stops at the drive's root, as on Windows; elsewhere it is kept and left to the
// file system.
//
// A resolver lists each folder at most once for the case-insensitive matching and keeps
// the listing, so many paths under the same folders cost one listing each. Keep one for
// one search or one load: it does not see names added to a folder after it listed it.
class HostPathResolver {
public:
    explicit HostPathResolver(std::string prefix) : prefix_(std::move(prefix)) {}

    const std::string& Prefix() const { return prefix_; }
    std::string Resolve(std::string_view composed);

private:
    // The name in `folder` that equals `name` without regard to ASCII case, or "".
    const std::string& FindIgnoringCase(const std::string& folder, std::string_view name);

    std::string prefix_;
    // Per folder listed: each name lowered, to the smallest name that lowers to it.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listings_;
};

// One path through `prefix`, with a resolver of its own.
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
