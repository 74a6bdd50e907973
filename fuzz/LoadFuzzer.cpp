// LoadDataFile + ParseDataFile on arbitrary compressed bytes, through a real file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "data/DataFile.h"
#include "data/DataParser.h"

namespace {

// A folder of our own: the data file, and the temporary folder the load inflates into.
const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        char name[] = "/tmp/velmora-fuzz-XXXXXX";
        const std::filesystem::path made = ::mkdtemp(name) ? name : "/tmp";
        std::filesystem::create_directories(made / "tmp");
        ::setenv("TMPDIR", (made / "tmp").c_str(), 1);
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = (Folder() / "data.dat").string();
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
    // Nothing is left in the temporary folder whatever happened, and a failure says why.
    if (!std::filesystem::is_empty(Folder() / "tmp") || (!loaded && loaded.failure().reason.empty()))
        __builtin_trap();
    if (loaded)
        (void)velmora::ParseDataFile(buffer, *tables);
    return 0;
}
