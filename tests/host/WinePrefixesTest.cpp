// The places players keep Wine prefixes, laid out as each tool really writes them, and the
// installation chosen among them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "host/Installation.h"
#include "host/SteamLibraries.h"
#include "host/WinePrefixes.h"
#include "host/WholeFile.h"
#include "host/Yaml.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using fixtures::ScopedEnv;
using Places = std::vector<std::array<std::string, 3>>;  // origin, path under the home, why passed over

std::string_view TextOfBytes(const std::vector<std::uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    fixtures::WriteText(path, text);
}

// Steam's libraryfolders.vdf as Steam writes it: tabs, every library's "apps" with sizes.
std::string SteamLibraries(const std::vector<std::string>& paths, const std::string& apps = "\t\t\t\"228980\"\t\t\"687329258\"\n\t\t\t\"0\"\t\t\"0\"\n")
{
    std::string vdf = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < paths.size(); ++i)
        vdf += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + paths[i] + "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"4830967120683473\"\n"
               "\t\t\"totalsize\"\t\t\"0\"\n\t\t\"apps\"\n\t\t{\n" + apps + "\t\t}\n\t}\n";
    return vdf + "}\n";
}

// A home folder in every tool's real layout; the places expected, in order.
Places MakeHomeOfEveryTool(const fs::path& h)
{
    const std::string home = h.string();
    for (const char* folder : {".wine", ".local/share/bottles/bottles/b1", ".local/share/Steam/steamapps/compatdata/228980/pfx",
                               "SteamLibrary/steamapps/compatdata/1493710/pfx", "SteamLibrary/steamapps/compatdata/30", ".cxoffice/cx",
                               ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps"})
        fs::create_directories(h / folder);
    // Lutris' game files as PyYAML's safe_dump writes them: escapes, folding, doubled quotes.
    const fs::path games = h / ".config/lutris/games";
    Write(games / "a-cafe-1700000000.yml", "game:\n  exe: " + home + "/Games/Brannoch Collectors Edition/drive_c/Program\n    Files (x86)/Brannoch/Brannoch.exe\n"
                                           "  prefix: \"" + home + "/Games/a very long folder name\\\n    \\ of \\xE9t\\xE9 \\u0101\"\nname: Brannoch\nrequires: null\n");
    Write(games / "b-rise.yml", "# written by hand\r\ngame:\r\n  prefix: '" + home + "/Games/Brannoch''s Rise: Gold #2'\r\nsystem: {}\r\n");
    Write(games / "c-long.yml", "game:\n  prefix: " + home + "/Games/a very long folder name that goes on and\n    on/prefix\n");
    Write(games / "d-none.yml", "game:\n  exe: x.exe\n  prefix: null\n");
    Write(games / "e-broken.yml", "game: [\n");
    Write(games / "f-relative.yml", "game:\n  prefix: Games/rel\n");
    Write(games / "g-tilde.yml", "game:\n  prefix: ~/Games/tilde\n");
    Write(games / "h-home.yml", "game:\n  prefix: '~'\n");
    Write(games / "i-dollar.yml", "game:\n  prefix: $HOME/Games/dollar\n");
    Write(games / "j-nul.yml", "game:\n  prefix: \"/g/x\\0y\"\n");
    Write(games / "k-big.yml", "");
    Write(games / "k-empty.yml", "");
    Write(games / "k-nested.yml", "x: " + std::string(MaxYamlDepth, '[') + std::string(MaxYamlDepth, ']') + "\n");
    fs::resize_file(games / "k-big.yml", MaxYamlFileSize + 1);
    Write(games / "l-file.yml", "game:\n  prefix: " + home + "/.config/lutris/games/readme.txt\n");
    Write(games / "m-loop.yml", "game:\n  prefix: " + home + "/Games/loop\n");
    fs::create_directory_symlink("loop", (fs::create_directories(h / "Games"), h / "Games/loop"));
    Write(games / "readme.txt", "game:\n  prefix: /not/a/game/file\n");
    Write(h / ".local/share/bottles/bottles/nopath/placeholder.yml", "Name: x\n");
    fs::create_directories(h / ".local/share/bottles/bottles/pipe");
    ::mkfifo((h / ".local/share/bottles/bottles/pipe/placeholder.yml").c_str(), 0600);
    fs::create_directories(h / ".local/share/lutris");
    fs::create_symlink("/dev/zero", h / ".local/share/lutris/games");
    fs::create_directory_symlink("wineprefix", (fs::create_directories(h / ".PlayOnLinux"), h / ".PlayOnLinux/wineprefix"));
    fs::create_directories(h / ".var/app/com.usebottles.bottles/data/bottles/bottles");
    fs::create_directories(h / "EmptyLibrary/steamapps/compatdata");
    Write(h / ".local/share/bottles/bottles/custom/placeholder.yml", "Path: \"" + home + "/Bottles/Custom Caf\\xE9\"\n");
    Write(h / ".local/share/Steam/steamapps/libraryfolders.vdf", SteamLibraries({home + "/.local/share/Steam", home + "/SteamLibrary", home + "/EmptyLibrary", home + "/SteamLibrary/", home + "/EmptyLibrary/", home + "/LoopLibrary", home + "/ZeroLibrary"}));
    fs::create_directory_symlink("LoopLibrary", h / "LoopLibrary");
    fs::create_directories(h / "ZeroLibrary/steamapps");
    fs::create_symlink("/dev/zero", h / "ZeroLibrary/steamapps/compatdata");
    fs::create_directories(h / ".var/app/com.valvesoftware.Steam/.steam");
    fs::create_directory_symlink("steam", h / ".var/app/com.valvesoftware.Steam/.steam/steam");
    fs::create_directories(h / ".steam");
    fs::create_directory_symlink(h / ".local/share/Steam", h / ".steam/steam");
    fs::create_directory_symlink(h / ".local/share/Steam", h / ".steam/root");
    Write(h / ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/libraryfolders.vdf",
          "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"ContentStatsID\"\t\t\"-4830967120683473\"\n\t\"1\"\t\t\"" + home +
              "/Unplugged\"\n\t\"2\"\t\t\"relative/lib\"\n}\n");
    const std::string flatpak = ".var/app/com.valvesoftware.Steam/";
    return {{"~/.wine", ".wine", ""},
            {"Lutris", "Games/a very long folder name of \xC3\xA9t\xC3\xA9 \xC4\x81", ""},
            {"Lutris", "Games/Brannoch's Rise: Gold #2", ""},
            {"Lutris", "Games/a very long folder name that goes on and on/prefix", ""},
            {"Lutris", ".config/lutris/games/d-none.yml", "names no prefix (no game: prefix:)"},
            {"Lutris", ".config/lutris/games/e-broken.yml", "not YAML: did not find expected node content (line 2)"},
            {"Lutris", ".config/lutris/games/f-relative.yml", "the prefix is not an absolute path: Games/rel"},
            {"Lutris", "Games/tilde", ""},
            {"Lutris", ".", ""},
            {"Lutris", "Games/dollar", ""},
            {"Lutris", ".config/lutris/games/j-nul.yml", std::string("the prefix is not an absolute path: /g/x\0y", 42)},
            {"Lutris", ".config/lutris/games/k-big.yml", "the file is larger than 1 MiB"},
            {"Lutris", ".config/lutris/games/k-empty.yml", "names no prefix (no game: prefix:)"},
            {"Lutris", ".config/lutris/games/k-nested.yml", "more than 32 mappings and sequences nested (line 1)"},
            {"Lutris", ".config/lutris/games/readme.txt", ""},
            {"Lutris", "Games/loop", ""},
            {"Lutris", ".local/share/lutris/games", "not a folder"},
            {"Bottles", ".local/share/bottles/bottles/b1", ""},
            {"Bottles", "Bottles/Custom Caf\xC3\xA9", ""},
            {"Bottles", ".local/share/bottles/bottles/nopath/placeholder.yml", "names no prefix (no Path:)"},
            {"Bottles", ".local/share/bottles/bottles/pipe/placeholder.yml", "cannot open the file: not a regular file"},
            {"Bottles", ".var/app/com.usebottles.bottles/data/bottles/bottles", "no bottle in it"},
            {"PlayOnLinux", ".PlayOnLinux/wineprefix", "cannot reach the folder: Too many levels of symbolic links"},
            {"Steam", ".steam/steam/steamapps/compatdata/228980/pfx", ""},
            {"Steam", "SteamLibrary/steamapps/compatdata/1493710/pfx", ""},
            {"Steam", "EmptyLibrary/steamapps/compatdata", "no prefix in it"},
            {"Steam", "LoopLibrary/steamapps/compatdata", "cannot reach the folder: Too many levels of symbolic links"},
            {"Steam", "ZeroLibrary/steamapps/compatdata", "not a folder"},
            {"Steam", flatpak + ".local/share/Steam/steamapps/compatdata", "no such folder"},
            {"Steam", "Unplugged/steamapps/compatdata", "no such library"},
            {"Steam", "relative/lib", "a library that is not an absolute path"},
            {"Steam", flatpak + ".steam/steam", "cannot reach the folder: Too many levels of symbolic links"},
            {"CrossOver", ".cxoffice/cx", ""}};
}

// The places visited until the visitor stops after `stopAfter` of them.
Places Visit(const fs::path& h, std::size_t stopAfter = SIZE_MAX)
{
    Places found;
    ForEachWinePrefixPlace([&](const WinePrefixPlace& place) {
        const fs::path path(place.path);
        found.push_back({place.origin, path.is_absolute() ? path.lexically_relative(h).string() : place.path, place.passedOver});
        return found.size() < stopAfter;
    });
    return found;
}

class WinePrefixesTest : public ::testing::Test {
protected:
    // A prefix whose registry names C:\Games\Brannoch, with the data file or without.
    static void MakeInstall(const fs::path& prefix, bool withDataFile)
    {
        fs::remove_all(prefix);
        fixtures::MakeWinePrefix(prefix, fixtures::HiveNaming("C:\\Games\\Brannoch"));
        if (withDataFile)
            Write(prefix / "drive_c/Games/BRANNOCH/data/Brannoch2_x1_p1.dat", "x");
    }

    fixtures::TempDir home;
    const fs::path h = home.Path();
    ScopedEnv noPrefix{"WINEPREFIX", std::nullopt};
    ScopedEnv env{"HOME", h.string()};
};

TEST_F(WinePrefixesTest, EveryToolsPlacesInOrderEachOnceAndNoFurtherThanAsked)
{
    const Places expected = MakeHomeOfEveryTool(h);
    EXPECT_EQ(Visit(h), expected);
    for (std::size_t k = 1; k < expected.size(); ++k)
        EXPECT_EQ(Visit(h, k), Places(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(k)));
    ScopedEnv chosen("WINEPREFIX", "/elsewhere/prefix");
    EXPECT_EQ(Visit(h), (Places{{"WINEPREFIX", "../../elsewhere/prefix", ""}}));
}

// Steam's own folder is searched whatever becomes of its library list.
TEST_F(WinePrefixesTest, SteamsOwnLibraryWithoutItsList)
{
    const fs::path steam = h / ".local/share/Steam";
    const fs::path list = steam / "steamapps/libraryfolders.vdf";
    fs::create_directories(steam / "steamapps/compatdata/228980/pfx");
    const std::pair<std::string, std::string> rows[] = {
        {"", "cannot open the file: No such file or directory"},
        {"\"libraryfolders\"\n{\n\t\"0\"\n\t{\n", "not a KeyValues file: a block that is never closed (line 5)"},
        {"big", "the file is larger than 32 MiB"},
    };
    for (const auto& [text, reason] : rows) {
        fs::remove(list);
        if (text == "big") {
            Write(list, "");
            fs::resize_file(list, MaxSteamLibraryFileSize + 1);
        } else if (!text.empty()) {
            Write(list, text);
        }
        const Places found = Visit(h);
        ASSERT_EQ(found.size(), 13u) << reason;
        EXPECT_EQ(found[7], (std::array<std::string, 3>{"Steam", ".local/share/Steam/steamapps/compatdata/228980/pfx", ""}));
        EXPECT_EQ(found[8], (std::array<std::string, 3>{"Steam", ".local/share/Steam/steamapps/libraryfolders.vdf", reason + "; only Steam's own library searched"}));
    }
}

// Only so many libraries are searched from one list; the rest are counted in one place.
TEST_F(WinePrefixesTest, SoManyLibrariesFromOneList)
{
    std::vector<std::string> many;
    for (std::size_t i = 0; i < MaxSteamLibraries + 3; ++i)
        many.push_back("/gone/" + std::to_string(i));
    Write(h / ".local/share/Steam/steamapps/libraryfolders.vdf", SteamLibraries(many));
    const Places found = Visit(h);
    EXPECT_EQ(std::count_if(found.begin(), found.end(), [](const auto& place) { return place[2] == "no such library"; }), 256);
    EXPECT_EQ(std::count(found.begin(), found.end(), std::array<std::string, 3>{"Steam", ".local/share/Steam/steamapps/libraryfolders.vdf",
                                                                                "lists 3 more libraries, past the 256 searched"}), 1);
}

// The first place whose registry names the game and whose data file is there is used;
// a stale registry before it is passed over, and said to be.
TEST_F(WinePrefixesTest, TheFirstInstallationWithItsDataFileIsUsed)
{
    MakeHomeOfEveryTool(h);
    const fs::path steam = h / "SteamLibrary/steamapps/compatdata/1493710/pfx";
    MakeInstall(h / ".wine", false);
    MakeInstall(h / ".cxoffice/cx", true);
    for (const bool steamHasIt : {true, false}) {
        MakeInstall(steam, steamHasIt);
        const InstallationLookup lookup = FindInstallation();
        EXPECT_TRUE(lookup.usable);
        const fs::path used = steamHasIt ? steam : h / ".cxoffice/cx";
        EXPECT_EQ(lookup.installation.prefix, used.string());
        EXPECT_EQ(lookup.installation.origin, steamHasIt ? "Steam" : "CrossOver");
        EXPECT_EQ(lookup.installation.HostPath("C:\\x"), (used / "dosdevices/c:/x").string());
        ASSERT_EQ(lookup.passedOver.size(), steamHasIt ? 24u : 32u);
        EXPECT_EQ(lookup.passedOver[0].reason, "the registry names C:\\Games\\Brannoch, but its data file is missing");
        EXPECT_EQ(lookup.passedOver[1].place + ": " + lookup.passedOver[1].reason,
                  h.string() + "/Games/a very long folder name of \xC3\xA9t\xC3\xA9 \xC4\x81: no such folder");
        EXPECT_EQ(lookup.passedOver[14].reason, "not a folder");
        EXPECT_EQ(lookup.passedOver[15].reason, "cannot reach the folder: Too many levels of symbolic links");
        EXPECT_EQ(lookup.passedOver[17].place + ": " + lookup.passedOver[17].reason,
                  h.string() + "/.local/share/bottles/bottles/b1/system.reg: cannot open the file: No such file or directory");
        EXPECT_EQ(lookup.Report(), "");
    }
    // None usable: the first naming the game, and every place with its reason.
    fs::remove_all(h / ".cxoffice/cx/drive_c/Games");
    const InstallationLookup stale = FindInstallation();
    EXPECT_FALSE(stale.usable);
    EXPECT_EQ(stale.installation.prefix, (h / ".wine").string());
    EXPECT_EQ(stale.installation.folder, "C:\\Games\\Brannoch");
    const std::string report = stale.Report(3);
    EXPECT_EQ(report, "none of the 33 places searched holds the game with its data file:\n  ~/.wine: " + (h / ".wine").string() +
                          ": the registry names C:\\Games\\Brannoch, but its data file is missing\n  Lutris: " + h.string() +
                          "/Games/a very long folder name of \xC3\xA9t\xC3\xA9 \xC4\x81: no such folder\n  Lutris: " + h.string() +
                          "/Games/Brannoch's Rise: Gold #2: no such folder\n  ... and 30 more");
    const std::string all = stale.Report();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 33);
}

// What the one prefix WINEPREFIX names says of the folder its registry names and of the data
// file found through it.
TEST_F(WinePrefixesTest, OnlyAFolderOnADriveWithItsDataFileIsAnInstallation)
{
    const fs::path prefix = h / "pfx";
    const fs::path data = prefix / "drive_c/Games/Brannoch/Data/brannoch2_x1_p1.dat";
    ScopedEnv chosen("WINEPREFIX", prefix.string());
    const auto named = [](const std::string& folder, const std::string& form) { return "the registry names " + folder + ", " + form + ", not a folder on a drive"; };
    const std::string dataFile = "the registry names C:\\Games\\Brannoch, but its data file ";
    const std::pair<std::string, std::string> rows[] = {
        {"C:\\Games\\Brannoch", ""},
        {"c:/games/brannoch", ""},
        {"C:\\..\\..\\Games\\Brannoch", ""},
        {"", "the registry names no folder (its \"EXE Path\" is empty)"},
        {"Games\\Brannoch", named("Games\\Brannoch", "a relative path")},
        {"C:Games\\Brannoch", named("C:Games\\Brannoch", "a relative path")},
        {"1:\\Games", named("1:\\Games", "a relative path")},
        {"\\tmp\\Brannoch", named("\\tmp\\Brannoch", "a path without a drive")},
        {"\\\\server\\games", named("\\\\server\\games", "a network path")},
        {"fifo", dataFile + "is not usable: not a regular file"},
        {"folder", dataFile + "is not usable: is a folder"},
        {"loop", dataFile + "is not usable: cannot reach the file: Too many levels of symbolic links"},
        {"none", dataFile + "is missing"},
    };
    const auto onlyPlace = [] {
        std::vector<SearchedPlace> places;
        SearchInstallations([&](const SearchedPlace& place) { return places.push_back(place), true; });
        return places.size() == 1 ? places[0] : SearchedPlace{};
    };
    for (const auto& [folder, reason] : rows) {
        const bool kind = folder == "fifo" || folder == "folder" || folder == "loop" || folder == "none";
        fs::remove_all(prefix);
        fixtures::MakeWinePrefix(prefix, fixtures::HiveNaming(kind ? "C:\\Games\\Brannoch" : folder));
        fs::create_directories(data.parent_path());
        if (folder == "fifo")
            ::mkfifo(data.c_str(), 0600);
        else if (folder == "folder")
            fs::create_directory(data);
        else if (folder == "loop")
            fs::create_symlink(data.filename(), data);
        else if (folder != "none")
            Write(data, "x");
        const SearchedPlace place = onlyPlace();
        EXPECT_EQ(place.reason, reason) << folder;
        EXPECT_EQ(place.installation.has_value(), reason.empty() || kind) << folder;
    }
    if (::geteuid() != 0) {  // root may read anything
        Write(data, "x");
        fs::permissions(data, fs::perms::none);
        EXPECT_EQ(onlyPlace().reason, dataFile + "is not usable: cannot open the file: Permission denied");
        fs::permissions(prefix, fs::perms::none);
        EXPECT_EQ(onlyPlace().reason, "cannot list the folder: Permission denied");
        fs::permissions(prefix, fs::perms::owner_all);
    }
    // A file of /proc says it is empty and is not.
    const auto status = ReadWholeFile("/proc/self/status", MaxYamlFileSize);
    EXPECT_TRUE(status && TextOfBytes(*status).starts_with("Name:"));
    EXPECT_EQ(ReadWholeFile("/proc/self/maps", 100).failure().reason, "the file is larger than 100 bytes");
}

// The places a lookup keeps for its message, and the count of the rest.
TEST(InstallationLookup, KeepsSoManyPlacesAndCountsTheRest)
{
    InstallationLookup lookup;
    for (std::size_t i = 0; i < MaxPlacesKept + 5; ++i)
        lookup.PassOver({"Lutris", "/g/" + std::to_string(i), std::nullopt, false, "no such folder"});
    EXPECT_EQ(lookup.passedOver.size(), MaxPlacesKept);
    EXPECT_EQ(lookup.passedOver.back().place, "/g/" + std::to_string(MaxPlacesKept - 1));
    EXPECT_EQ(lookup.Report(1), "none of the 1005 places searched holds the game with its data file:\n  Lutris: /g/0: no such folder\n  ... and 1004 more");
    const std::string all = lookup.Report();
    EXPECT_TRUE(all.ends_with("\n  Lutris: /g/999: no such folder\n  ... and 5 more")) << all.substr(all.size() - 100);
}

TEST(SteamLibraries, OnlyTheNumberedEntriesUnderTheRoot)
{
    using Folders = std::vector<std::string>;
    const std::pair<std::string, Folders> rows[] = {
        {SteamLibraries({"/home/a/.local/share/Steam", "/mnt/games"}), {"/home/a/.local/share/Steam", "/mnt/games"}},
        {"\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1\"\n\t\"1\"\t\t\"/mnt/old\"\n\t\"2\"\t\t\"D:\\\\Games \\\"x\\\"\"\n}\n", {"/mnt/old", "D:\\Games \"x\""}},
        {"\xEF\xBB\xBF// by hand\r\n\"libraryfolders\"\r\n{\r\n\t\"0\"\t{ \"PATH\"\t\"/a\\nb\" } // the first\r\n}\r\n", {"/a\\nb"}},
        {"libraryfolders{0{path /mnt/u}1 /mnt/v}", {"/mnt/u", "/mnt/v"}},
        {"\"libraryfolders\" { \"contentstatsid\" { \"path\" \"/no\" } \"path\" \"/no\" \"\" \"/no\" \"0\" { \"apps\" { \"path\" \"/no\" \"1\" \"/no\" } \"1\" \"/no\" } \"x1\" \"/no\" }", {}},
        {"\"other\" { \"1\" \"/no\" \"0\" { \"path\" \"/no\" } \"libraryfolders\" { \"1\" \"/no\" } } \"1\" \"/no\"", {}},
    };
    for (const auto& [vdf, folders] : rows) {
        const auto read = SteamLibraryFolders(vdf);
        ASSERT_TRUE(read) << vdf << read.failure().reason;
        EXPECT_EQ(read->folders, folders) << vdf;
        EXPECT_EQ(read->more, 0u) << vdf;
    }
    // Only so many libraries are taken from one list, in both forms; the rest are counted.
    Folders many;
    std::string older = "libraryfolders {";
    for (std::size_t i = 0; i < MaxSteamLibraries + 44; ++i) {
        many.push_back("/l" + std::to_string(i));
        older += " " + std::to_string(i) + " /l" + std::to_string(i);
    }
    for (const std::string& vdf : {SteamLibraries(many), older + " }"}) {
        const auto read = SteamLibraryFolders(vdf);
        EXPECT_EQ(read->folders, Folders(many.begin(), many.begin() + MaxSteamLibraries));
        EXPECT_EQ(read->more, 44u);
    }
    const std::pair<std::string, std::string> broken[] = {
        {"\"libraryfolders\" { \"0\" \"/x\"", "a block that is never closed (line 1)"},
        {"\"a\" \"b\"\n}", "a closing brace without its block (line 2)"},
        {"{ }", "a block without a key (line 1)"},
        {"\"a\" { \"k\" }", "a key without a value (line 1)"},
        {"\"a\"\n\n\"unclosed", "a quote that is never closed (line 3)"},
        {"\"a\" {", "a block that is never closed (line 1)"},
        {std::string(33 * 4, ' ').replace(0, 0, [] { std::string s; for (int i = 0; i < 33; ++i) s += "k { "; return s; }()),
         "blocks nested more than 32 deep (line 1)"},
    };
    for (const auto& [vdf, reason] : broken)
        EXPECT_EQ(SteamLibraryFolders(vdf).failure().reason, "not a KeyValues file: " + reason) << vdf;
    // A real list of many games: 148,000 app entries, none of them a library.
    std::string apps;
    for (int i = 0; i < 74000; ++i)
        apps += "\t\t\t\"" + std::to_string(10 + i) + "\"\t\t\"" + std::to_string(687329258 + i) + "\"\n";
    EXPECT_EQ(SteamLibraryFolders(SteamLibraries({"/a", "/b"}, apps))->folders, (Folders{"/a", "/b"}));
}

// `pattern` `times` times, its %d the count so far.
std::string Repeated(const std::string& pattern, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) {
        std::string one = pattern;
        if (const std::size_t at = one.find("%d"); at != std::string::npos)
            one.replace(at, 2, std::to_string(i));
        all += one;
    }
    return all;
}

TEST(Yaml, EveryScalarStyleAsPyYamlWritesIt)
{
    const std::array<std::string_view, 2> keys = {"game", "prefix"};
    const std::pair<std::string, std::optional<std::string>> rows[] = {
        {"game:\n  prefix: \"/g/Caf\\xE9 \\u0101 \\\\ \\\"\\U0001F600\"\n", "/g/Caf\xC3\xA9 \xC4\x81 \\ \"\xF0\x9F\x98\x80"},
        {"game:\n  prefix: \"/g/a long name\\\n    \\ on/x\"\n", "/g/a long name on/x"},
        {"game:\n  prefix: /g/a long name\n    on/x\n", "/g/a long name on/x"},
        {"\xEF\xBB\xBF# note\r\ngame:\r\n  # prefix: /wrong\r\n  prefix: '/g/it''s: #1'\r\n", "/g/it's: #1"},
        {"game:\n  prefix: /first\n  prefix: /last\n  prefix_old: /no\n", "/last"},
        {"game:\n  prefix: \"null\"\n", "null"},
        {"game:\n  prefix: null\n", std::nullopt},
        {"game:\n  prefix: ~\n", std::nullopt},
        {"game:\n  prefix:\n", std::nullopt},
        {"game:\n  prefix: {a: 1}\n", std::nullopt},
        {"game:\n- prefix: /x\n", std::nullopt},
        {"prefix: /x\n", std::nullopt},
        {"", std::nullopt},
        {"defaults: &id001\n  prefix: /shared\ngame: *id001\n", "/shared"},
        // At the limits: nesting, anchors, aliases.
        {"x: " + std::string(MaxYamlDepth - 1, '[') + std::string(MaxYamlDepth - 1, ']') + "\ngame: {prefix: /p}\n", "/p"},
        {"x: [" + Repeated("&id%d {a: 1}, ", MaxYamlAnchors - 1) + "]\ngame: {prefix: &p /p}\n", "/p"},
        {"game: {prefix: /p}\n---\n" + std::string(MaxYamlDepth + 1, '[') + std::string(MaxYamlDepth + 1, ']') + "\n", "/p"},  // only the first document counts
        {"x: &id001 1\ny: [" + Repeated("*id001, ", MaxYamlAliases) + "]\ngame: {prefix: /p}\n", "/p"},
    };
    for (const auto& [yaml, text] : rows) {
        const auto read = YamlScalarAt(yaml, keys);
        ASSERT_TRUE(read) << yaml << read.failure().reason;
        EXPECT_EQ(*read, text) << yaml;
    }
    EXPECT_EQ(YamlScalarAt("game:\n\tprefix: /x\n", keys).failure().reason, "not YAML: found character that cannot start any token (line 2)");
    EXPECT_EQ(YamlScalarAt("game: \"/x\xff\"\n", keys).failure().reason, "not YAML: invalid leading UTF-8 octet (line 1)");
    EXPECT_EQ(*YamlScalarAt(std::string_view(), keys), std::nullopt) << "the text of an empty file, which has no bytes at all";
    // Past the limits, and in a part of the file the keys never reach.
    const std::pair<std::string, std::string> beyond[] = {
        {"x: 1\ny: " + std::string(MaxYamlDepth, '[') + std::string(MaxYamlDepth, ']') + "\ngame: {prefix: /p}\n", "more than 32 mappings and sequences nested (line 2)"},
        {"x: " + std::string(520000, '[') + std::string(520000, ']') + "\n", "more than 32 mappings and sequences nested (line 1)"},
        {"x:\n- &s []\n- &m {}\n" + Repeated("- &id%d 1\n", MaxYamlAnchors - 1) + "game: {prefix: /p}\n", "more than 256 anchors (line 258)"},
        {"x: &id001 1\ny: [" + Repeated("*id001, ", MaxYamlAliases + 1) + "]\n", "more than 1024 aliases (line 2)"},
    };
    for (const auto& [yaml, reason] : beyond)
        EXPECT_EQ(YamlScalarAt(yaml, keys).failure().reason, reason) << yaml.substr(0, 40);
}

} // namespace
} // namespace velmora
