#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "data/DataFile.h"
#include "tools/DataFileWriter.h"
#include "host/HostPath.h"
#include "tests/support/FailureKind.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

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
        fs::create_directories(Prefix() / "drive_c" / "Games" / "Brannoch" / "Data");
        fs::create_directories(Prefix() / "dosdevices");
        fs::create_directory_symlink("../drive_c", Prefix() / "dosdevices" / "c:");
        fs::create_directory_symlink(other.Path(), Prefix() / "dosdevices" / "d:");
        fs::create_directory_symlink("/", Prefix() / "dosdevices" / "z:");
        Touch(Prefix() / "drive_c" / "Games" / "Brannoch" / "Data" / "brannoch2_x1_p1.dat");
        Touch(Prefix() / "drive_c" / "Games" / "Brannoch" / "language_x1.dll");
        Touch(Prefix() / "drive_c" / "Games" / "Brannoch" / "LANGUAGE.DLL");
        fs::create_directories(other.Path() / "Stuff");
        Touch(other.Path() / "Stuff" / "File.txt");
    }

    const fs::path& Prefix() const { return prefix.Path(); }
    static void Touch(const fs::path& path) { datafile::WriteFile(path.string(), datafile::Bytes{1}); }
    // True when `resolved` names the same existing file as `expected`.
    static bool SameFile(const std::string& resolved, const fs::path& expected)
    {
        std::error_code ec;
        return fs::equivalent(resolved, expected, ec);
    }

    fixtures::TempDir prefix;
    fixtures::TempDir other;
    ScopedEnv env{"WINEPREFIX", prefix.Path().string()};
};

TEST_F(HostPathTest, DriveLettersGoThroughTheDriveLinks)
{
    const fs::path game = Prefix() / "drive_c" / "Games" / "Brannoch";
    const struct {
        std::string composed;
        fs::path file;
    } rows[] = {
        {"C:\\Games\\Brannoch\\Data\\brannoch2_x1_p1.dat", game / "Data" / "brannoch2_x1_p1.dat"},
        {"c:/Games/Brannoch/Data/brannoch2_x1_p1.dat", game / "Data" / "brannoch2_x1_p1.dat"},
        {"C:\\games\\BRANNOCH\\data\\Brannoch2_X1_P1.DAT", game / "Data" / "brannoch2_x1_p1.dat"},
        {"C:\\Games\\Brannoch\\Language_x1.dll", game / "language_x1.dll"},
        {"C:\\Games\\Brannoch\\language.dll", game / "LANGUAGE.DLL"},
        {"C:\\Games\\\\Brannoch\\.\\Data\\..\\language.dll", game / "LANGUAGE.DLL"},
        {"D:\\stuff\\file.TXT", other.Path() / "Stuff" / "File.txt"},
        {"Z:" + (game / "Data" / "brannoch2_x1_p1.dat").string(), game / "Data" / "brannoch2_x1_p1.dat"},
    };
    for (const auto& row : rows) {
        const std::string resolved = ResolveHostPath(row.composed);
        EXPECT_TRUE(SameFile(resolved, row.file)) << row.composed << " -> " << resolved;
    }
    // Drive C is reached through its link, not by assuming drive_c.
    EXPECT_EQ(ResolveHostPath("C:\\Games\\Brannoch\\Data\\brannoch2_x1_p1.dat"),
              (Prefix() / "dosdevices" / "c:" / "Games" / "Brannoch" / "Data" / "brannoch2_x1_p1.dat").string());
}

TEST_F(HostPathTest, MissingNamesAreKeptFromTheFirstOneNotFound)
{
    const std::string drive = (Prefix() / "dosdevices").string();
    const struct {
        std::string composed;
        std::string resolved;
    } rows[] = {
        // The temporary file beside a data file given in another case goes into the real folder.
        {"C:\\GAMES\\brannoch\\DATA\\brannoch2_x1_p1.dat.tmp1", drive + "/c:/Games/Brannoch/Data/brannoch2_x1_p1.dat.tmp1"},
        {"C:\\Games\\Missing\\Data\\x.dat", drive + "/c:/Games/Missing/Data/x.dat"},
        {"C:\\games\\missing\\games", drive + "/c:/Games/missing/games"},
        {"E:\\Games\\x.dat", drive + "/e:/Games/x.dat"},
        {"C:\\Games\\Brannoch\\", drive + "/c:/Games/Brannoch"},
        {"C:", drive + "/c:"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ResolveHostPath(row.composed), row.resolved) << row.composed;
}

TEST_F(HostPathTest, HostPathsPassWithTheSameCaseRule)
{
    const fs::path data = Prefix() / "drive_c" / "Games" / "Brannoch" / "Data" / "brannoch2_x1_p1.dat";
    EXPECT_EQ(ResolveHostPath(data.string()), data.string());
    std::string shouted = (Prefix() / "DRIVE_C" / "games" / "brannoch" / "DATA" / "Brannoch2_x1_p1.dat").string();
    EXPECT_EQ(ResolveHostPath(shouted), data.string());
    // Backslashes are separators here too.
    std::string backslashed = data.string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_EQ(ResolveHostPath(backslashed), data.string());
    EXPECT_EQ(ResolveHostPath(""), "");
    EXPECT_EQ(ResolveHostPath("/"), "/");
}

TEST_F(HostPathTest, AnExactNameWinsAndAmbiguityIsSettledByByteOrder)
{
    const fs::path folder = other.Path() / "Case";
    fs::create_directories(folder);
    Touch(folder / "readme.TXT");
    Touch(folder / "README.txt");
    Touch(folder / "ReadMe.txt");
    EXPECT_EQ(ResolveHostPath((folder / "ReadMe.txt").string()), (folder / "ReadMe.txt").string());
    EXPECT_EQ(ResolveHostPath((folder / "readme.txt").string()), (folder / "README.txt").string());
    // Only ASCII letters fold; other bytes must match exactly.
    Touch(folder / "\xc3\xa9t\xc3\xa9.txt");
    EXPECT_EQ(ResolveHostPath((folder / "\xc3\xa9T\xc3\xa9.TXT").string()), (folder / "\xc3\xa9t\xc3\xa9.txt").string());
    EXPECT_EQ(ResolveHostPath((folder / "\xc3\x89t\xc3\xa9.txt").string()), (folder / "\xc3\x89t\xc3\xa9.txt").string());
}

TEST_F(HostPathTest, AFolderThatCannotBeReadIsNotSearched)
{
    const fs::path locked = other.Path() / "Locked";
    fs::create_directories(locked / "Inner");
    fs::permissions(other.Path(), fs::perms(0755));
    fs::permissions(locked, fs::perms::none);
    const int status = fixtures::RunUnprivileged([&] {
        return ResolveHostPath((locked / "INNER").string()) == (locked / "INNER").string() ? 0 : 1;
    });
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ResolveHostPath((locked / "INNER").string()), (locked / "Inner").string());
}

TEST(HostPath, WithoutAPrefixDrivePathsStayUnresolved)
{
    ScopedEnv prefix("WINEPREFIX", std::nullopt);
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(WinePrefix(), "");
    EXPECT_EQ(ResolveHostPath("C:\\Games\\x.dat"), "C:/Games/x.dat");
    ScopedEnv home2("HOME", "/home/someone");
    EXPECT_EQ(WinePrefix(), "/home/someone/.wine");
    ScopedEnv prefix2("WINEPREFIX", "/opt/prefix");
    EXPECT_EQ(WinePrefix(), "/opt/prefix");
}

TEST_F(HostPathTest, TheDataFileLoadsFromAComposedPathInAnotherCase)
{
    const datafile::Bytes data = datafile::MinimalDataFile();
    const fs::path real = Prefix() / "drive_c" / "Games" / "Brannoch" / "Data" / "brannoch2_x1_p1.dat";
    datafile::WriteFile(real.string(), datafile::DeflateRaw(data));

    DataBuffer buffer;
    ASSERT_TRUE(LoadDataFile("C:\\GAMES\\Brannoch\\data\\BRANNOCH2_X1_P1.DAT", buffer));
    ASSERT_EQ(buffer.length, static_cast<std::int32_t>(data.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.bytes.get()));
    // The temporary file went beside the real file and is gone; nothing else was made.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(real.parent_path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"brannoch2_x1_p1.dat"});

    EXPECT_EQ(fixtures::FailureKindOf(LoadDataFile("C:\\Games\\Brannoch\\Data\\missing.dat", buffer)), LoadFailure::OpenFailed);
}

} // namespace
} // namespace velmora
