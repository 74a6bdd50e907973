// LoadDataFile + ParseDataFile on arbitrary compressed bytes, through a real file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "data/DataFile.h"
#include "data/DataParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A folder of its own, so that the temporary file beside the data file is ours alone.
    static const std::string path = [] {
        char folder[] = "/tmp/velmora-fuzz-XXXXXX";
        return std::string(::mkdtemp(folder) ? folder : "/tmp") + "/data.dat";
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    static velmora::DataBuffer buffer;
    static auto tables = std::make_unique<velmora::GameTables>();
    const auto loaded = velmora::LoadDataFile(path, buffer);
    // The temporary file is gone whatever happened, and a failure says why.
    if (::access((path + ".tmp1").c_str(), F_OK) == 0 || (!loaded && loaded.failure().reason.empty()))
        __builtin_trap();
    if (loaded)
        (void)velmora::ParseDataFile(buffer, *tables);
    return 0;
}
