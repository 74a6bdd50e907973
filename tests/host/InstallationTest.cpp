#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "tools/DataFileWriter.h"
#include "host/Installation.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using fixtures::ScopedEnv;

TEST(Installation, PathsAreComposedFromTheFolder)
{
    EXPECT_EQ(DataFilePath("C:\\Games\\Brannoch"), "C:\\Games\\Brannoch\\Data\\brannoch2_x1_p1.dat");
    EXPECT_EQ(LanguageModulePaths("C:\\Games\\Brannoch"),
              (std::array<std::string, 3>{"C:\\Games\\Brannoch\\language_x1_p1.dll", "C:\\Games\\Brannoch\\Language_x1.dll",
                                          "C:\\Games\\Brannoch\\language.dll"}));
    // Without a folder the paths are still composed, from "".
    EXPECT_EQ(DataFilePath(""), "\\Data\\brannoch2_x1_p1.dat");
    EXPECT_EQ(LanguageModulePaths("")[1], "\\Language_x1.dll");
}

class InstallFolderTest : public ::testing::Test {
protected:
    void WriteHive(const std::string& body)
    {
        const std::string hive = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" + body;
        datafile::WriteFile((prefix.Path() / "system.reg").string(),
                            std::span(reinterpret_cast<const std::uint8_t*>(hive.data()), hive.size()));
    }

    fixtures::TempDir prefix;
    ScopedEnv env{"WINEPREFIX", prefix.Path().string()};
};

TEST_F(InstallFolderTest, ReadsTheFolderOrGivesNothing)
{
    const struct {
        std::string body;
        std::string folder;
    } rows[] = {
        {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n", "C:\\Games\\Brannoch"},
        {"[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=\"D:\\\\B\"\n", "D:\\B"},
        {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"Path\"=\"C:\\\\x\"\n", ""},
        {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=dword:00000001\n", ""},
        {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=\"" + std::string(1024, 'a') + "\"\n", ""},
        {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=\"" + std::string(1023, 'a') + "\"\n", std::string(1023, 'a')},
        {"", ""},
    };
    for (const auto& row : rows) {
        WriteHive(row.body);
        EXPECT_EQ(ReadInstallFolder().value_or(""), row.folder) << row.body.substr(0, 80);
    }
    fs::remove(prefix.Path() / "system.reg");
    EXPECT_FALSE(ReadInstallFolder());
}

TEST_F(InstallFolderTest, NeedsNoWriteAccess)
{
    // A user who may read the registry but not write it still finds the folder.
    WriteHive("[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n");
    fs::permissions(prefix.Path(), fs::perms(0555));
    fs::permissions(prefix.Path() / "system.reg", fs::perms(0444));
    const auto before = fs::last_write_time(prefix.Path() / "system.reg");
    const int status = fixtures::RunUnprivileged([] { return ReadInstallFolder().value_or("") == "C:\\Games\\Brannoch" ? 0 : 1; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fs::last_write_time(prefix.Path() / "system.reg"), before);
    fs::permissions(prefix.Path(), fs::perms::owner_all, fs::perm_options::add);
}

} // namespace
} // namespace velmora
