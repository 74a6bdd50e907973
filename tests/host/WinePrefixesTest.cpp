#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// A home folder with every tool's own layout, and the places expected, in order.
TEST(WinePrefixes, EveryToolsPlaceInOrder)
{
    fixtures::TempDir home;
    const fs::path h = home.Path();
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

    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    ScopedEnv env("HOME", h.string());
    std::vector<std::string> found;
    for (const WinePrefixPlace& place : WinePrefixPlaces())
        found.push_back(place.origin + " " + fs::path(place.path).lexically_relative(h).string());
    EXPECT_EQ(found, (std::vector<std::string>{
                         "~/.wine .wine", "Lutris Games/first", "Lutris Games/later", "Bottles .local/share/bottles/bottles/b1",
                         "Bottles .local/share/bottles/bottles/b2", "Bottles .var/app/com.usebottles.bottles/data/bottles/bottles/flat",
                         "PlayOnLinux .PlayOnLinux/wineprefix/pol", "Steam .steam/steam/steamapps/compatdata/10/pfx",
                         "Steam SteamLibrary/steamapps/compatdata/20/pfx", "CrossOver .cxoffice/cx"}));

    ScopedEnv chosen("WINEPREFIX", "/elsewhere/prefix");
    ASSERT_EQ(WinePrefixPlaces().size(), 1u);
    EXPECT_EQ(WinePrefixPlaces()[0].path, "/elsewhere/prefix");
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
