#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/HostPath.h"
#include "host/Installation.h"
#include "host/WinePrefixes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using fixtures::ScopedEnv;

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// Gives the home folder `h` every tool's own layout; returns the places expected, in order,
// as the tool's name and the prefix's path under `h`.
std::vector<std::pair<std::string, std::string>> MakeHomeOfEveryTool(const fs::path& h)
{
    const fs::path library = h / "SteamLibrary";
    for (const char* folder : {".wine", "Games/later", "Games/first", ".local/share/bottles/bottles/b2",
                               ".local/share/bottles/bottles/b1", ".var/app/com.usebottles.bottles/data/bottles/bottles/flat",
                               ".PlayOnLinux/wineprefix/pol", ".local/share/Steam/steamapps/compatdata/10/pfx",
                               "SteamLibrary/steamapps/compatdata/20/pfx", "SteamLibrary/steamapps/compatdata/30",
                               ".cxoffice/cx"})
        fs::create_directories(h / folder);
    Write(h / ".config/lutris/games/b-game.yml", "game:\n  exe: x.exe\n  prefix: '" + (h / "Games/later").string() + "'\nsystem: {}\n");
    Write(h / ".config/lutris/games/a-game.yml", "game:\n  prefix: ~/Games/first\n");
    Write(h / ".config/lutris/games/c-nothing.yml", "game:\n  exe: x.exe\n");
    fs::create_directories(h / ".config/lutris/games/broken.yml");  // unreadable as a file: passed over
    Write(h / ".local/share/lutris/games/d-again.yml", "game:\n  prefix: " + (h / "Games/first").string() + "\n");
    Write(h / ".local/share/Steam/steamapps/libraryfolders.vdf",
          "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + (h / ".local/share/Steam").string() +
              "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() + "\"\n\t\t\"apps\" { \"20\" \"1\" }\n\t}\n}\n");
    fs::create_directories(h / ".steam");
    fs::create_directory_symlink(h / ".local/share/Steam", h / ".steam/steam");  // one library, two names
    return {{"~/.wine", ".wine"}, {"Lutris", "Games/first"}, {"Lutris", "Games/later"}, {"Bottles", ".local/share/bottles/bottles/b1"},
            {"Bottles", ".local/share/bottles/bottles/b2"}, {"Bottles", ".var/app/com.usebottles.bottles/data/bottles/bottles/flat"},
            {"PlayOnLinux", ".PlayOnLinux/wineprefix/pol"}, {"Steam", ".steam/steam/steamapps/compatdata/10/pfx"},
            {"Steam", "SteamLibrary/steamapps/compatdata/20/pfx"}, {"CrossOver", ".cxoffice/cx"}};
}

TEST(WinePrefixes, EveryToolsPlaceInOrder)
{
    fixtures::TempDir home;
    const fs::path h = home.Path();
    const auto expected = MakeHomeOfEveryTool(h);
    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    ScopedEnv env("HOME", h.string());
    std::vector<std::pair<std::string, std::string>> found;
    for (const WinePrefixPlace& place : WinePrefixPlaces())
        found.emplace_back(place.origin, fs::path(place.path).lexically_relative(h).string());
    EXPECT_EQ(found, expected);

    ScopedEnv chosen("WINEPREFIX", "/elsewhere/prefix");
    ASSERT_EQ(WinePrefixPlaces().size(), 1u);
    EXPECT_EQ(WinePrefixPlaces()[0].path, "/elsewhere/prefix");
}

// The game's key is in place k alone and in every later place: the places before it, each
// without the key in its own way, are passed over, and place k is the registry read and
// the prefix drive letters are resolved through.
TEST(WinePrefixes, TheFirstPlaceWithTheGamesKeyWins)
{
    fixtures::TempDir home;
    const fs::path h = home.Path();
    const auto places = MakeHomeOfEveryTool(h);
    for (const auto& place : places)
        fixtures::MakeWinePrefix(h / place.second);
    const std::string key = "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0";
    // No registry, a key line cut short, not a registry file, another game's key, a value that is not a text.
    const std::string without[] = {"", key + "\n\"EXE Path\"=\"C:\\\\x\"\n", "\x01\xff broken",
                                   "WINE REGISTRY Version 2\n[Software\\\\Other] 1\n\"EXE Path\"=\"C:\\\\x\"\n", key + "] 1\n\"EXE Path\"=dword:1\n"};
    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    ScopedEnv env("HOME", h.string());
    for (std::size_t k = 0; k <= places.size(); ++k) {
        for (std::size_t i = 0; i < places.size(); ++i) {
            const fs::path hive = h / places[i].second / "system.reg";
            fs::remove(hive);
            if (i < k && !without[i % std::size(without)].empty())
                fixtures::WriteText(hive, without[i % std::size(without)]);
            else if (i >= k)
                fixtures::WriteText(hive, fixtures::HiveNaming(i == k ? "C:\\Place" + std::to_string(k) : "C:\\Later"));
        }
        const auto folder = ReadInstallFolder();
        const std::string prefix = (h / (k < places.size() ? places[k].second : ".wine")).string();
        EXPECT_EQ(folder.value_or(""), k < places.size() ? "C:\\Place" + std::to_string(k) : "") << k;
        EXPECT_EQ(ResolveHostPath("C:\\x"), prefix + "/dosdevices/c:/x") << k;
        const auto found = FindInstallations();
        ASSERT_EQ(found.size(), places.size() - k);
        if (!found.empty()) {
            EXPECT_EQ(found[0].prefix + " " + found[0].origin + " " + found[0].folder,
                      prefix + " " + places[k].first + " C:\\Place" + std::to_string(k));
        }
    }
    EXPECT_EQ(ReadInstallFolder().failure().Text(), "no installation in the 10 Wine prefixes searched (~/.wine, Lutris, Bottles, "
                                                    "PlayOnLinux, Steam, CrossOver); the first: " +
                                                        (h / ".wine/system.reg").string() + ": cannot open the file: No such file or directory");
}

TEST(WinePrefixes, SteamLibraryFilesOldAndNew)
{
    EXPECT_EQ(SteamLibraryFolders("\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" \"1\" \"/mnt/games\" \"2\" \"/a \\\"b\\\"\" }"),
              (std::vector<std::string>{"/mnt/games", "/a \"b\""}));
    EXPECT_EQ(SteamLibraryFolders("\"libraryfolders\" { \"0\" { \"PATH\" \"/x\" // note\n \"label\" \"\" } }"),
              (std::vector<std::string>{"/x"}));
    EXPECT_TRUE(SteamLibraryFolders("\"path\" {").empty());
    EXPECT_EQ(LutrisGamePrefix("prefix: null\n"), "");
    EXPECT_EQ(LutrisGamePrefix("  prefix: \"/g p\"\r\n"), "/g p");
}

} // namespace
} // namespace velmora
