// The readers of other tools' files on arbitrary bytes: Steam's library list (KeyValues)
// and a Lutris game file's prefix (YAML, through libyaml).
#include <array>
#include <cstdint>
#include <string_view>

#include "host/SteamLibraries.h"
#include "host/Yaml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // No library is longer than the file that lists it, and no more are taken than the limit.
    if (const auto libraries = velmora::SteamLibraryFolders(text)) {
        if (libraries->folders.size() > velmora::MaxSteamLibraries || (libraries->more > 0 && libraries->folders.size() != velmora::MaxSteamLibraries))
            __builtin_trap();
        for (const std::string& folder : libraries->folders) {
            if (folder.size() > size)
                __builtin_trap();
        }
    }
    static constexpr std::array<std::string_view, 2> keys = {"game", "prefix"};
    (void)velmora::YamlScalarAt(text, keys);
    return 0;
}
