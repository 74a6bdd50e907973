#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "host/HostPath.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using fixtures::ScopedEnv;

// A prefix whose drive C is the usual ../drive_c, whose drive D is a folder elsewhere
// (an absolute link) and whose drive Z is the host's root.
class HostPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixtures::MakeWinePrefix(prefix.Path());
        fs::create_directories(game / "Data");
        fs::create_directory_symlink(other.Path(), prefix.Path() / "dosdevices" / "d:");
        fs::create_directory_symlink("/", prefix.Path() / "dosdevices" / "z:");
        fs::create_directories(other.Path() / "Stuff");
        for (const fs::path& file : {game / "Data" / "brannoch2_x1_p1.dat", game / "language_x1.dll", game / "LANGUAGE.DLL",
                                     other.Path() / "Stuff" / "File.txt"})
            Touch(file);
    }
    static void Touch(const fs::path& path) { datafile::WriteFile(path.string(), datafile::Bytes{1}); }

    std::string ResolveHostPath(std::string_view composed) const { return ResolveHostPathIn(prefix.Path().string(), composed); }

    fixtures::TempDir prefix;
    fixtures::TempDir other;
    fs::path game = prefix.Path() / "drive_c" / "Games" / "Brannoch";
    std::string drives = (prefix.Path() / "dosdevices").string();
};

TEST_F(HostPathTest, NamesAreFoundWithoutRegardToCaseAndKeptFromTheFirstOneMissing)
{
    const std::string data = game.string() + "/Data/brannoch2_x1_p1.dat";
    std::string backslashed = data;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const std::pair<std::string, std::string> rows[] = {
        // Drive letters go through the drive links, not by assuming drive_c.
        {"C:\\Games\\Brannoch\\Data\\brannoch2_x1_p1.dat", drives + "/c:/Games/Brannoch/Data/brannoch2_x1_p1.dat"},
        {"c:/games/BRANNOCH/data/Brannoch2_X1_P1.DAT", drives + "/c:/Games/Brannoch/Data/brannoch2_x1_p1.dat"},
        {"C:\\Games\\Brannoch\\Language_x1.dll", drives + "/c:/Games/Brannoch/language_x1.dll"},
        {"C:\\Games\\\\Brannoch\\.\\Data\\..\\language.dll", drives + "/c:/Games/Brannoch/LANGUAGE.DLL"},
        {"C:\\..\\..\\Games\\x\\..\\..\\..\\games\\brannoch", drives + "/c:/Games/Brannoch"},  // ".." stops at the drive's root
        {"D:\\stuff\\file.TXT", drives + "/d:/Stuff/File.txt"},
        {"Z:" + data, drives + "/z:" + data},
        // The temporary file beside a data file named in another case goes into the real folder.
        {"C:\\GAMES\\brannoch\\DATA\\brannoch2_x1_p1.dat.tmp1", drives + "/c:/Games/Brannoch/Data/brannoch2_x1_p1.dat.tmp1"},
        {"C:\\games\\missing\\games", drives + "/c:/Games/missing/games"},
        {"E:\\Games\\x.dat", drives + "/e:/Games/x.dat"},
        {"C:\\Games\\Brannoch\\", drives + "/c:/Games/Brannoch"},
        {"C:", drives + "/c:"},
        // Host paths, with either separator, follow the same rule.
        {data, data},
        {(prefix.Path() / "DRIVE_C" / "games" / "brannoch" / "DATA" / "Brannoch2_x1_p1.dat").string(), data},
        {backslashed, data},
        {"", ""},
        {"/", "/"},
    };
    for (const auto& [composed, resolved] : rows)
        EXPECT_EQ(ResolveHostPath(composed), resolved) << composed;
}

TEST_F(HostPathTest, AnExactNameWinsAndAmbiguityIsSettledByByteOrder)
{
    const fs::path folder = other.Path() / "Case";
    fs::create_directories(folder);
    for (const char* name : {"readme.TXT", "README.txt", "ReadMe.txt", "\xc3\xa9t\xc3\xa9.txt"})
        Touch(folder / name);
    EXPECT_EQ(ResolveHostPath((folder / "ReadMe.txt").string()), (folder / "ReadMe.txt").string());
    EXPECT_EQ(ResolveHostPath((folder / "readme.txt").string()), (folder / "README.txt").string());
    // Only ASCII letters fold; other bytes must match exactly.
    EXPECT_EQ(ResolveHostPath((folder / "\xc3\xa9T\xc3\xa9.TXT").string()), (folder / "\xc3\xa9t\xc3\xa9.txt").string());
    EXPECT_EQ(ResolveHostPath((folder / "\xc3\x89t\xc3\xa9.txt").string()), (folder / "\xc3\x89t\xc3\xa9.txt").string());
}

TEST_F(HostPathTest, AFolderThatCannotBeReadIsNotSearched)
{
    const fs::path locked = other.Path() / "Locked";
    fs::create_directories(locked / "Inner");
    fs::permissions(other.Path(), fs::perms(0755));
    fs::permissions(locked, fs::perms::none);
    const int status = fixtures::RunUnprivileged([&] { return ResolveHostPath((locked / "INNER").string()) == (locked / "INNER").string() ? 0 : 1; });
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ResolveHostPath((locked / "INNER").string()), (locked / "Inner").string());
}

TEST(HostPath, WithoutAPrefixDrivePathsStayUnresolved)
{
    EXPECT_EQ(ResolveHostPathIn("", "C:\\Games\\x.dat"), "C:/Games/x.dat");
}

} // namespace
} // namespace velmora
