// Writes the seed corpora of the fuzz targets: data files made by the data-file writer,
// registry files and Windows paths.
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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

    // Each reader at its limits and one step past them, and with nothing at all.
    const auto repeated = [](const std::string& pattern, int times) {
        std::string all;
        for (int i = 0; i < times; ++i) {
            std::string one = pattern;
            for (std::size_t at = one.find("%d"); at != std::string::npos; at = one.find("%d", at))
                one.replace(at, 2, std::to_string(i));
            all += one;
        }
        return all;
    };
    std::vector<std::pair<std::string, std::string>> limits = {{"registry", ""}, {"places", ""}, {"yaml", ""}};
    for (const int past : {0, 1}) {
        const int depth = 32 + past;
        limits.push_back({"places", repeated("k%d { ", depth) + std::string(static_cast<std::size_t>(depth), '}')});
        limits.push_back({"places", "libraryfolders {" + repeated(" \"%d\" /lib%d", 256 + past) + " }"});
        limits.push_back({"yaml", "game:\n  prefix: " + std::string(static_cast<std::size_t>(depth - 2), '[') + std::string(static_cast<std::size_t>(depth - 2), ']') + "\n"});
        limits.push_back({"yaml", "x:\n" + repeated("- &id%d {a: 1}\n", 256 + past) + "game:\n  prefix: /p\n"});
        limits.push_back({"yaml", "x: &id001 /p\ny: [" + repeated("*id001, ", 1024 + past) + "]\nPath: *id001\n"});
    }
    limits.push_back({"yaml", "Name: Caf\u00e9\nPath: \"/home/a/Bottles/Caf\\xE9\"\nCustom_Path: true\n"});
    limits.push_back({"yaml", "defaults: &id001\n  prefix: /home/a/Games/shared\ngame: *id001\n---\ngame: {prefix: /no}\n"});
    n = 0;
    for (const auto& [target, text] : limits)
        Write(root / target, "limit" + std::to_string(n++), Bytes(text.begin(), text.end()));
    return 0;
}
