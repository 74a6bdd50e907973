#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "data/DataFile.h"
#include "tools/DataFileWriter.h"
#include "tests/support/FailureKind.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using datafile::Bytes;
using fixtures::FailureKindOf;

Bytes Pattern(std::size_t size, std::uint32_t seed = 3)
{
    datafile::DataFileWriter b;
    b.Filler(size, seed);
    return b.Data();
}

Bytes Held(const DataBuffer& buffer)
{
    return buffer.length > 0 ? Bytes(buffer.bytes.get(), buffer.bytes.get() + buffer.length) : Bytes{};
}

class LoadTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = dir.File(name);
        datafile::WriteFile(path, bytes);
        return path;
    }
    Result<void, LoadFailure> Load(const std::string& path) { return LoadDataFile(path, buffer); }
    bool TempLeft(const std::string& path) const
    {
        struct stat st {};
        return ::lstat((path + ".tmp1").c_str(), &st) == 0;
    }

    fixtures::TempDir dir;
    DataBuffer buffer;
};

TEST_F(LoadTest, InflatesAWholeStreamAndRemovesTheTemporaryFile)
{
    const Bytes data = Pattern(300000);
    const std::string path = Write("game.dat", datafile::DeflateRaw(data));
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(Held(buffer), data);
    EXPECT_FALSE(TempLeft(path));
    EXPECT_EQ(datafile::ReadFile(path), datafile::DeflateRaw(data));  // never written
}

TEST_F(LoadTest, SizesAroundTheChunkSize)
{
    // Exact multiples end either with the last full chunk or one more empty iteration;
    // stored blocks (level 0) and strong compression take different paths through inflate.
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, InflateChunkSize - 1, InflateChunkSize, InflateChunkSize + 1,
                             2 * InflateChunkSize, 3 * InflateChunkSize}) {
        for (int level : {0, 1, 9}) {
            const Bytes data = Pattern(size, static_cast<std::uint32_t>(size));
            const std::string path = Write("chunk.dat", datafile::DeflateRaw(data, level));
            ASSERT_TRUE(Load(path)) << size << " level " << level;
            EXPECT_EQ(buffer.length, static_cast<std::int32_t>(size));
            EXPECT_EQ(Held(buffer), data) << size << " level " << level;
            EXPECT_FALSE(TempLeft(path));
        }
    }
}

TEST_F(LoadTest, AStaleTemporaryFileIsReplacedAndDeleted)
{
    const Bytes data = Pattern(5000);
    const std::string path = Write("stale.dat", datafile::DeflateRaw(data));
    datafile::WriteFile(path + ".tmp1", Pattern(400000, 9));
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(Held(buffer), data);
    EXPECT_FALSE(TempLeft(path));
}

TEST_F(LoadTest, ALinkAtTheTemporaryNameIsRefused)
{
    const std::string path = Write("linked.dat", datafile::DeflateRaw(Pattern(1000)));
    const Bytes victim = Pattern(77, 5);
    const std::string target = Write("victim.bin", victim);
    fs::create_symlink(target, path + ".tmp1");
    EXPECT_EQ(FailureKindOf(Load(path)), LoadFailure::TempFileFailed);
    EXPECT_EQ(buffer.length, 0);
    EXPECT_EQ(datafile::ReadFile(target), victim);
    EXPECT_TRUE(fs::is_symlink(path + ".tmp1"));  // not ours to delete
}

TEST_F(LoadTest, OtherFormatsAndEmptyFilesGiveFalse)
{
    const Bytes data = Pattern(20000);
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"zlib", datafile::DeflateZlib(data)},
        {"gzip", datafile::DeflateGzip(data)},
        {"text", Bytes{'V', 'E', 'R', ' ', '5', '.', '7', '\n', 'h', 'e', 'l', 'l', 'o'}},
        {"empty", Bytes{}},
    };
    for (const Case& c : cases) {
        const std::string path = Write(std::string(c.name) + ".dat", c.bytes);
        EXPECT_FALSE(Load(path)) << c.name;
        EXPECT_FALSE(TempLeft(path)) << c.name;
    }
    EXPECT_EQ(buffer.length, 0);  // the empty file inflates to nothing
}

TEST_F(LoadTest, ACutStreamKeepsWhatWasInflated)
{
    const Bytes data = Pattern(3 * InflateChunkSize);
    Bytes compressed = datafile::DeflateRaw(data, 0);
    compressed.resize(compressed.size() / 2);
    const std::string path = Write("cut.dat", compressed);
    EXPECT_EQ(FailureKindOf(Load(path)), LoadFailure::StreamTruncated);
    ASSERT_GT(buffer.length, 0);
    const Bytes held = Held(buffer);
    EXPECT_TRUE(std::equal(held.begin(), held.end(), data.begin()));
    EXPECT_FALSE(TempLeft(path));
}

TEST_F(LoadTest, ASecondLoadHoldsOnlyTheSecondFile)
{
    const Bytes first = Pattern(90000, 1);
    const Bytes second = Pattern(1234, 2);
    ASSERT_TRUE(Load(Write("first.dat", datafile::DeflateRaw(first))));
    ASSERT_TRUE(Load(Write("second.dat", datafile::DeflateRaw(second))));
    EXPECT_EQ(Held(buffer), second);

    EXPECT_EQ(FailureKindOf(Load(dir.File("missing.dat"))), LoadFailure::OpenFailed);
    EXPECT_EQ(buffer.length, 0);
    EXPECT_EQ(buffer.bytes, nullptr);
}

} // namespace
} // namespace velmora
