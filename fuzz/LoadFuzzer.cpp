// LoadDataFile + ParseDataFile on arbitrary compressed bytes, through a real file.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "data/DataFile.h"
#include "data/DataParser.h"

namespace {

std::string ScratchPath()
{
    static const std::string path = [] {
        char folder[] = "/tmp/velmora-fuzz-XXXXXX";
        const char* made = ::mkdtemp(folder);
        return std::string(made ? made : "/tmp") + "/data.dat";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = ScratchPath();
    // A new file each time: rewriting one in place makes ext4 flush it to disk on close.
    std::remove(path.c_str());
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    static velmora::DataBuffer buffer;
    static auto tables = std::make_unique<velmora::GameTables>();
    const auto loaded = velmora::LoadDataFile(path, buffer);
    if (::access((path + ".tmp1").c_str(), F_OK) == 0 || (!loaded && loaded.failure().reason.empty()))
        __builtin_trap();
    if (loaded)
        (void)velmora::ParseDataFile(buffer, *tables);
    return 0;
}
