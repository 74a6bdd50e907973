// Writes the demo installation: a Wine-style prefix whose registry names the game folder,
// and in it a generated data file of realistic size. Every name in it is invented.
#include <cstdio>
#include <filesystem>
#include <string>

#include "DataFileBuilder.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo PREFIX\n");
        return 64;
    }
    try {
        const fs::path prefix = argv[1];
        const fs::path game = prefix / "drive_c" / "Games" / "Brannoch";
        fs::create_directories(game / "Data");
        fs::create_directories(prefix / "dosdevices");
        const fs::path driveC = prefix / "dosdevices" / "c:";
        if (!fs::is_symlink(driveC))
            fs::create_directory_symlink("../drive_c", driveC);

        const auto data = velmora::fixtures::RealisticDataFile();
        velmora::fixtures::WriteFile((game / "Data" / "brannoch2_x1_p1.dat").string(), velmora::fixtures::DeflateRaw(data));

        const std::string reg =
            "WINE REGISTRY Version 2\n"
            ";; All keys relative to \\\\Machine\n"
            "\n"
            "#arch=win32\n"
            "\n"
            "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n"
            "#time=1da0a0a0a0a0a0a\n"
            "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n";
        velmora::fixtures::WriteFile((prefix / "system.reg").string(),
                                     std::span(reinterpret_cast<const std::uint8_t*>(reg.data()), reg.size()));
        std::printf("demo installation written to %s\n", prefix.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
