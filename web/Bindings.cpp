// The browser core's functions for the page (embind): texts as JS strings, bytes as
// Uint8Array both ways. One WebCore serves the module; its staging folder is in
// emscripten's in-memory file system.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>
#include <vector>

#include "web/Core.h"

namespace {

using emscripten::val;

velmora::WebCore& Core()
{
    static velmora::WebCore core("/velmora-staging");
    return core;
}

// A Uint8Array's bytes; nothing for anything else.
std::optional<std::string> Bytes(const val& array)
{
    if (!array.instanceof(val::global("Uint8Array")))
        return std::nullopt;
    return array.as<std::string>();
}

val ByteArray(const std::string& bytes)
{
    val array = val::global("Uint8Array").new_(bytes.size());
    array.call<void>("set", val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data()))));
    return array;
}

std::string Text(const val& value)
{
    return value.isString() ? value.as<std::string>() : std::string();
}

std::string Load(int slot, const val& data, const val& modules, unsigned codePage, const val& fileName)
{
    std::vector<std::optional<std::string>> moduleBytes;
    if (modules.isArray()) {
        const unsigned count = modules["length"].as<unsigned>();
        for (unsigned i = 0; i < count; ++i)
            moduleBytes.push_back(Bytes(modules[i]));
    }
    return Core().Load(slot, Bytes(data).value_or(std::string()), moduleBytes, codePage, Text(fileName));
}

// `techs`: an array of tech numbers, the techs to dump; anything else (null), all of them.
val Dump(int slot, const val& format, const val& techs)
{
    std::optional<std::vector<int>> only;
    if (techs.isArray()) {
        only.emplace();
        const unsigned count = techs["length"].as<unsigned>();
        for (unsigned i = 0; i < count; ++i) {
            if (techs[i].isNumber())
                only->push_back(techs[i].as<int>());
        }
    }
    return ByteArray(Core().Dump(slot, Text(format), only));
}
val Diff(const val& format) { return ByteArray(Core().Diff(Text(format))); }
int DiffStatus() { return Core().DiffStatus(); }
std::string StringText(int slot, const val& typedId) { return Core().StringText(slot, Text(typedId)); }
std::string EffectLines(int slot, const val& typedEffectNo) { return Core().EffectLines(slot, Text(typedEffectNo)); }
std::string EffectCommand(int slot, const val& typedEffectNo, int line) { return Core().EffectCommand(slot, Text(typedEffectNo), line); }
std::string Version() { return VELMORA_VERSION; }
std::string DetailForm() { return velmora::WebCore::DetailForm(); }

} // namespace

EMSCRIPTEN_BINDINGS(velmora_core)
{
    emscripten::function("load", &Load);
    emscripten::function("dump", &Dump);
    emscripten::function("diff", &Diff);
    emscripten::function("diffStatus", &DiffStatus);
    emscripten::function("stringText", &StringText);
    emscripten::function("effectLines", &EffectLines);
    emscripten::function("effectCommand", &EffectCommand);
    emscripten::function("version", &Version);
    emscripten::function("detailForm", &DetailForm);
}
