// The string tables of Windows module files, standing in for the Windows module loader
// (load a module, look up one of its strings, free it).
//
// A module file (PE32 or PE32+) is read into memory, never mapped or run. Its headers are
// checked when it loads; its resource directory is walked on every lookup, each read
// bounded by the file's bytes, so a damaged module answers "no such string" instead of
// crashing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/Result.h"

namespace velmora {

class LoadedModule;
using ModuleHandle = LoadedModule*;

// Module files larger than this are refused.
inline constexpr std::int64_t MaxModuleFileSize = std::int64_t{64} << 20;

// Loads the module file at `path`, a composed path resolved through the Wine prefix
// `winePrefix` (HostPath.h).
// Fails when the file is missing, unreadable, too large, or not a PE image whose headers
// and section table lie inside the file. The module loaded belongs to the caller, who
// releases it with FreeModule.
Result<ModuleHandle> LoadModule(const std::string& path, const std::string& winePrefix = {});

// The same for file contents already read.
Result<ModuleHandle> LoadModuleFromBytes(std::vector<std::uint8_t> bytes);

// Copies string `id` of the module's string tables into `buffer`: at most
// bufferLength - 1 UTF-16 units, then a terminating 0 unit; a longer string is cut. Returns
// the number of units copied, which is 0 when the module holds no string `id`, when that
// string is empty, when its block is damaged, when `id` is above 65535, or when there is
// no module or no room in the buffer.
//
// The block of a string (block (id >> 4) + 1 of resource type 6) may exist in several
// languages; the one used is the first present of: neutral (0x0000), the user's default
// language (UserDefaultLangId), that language's primary language with the neutral
// sublanguage, English (US) (0x0409), and failing all of them the first in the directory.
int LoadModuleString(ModuleHandle module, std::uint32_t id, char16_t* buffer, int bufferLength);

// Releases a module; nullptr is ignored.
void FreeModule(ModuleHandle module);

// Language ids (LANGIDs) as module resources use them.
inline constexpr std::uint16_t LangNeutral = 0x0000;
inline constexpr std::uint16_t LangEnglishUs = 0x0409;

// The LANGID for a POSIX locale name such as "ja_JP.UTF-8" or "de_AT@euro": the country's
// LANGID when the language and country are known, else the language's default LANGID,
// else 0 (also for "C" and "POSIX").
std::uint16_t LangIdFromLocaleName(std::string_view name);

// The user's default language: on Windows the user's UI language (GetUserDefaultUILanguage);
// elsewhere the LANGID of the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty, or 0 (no preference) when none is or it is not known.
std::uint16_t UserDefaultLangId();

} // namespace velmora
