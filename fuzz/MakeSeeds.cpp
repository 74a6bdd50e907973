// Writes the seed corpora of the fuzz targets, made by the fixture builders.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/DataFileWriter.h"

namespace fs = std::filesystem;
using namespace velmora::datafile;

static void Write(const fs::path& dir, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(dir);
    WriteFile((dir / name).string(), bytes);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds DIR\n");
        return 64;
    }
    const fs::path root = argv[1];
    for (int v = 0; v < 4; ++v) {
        const Bytes file = SmallSoundFile(v);
        Write(root / "parse", "small" + std::to_string(v), file);
        Write(root / "load", "small" + std::to_string(v), DeflateRaw(file, v * 3));
    }
    Write(root / "parse", "minimal", MinimalDataFile({}));
    Write(root / "load", "minimal", DeflateRaw(MinimalDataFile({})));

    const char* hives[] = {
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n#time=1d9\n"
        "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n",
        "WINE REGISTRY Version 2\n\n#arch=win64\n\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n"
        "\"exe path\"=str(2):\"D:\\\\Spiele\\\\\\xe4\\x00e9\\\"q\\\"\\t\\101\"\n@=dword:0000002a\n",
        "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n"
        "\"EXE Path\"=hex(1):43,00,3a,00,\\\n  5c,00,00,00\n\"Other\"=hex:01,02\n",
    };
    for (std::size_t n = 0; n < std::size(hives); ++n)
        Write(root / "registry", "hive" + std::to_string(n), Bytes(hives[n], hives[n] + std::strlen(hives[n])));
    return 0;
}
