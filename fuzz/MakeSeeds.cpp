// Writes the seed corpora of the fuzz targets: data files made by the data-file writer,
// registry files and Windows paths.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/datafile/DataFileWriter.h"

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
    for (const std::string target : {"parse", "views"}) {
        for (int v = 0; v < 4; ++v)
            Write(root / target, "small" + std::to_string(v), SmallSoundFile(v));
        Write(root / target, "minimal", MinimalDataFile({NamedTech("Study"), NamedTech("\xe9t\xe9", 0)}));
    }
    for (int v = 0; v < 4; ++v)
        Write(root / "load", "small" + std::to_string(v), DeflateRaw(SmallSoundFile(v), v * 3));
    Write(root / "load", "minimal", DeflateRaw(MinimalDataFile({})));
    // Whole streams of every block kind, cut and with bits flipped.
    for (int level : {0, 1, 9}) {
        const Bytes whole = DeflateRaw(SmallSoundFile(level), level);
        const std::string name = "level" + std::to_string(level);
        Write(root / "inflate", name, whole);
        Write(root / "inflate", name + "-cut", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
        for (std::size_t at : {std::size_t{0}, std::size_t{1}, whole.size() / 3}) {
            Bytes flipped = whole;
            flipped[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
            Write(root / "inflate", name + "-flip" + std::to_string(at), flipped);
        }
    }

    const char* hives[] = {
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n#time=1d9\n"
        "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n",
        "WINE REGISTRY Version 2\r\n\r\n#arch=win64\r\n\r\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\r\n"
        "\"exe path\"=str(2):\"D:\\\\Spiele\\\\\\xe4\\x00e9\\\"q\\\"\\t\\101\\a\\b\\e\\f\\n\\r\\v\\xg\\q\xc3\xa9\"\r\n@=dword:0000002a\r\n",
        "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n"
        "\"EXE Path\"=hex(1):43,00,3a,00,\\\n  5c,00,00,00\n\"Other\"=hex:01,02\n",
        "WINE REGISTRY Version 2\n[Software\\\\Brannoch] 1\n@=\"a long default text\"\n\"x\"=str(7):\"a\\0b\"\n"
        "[System\\\\Brannoch\n\"\"=str:\"broken key\"\n  [System\\\\Brannoch] 2\n \"\"  =  str:\"ok\"\n\"EXE Path\"=\"cut\n",
    };
    int n = 0;
    for (const char* hive : hives) {
        const std::string text(hive);
        Write(root / "registry", "hive" + std::to_string(n++), Bytes(text.begin(), text.end()));
    }

    const char* paths[] = {"C:\\Games\\Brannoch\\Data\\brannoch.dat", "d:/brannoch/../BRANNOCH/./x", "E:\\lost",
                           "c:\\WINDOWS\\System32\\..\\..\\games\\brannoch\\language.dll", "q:foo", "Games\\brannoch"};
    n = 0;
    for (const std::string path : paths)
        Write(root / "paths", "path" + std::to_string(n++), Bytes(path.begin(), path.end()));

    // Steam's library lists in both forms, and Lutris game files as PyYAML writes them.
    const char* places[] = {
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/a/.local/share/Steam\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"687329258\"\n\t\t}\n\t}\n}\n",
        "\xEF\xBB\xBF\"LibraryFolders\"\r\n{ // old\r\n\t\"ContentStatsID\"\t\"-1\"\r\n\t\"1\"\t\"D:\\\\Steam \\\"x\\\"\"\r\n}\r\n",
        "game:\n  exe: /home/a/Games/x/drive_c/Program\n    Files/x.exe\n  prefix: \"/home/a/Games/Caf\\xE9\\\n    \\ \\u0101\"\nsystem: {}\n",
        "# note\r\ngame:\r\n  prefix: '/home/a/Games/it''s'\r\n",
    };
    n = 0;
    for (const std::string text : places)
        Write(root / "places", "place" + std::to_string(n++), Bytes(text.begin(), text.end()));
    return 0;
}
