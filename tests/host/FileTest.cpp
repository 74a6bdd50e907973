// Opening the data file, on both systems: what a folder says, paths past MAX_PATH, and a
// file another program holds open for writing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "host/File.h"
#include "host/HostPath.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    Result<File> file = File::OpenForReading(path);
    if (!file)
        return "failed: " + file.failure().Text();
    std::string bytes(64, '\0');
    bytes.resize(static_cast<std::size_t>(file->Read(bytes.data(), bytes.size()).value_or(0)));
    return bytes;
}

TEST(FileTest, FoldersLongPathsAndFilesOthersHoldOpen)
{
    fixtures::TempDir dir;
    fs::create_directory(dir.Path() / "folder.dat");
    EXPECT_EQ(ReadAll(dir.File("folder.dat")), "failed: cannot open the file: is a folder");

    fs::path deep = dir.Path();
    while (deep.string().size() < 300)
        deep /= "a-folder-with-a-long-name";
    fs::create_directories(deep);
    fixtures::WriteText(deep / "game.dat", "deep");
    EXPECT_EQ(ReadAll((deep / "game.dat").string()), "deep");

    const std::string held = dir.File("held.dat");
    fixtures::WriteText(held, "held");
    std::FILE* writer = std::fopen(held.c_str(), "ab");
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(ReadAll(held), "held");
    std::fclose(writer);
#ifdef _WIN32
    // A program that may also delete or rename it, as a download or the game may.
    const HANDLE all = CreateFileA(held.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(all, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(held), "held");
    CloseHandle(all);
#endif
}

TEST(FileTest, ExtendedLengthPaths)
{
    const std::u16string folder259 = u"C:\\" + std::u16string(256, u'x');
    const std::pair<std::u16string, std::u16string> rows[] = {
        {folder259, folder259},
        {folder259 + u"y", u"\\\\?\\" + folder259 + u"y"},
        {u"\\\\server\\share\\" + std::u16string(250, u'x'), u"\\\\?\\UNC\\server\\share\\" + std::u16string(250, u'x')},
        {u"\\\\?\\" + folder259 + u"y", u"\\\\?\\" + folder259 + u"y"},
        {u"\\\\.\\" + folder259, u"\\\\.\\" + folder259},
        {u"relative\\" + folder259, u"relative\\" + folder259},
    };
    for (const auto& [full, extended] : rows)
        EXPECT_TRUE(ExtendedLengthPath(full) == extended) << full.size();
}

} // namespace
} // namespace velmora
