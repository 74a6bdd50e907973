#include <gtest/gtest.h>

#include <filesystem>

#include "data/DataFile.h"
#include "tests/support/FailureKind.h"
#include "tests/support/TempDir.h"
#include "tools/DataFileWriter.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using datafile::Bytes;
using fixtures::FailureKindOf;

Bytes Pattern(std::size_t size, std::uint32_t seed = 3)
{
    return datafile::DataFileWriter().Filler(size, seed).Data();
}

Bytes Held(const DataBuffer& buffer)
{
    return buffer.length > 0 ? Bytes(buffer.bytes.get(), buffer.bytes.get() + buffer.length) : Bytes{};
}

class LoadTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const Bytes& bytes)
    {
        datafile::WriteFile(dir.File(name), bytes);
        return dir.File(name);
    }
    Result<void, LoadFailure> Load(const std::string& path) { return LoadDataFile(path, buffer); }
    static bool TempLeft(const std::string& path) { return fs::exists(fs::symlink_status(path + ".tmp1")); }

    fixtures::TempDir dir;
    DataBuffer buffer;
};

TEST_F(LoadTest, SizesAroundTheChunkSize)
{
    // Exact multiples end either with the last full chunk or one more empty iteration;
    // stored blocks (level 0) and strong compression take different paths through inflate.
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, InflateChunkSize - 1, InflateChunkSize, InflateChunkSize + 1,
                             2 * InflateChunkSize, 3 * InflateChunkSize}) {
        for (int level : {0, 1, 9}) {
            const Bytes data = Pattern(size, static_cast<std::uint32_t>(size));
            const Bytes compressed = datafile::DeflateRaw(data, level);
            const std::string path = Write("chunk.dat", compressed);
            ASSERT_TRUE(Load(path)) << size << " level " << level;
            EXPECT_EQ(Held(buffer), data) << size << " level " << level;
            EXPECT_FALSE(TempLeft(path));
            EXPECT_EQ(datafile::ReadFile(path), compressed);  // never written
        }
    }
}

TEST_F(LoadTest, AStaleTemporaryFileIsReplacedAndDeleted)
{
    const Bytes data = Pattern(5000);
    const std::string path = Write("stale.dat", datafile::DeflateRaw(data));
    Write("stale.dat.tmp1", Pattern(400000, 9));
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(Held(buffer), data);
    EXPECT_FALSE(TempLeft(path));
}

} // namespace
} // namespace velmora
