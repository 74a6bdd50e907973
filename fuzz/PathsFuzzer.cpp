// Composed Windows paths turned into host paths in a made-up Wine prefix: drive letters,
// separators, "." and "..", names matched without regard to case.
#include <cstdint>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "host/HostPath.h"

namespace fs = std::filesystem;

namespace {

std::string prefix;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char folder[] = "/tmp/velmora-paths-XXXXXX";
    if (!::mkdtemp(folder))
        std::abort();
    prefix = folder;
    const fs::path root = prefix;
    for (const char* dir : {"dosdevices", "drive_c/Games/Brannoch/Data", "drive_c/Games/BRANNOCH", "drive_c/windows/system32"})
        fs::create_directories(root / dir);
    std::ofstream(root / "drive_c/Games/Brannoch/Data/brannoch.dat") << "data";
    std::ofstream(root / "drive_c/Games/Brannoch/Language.dll") << "module";
    fs::create_directory_symlink("../drive_c", root / "dosdevices/c:");
    fs::create_directory_symlink("../drive_c/Games", root / "dosdevices/d:");
    fs::create_directory_symlink(root / "missing", root / "dosdevices/e:");
    // Relative paths resolve inside the prefix too.
    if (::chdir((root / "drive_c").c_str()) != 0)
        std::abort();
    std::atexit([] { fs::remove_all(prefix); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A composed path is a C text, and one that starts at the root lies outside the prefix.
    const std::string path(reinterpret_cast<const char*>(data), ::strnlen(reinterpret_cast<const char*>(data), size));
    if (path.starts_with('/'))
        return 0;
    velmora::HostPathResolver resolver(prefix);
    const std::string host = resolver.Resolve(path);
    const bool drive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    // A drive path lands in the prefix's drive links as a host path that resolves to itself.
    if (host.find('\\') != std::string::npos ||
        (drive && (!host.starts_with(prefix + "/dosdevices/") || velmora::ResolveHostPathIn(prefix, host) != host)))
        __builtin_trap();
    return 0;
}
