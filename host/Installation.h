// Finding the game's installation: the folder named in the registry, and the paths of the
// files the program reads from it. The paths are composed as Windows paths; they are
// resolved to host paths only when a file is opened.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// The installation folder from the value "EXE Path" of the game's key under
// HKEY_LOCAL_MACHINE, read without asking for write access. Fails when there is no prefix,
// no key, no value, a value that is not a text, or a text that does not fit
// InstallValueBufferSize bytes.
//
// Outside Windows the registry is a Wine prefix's: the first of WinePrefixPlaces() whose
// registry holds the value as a text that fits, and that prefix becomes the one every later
// drive letter is resolved through (UseWinePrefix). When none does, the failure is the one
// place's own, or, when several were searched, names how many and which tools keep them,
// followed by the first place's failure.
Result<std::string, RegistryFailure> ReadInstallFolder();

// An installation found in one registry.
struct FoundInstallation {
    std::string prefix;  // the Wine prefix it is in; "" on Windows
    std::string origin;  // which tool keeps the prefix ("~/.wine", "Lutris", ...); "registry" on Windows
    std::string folder;  // the installation folder the registry names, a Windows path
};

// Every installation found, in the order ReadInstallFolder searches: on Windows the one
// the registry names, elsewhere one for each Wine prefix whose registry holds the value.
// Nothing is remembered: the prefix drive letters are resolved through stays as it was.
std::vector<FoundInstallation> FindInstallations();

// `folder` followed by "\Data\brannoch2_x1_p1.dat".
std::string DataFilePath(const std::string& folder);

// `folder` followed by each of LanguageModuleSuffixes, in that order.
std::array<std::string, 3> LanguageModulePaths(const std::string& folder);

} // namespace velmora
