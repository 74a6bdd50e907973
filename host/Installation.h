// Finding the game's installation: the folder named in the registry, the Wine prefix it is
// in, and the paths of the files the program reads from it. The paths are composed as
// Windows paths; they are resolved to host paths, through the installation's own prefix,
// only when a file is opened.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostPath.h"
#include "host/Registry.h"

namespace velmora {

inline constexpr std::string_view InstallKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0";
inline constexpr std::string_view InstallValue = "EXE Path";
// The folder must fit this many bytes, terminating NUL included.
inline constexpr std::size_t InstallValueBufferSize = 1024;

inline constexpr std::string_view DataFileSuffix = "\\Data\\brannoch2_x1_p1.dat";
// The language modules in the order they are loaded and asked: patch, expansion, base.
inline constexpr std::array<std::string_view, 3> LanguageModuleSuffixes = {
    "\\language_x1_p1.dll",
    "\\Language_x1.dll",
    "\\language.dll",
};

// Why the folder a registry names cannot be an installation, "" when it can: only a path
// on a drive ("C:\...", "d:/...") is one. An empty value, a relative path (which would
// depend on the working folder), a path rooted without a drive ("\Games") or a network
// path ("\\server\share") is refused, on every system.
std::string NamedFolderProblem(std::string_view folder);

// `folder` followed by "\Data\brannoch2_x1_p1.dat".
std::string DataFilePath(const std::string& folder);

// `folder` followed by each of LanguageModuleSuffixes, in that order.
std::array<std::string, 3> LanguageModulePaths(const std::string& folder);

// An installation: the folder a registry names, and the Wine prefix whose registry it is,
// through which every Windows path of the installation resolves.
struct Installation {
    std::string prefix;  // the Wine prefix; "" on Windows
    std::string origin;  // which tool keeps the prefix ("~/.wine", "Lutris", ...); "registry" on Windows
    std::string folder;  // the installation folder as the registry names it, a Windows path; "" when none

    // A composed path of this installation (or one the user typed) as the host path to open.
    std::string HostPath(std::string_view composed) const { return ResolveHostPathIn(prefix, composed); }
};

// One place the search looked at, in the order searched.
struct SearchedPlace {
    std::string origin;  // the tool that keeps it, as in Installation
    std::string place;   // what `reason` is about: the prefix, its system.reg, a tool's file or folder
    std::optional<Installation> installation;  // when the place is a prefix whose registry names a folder
    bool dataFile = false;                     // the installation's data file opens for reading
    std::string reason;                        // why the place is passed over; "" when it is usable
    std::string dataFileProblem;               // with an installation whose data file does not open:
                                               // "is missing", or "is not usable: " and why

    bool Usable() const { return reason.empty(); }
};

// Looks at the places where an installation may be, in order, until `visit` returns false.
// On Windows the one place is the machine registry, its value "EXE Path" of InstallKey,
// read without asking for write access. Elsewhere every Wine prefix WinePrefixPlaces
// gives is read: its system.reg, then the data file through that prefix. A place is usable
// when its registry names a folder and the data file is there; every other place comes
// with the reason it is passed over, in a few words: a missing folder, a registry without
// the game's key or value, a folder named that is not on a drive (NamedFolderProblem), a
// data file that is missing or there but unusable (and why), a tool's file that names no
// prefix.
void SearchInstallations(const std::function<bool(const SearchedPlace&)>& visit);

// The places passed over a lookup keeps for its message: a home folder can hold any number
// of tools' files, and a message naming millions helps no one.
inline constexpr std::size_t MaxPlacesKept = 1000;

// The installation the viewer and the dump use, found by SearchInstallations stopping at
// the first usable place.
struct InstallationLookup {
    // The first usable installation; else the first whose registry names a folder (its
    // data file missing); else none: an empty folder, and the prefix the search started at
    // (WinePrefix()), through which typed Windows paths still resolve.
    Installation installation;
    bool usable = false;
    // Every place passed over before the one used (all of them when none is usable), the
    // first MaxPlacesKept of them, and how many more there were.
    std::vector<SearchedPlace> passedOver;
    std::size_t notKept = 0;

    // Adds a place passed over, or counts it once MaxPlacesKept are kept.
    void PassOver(const SearchedPlace& place);

    // Why no installation is usable, "" when one is: the one place's reason, or a line
    // for each place searched, at most `maxPlaces` of them and then how many more. With
    // `shown`, every text taken from a place (its tool, path and reason) goes through it.
    std::string Report(std::size_t maxPlaces = SIZE_MAX, std::string (*shown)(std::string_view) = nullptr) const;
};

InstallationLookup FindInstallation();

} // namespace velmora
