// The game's language modules: up to three module files whose string tables hold every
// text the game shows, asked in the order they were loaded.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/ModuleLoader.h"
#include "host/Result.h"

namespace velmora {

class LanguageModules {
public:
    static constexpr int MaxModules = 3;
    // LookupString hands the string loader a buffer of this many UTF-16 units, terminator
    // included, so a string is cut to its first MaxStringUnits - 1 units.
    static constexpr int MaxStringUnits = 512;

    LanguageModules() = default;
    virtual ~LanguageModules();
    LanguageModules(const LanguageModules&) = delete;
    LanguageModules& operator=(const LanguageModules&) = delete;

    // Loads the module file at `path` (a composed path, resolved through the Wine prefix
    // `winePrefix`) and puts it after the modules already held. 0 when it loaded; 1 when
    // it did not, or when MaxModules modules are already held (the file is then not even
    // opened). A failure takes no entry.
    int AddModule(std::string path, const std::string& winePrefix = {});
    // The same for a module file's contents already read; a failure says why (and takes
    // no entry), and with MaxModules modules held it is "too many modules".
    Result<void> AddModuleFromBytes(std::vector<std::uint8_t> bytes);

    // The text of string `id`, converted to UTF-8, from the first module in load order that
    // holds it with a length other than 0; a module that lacks it or holds it empty passes
    // the question on, and "" comes when none holds it. The text ends at its first NUL
    // unit, so a string that begins with NUL gives "" and the modules after it are not
    // asked. A surrogate without its partner becomes U+FFFD. Only 0 to 65535 are string
    // ids: any other value, such as -1 for "none", gives "".
    std::string LookupString(std::int64_t id) const;

    // Entries 0 to moduleCount - 1 are loaded modules owned by this object, in load order.
    std::array<ModuleHandle, MaxModules> modules{};
    std::int32_t moduleCount = 0;
};

// A lookup that asks `modules` for each string id once and keeps the text, since the same
// names recur in many fields and lines. `modules` must outlive it; its copies share what
// it keeps.
std::function<std::string(std::int64_t id)> LookupEachOnce(const LanguageModules& modules);

} // namespace velmora
