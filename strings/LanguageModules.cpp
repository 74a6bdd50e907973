#include "strings/LanguageModules.h"

#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "host/Text.h"

namespace velmora {

LanguageModules::~LanguageModules()
{
    for (std::int32_t i = 0; i < moduleCount; ++i)
        FreeModule(modules[static_cast<std::size_t>(i)]);
}

int LanguageModules::AddModule(std::string path, const std::string& winePrefix)
{
    if (moduleCount >= MaxModules)
        return 1;
    const Result<ModuleHandle> module = LoadModule(path, winePrefix);
    if (!module)
        return 1;
    modules[static_cast<std::size_t>(moduleCount++)] = *module;
    return 0;
}

Result<void> LanguageModules::AddModuleFromBytes(std::vector<std::uint8_t> bytes)
{
    if (MaxModules <= moduleCount)
        return Failure<>{.reason = "too many modules"};
    const Result<ModuleHandle> module = LoadModuleFromBytes(std::move(bytes));
    if (!module)
        return module.failure();
    modules[static_cast<std::size_t>(moduleCount++)] = *module;
    return {};
}

std::string LanguageModules::LookupString(std::int64_t id) const
{
    if (id < 0 || id > 0xFFFF)
        return {};
    char16_t buffer[MaxStringUnits];
    for (std::int32_t i = 0; i < moduleCount; ++i) {
        const int count = LoadModuleString(modules[static_cast<std::size_t>(i)], static_cast<std::uint32_t>(id), buffer, MaxStringUnits);
        if (count > 0) {
            const std::u16string_view text(buffer, static_cast<std::size_t>(count));
            return Utf16ToUtf8(text.substr(0, text.find(u'\0')));
        }
    }
    return {};
}

std::function<std::string(std::int64_t id)> LookupEachOnce(const LanguageModules& modules)
{
    auto texts = std::make_shared<std::unordered_map<std::int64_t, std::string>>();
    return [&modules, texts](std::int64_t id) {
        const auto [at, fresh] = texts->try_emplace(id);
        if (fresh)
            at->second = modules.LookupString(id);
        return at->second;
    };
}

} // namespace velmora
