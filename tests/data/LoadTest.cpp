#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "data/DataFile.h"
#include "tools/datafile/DataFileWriter.h"
#include "tests/support/FailureKind.h"
#include "tests/support/TempDir.h"

// Every operator new of this test program counts the bytes it hands out, so that a test
// can learn the most a load held at once.
namespace {
std::atomic<std::size_t> heldBytes{0};
std::atomic<std::size_t> peakBytes{0};
constexpr std::size_t SizeField = alignof(std::max_align_t);
} // namespace

void* operator new(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + SizeField));
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    const std::size_t held = heldBytes += size;
    for (std::size_t peak = peakBytes; held > peak && !peakBytes.compare_exchange_weak(peak, held);) {
    }
    return block + SizeField;
}
void operator delete(void* p) noexcept
{
    if (!p)
        return;
    auto* block = static_cast<unsigned char*>(p) - SizeField;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    heldBytes -= size;
    std::free(block);
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace velmora {
namespace {

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

    fixtures::TempDir dir;
    DataBuffer buffer;
};

TEST_F(LoadTest, InflatesAWholeStream)
{
    const Bytes data = Pattern(300000);
    const std::string path = Write("game.dat", datafile::DeflateRaw(data));
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(Held(buffer), data);
    EXPECT_EQ(datafile::ReadFile(path), datafile::DeflateRaw(data));  // never written
}

TEST_F(LoadTest, TheBlockGrowsByDoublingOneAtATime)
{
    // 8 MiB of zeros in a few KiB: the block doubles from its smallest size to exactly
    // the inflated size, each larger one taken after the smaller is gone.
    constexpr std::size_t size = 8 << 20;
    const std::string path = Write("zeros.dat", datafile::DeflateRawZeros(size));
    const std::size_t before = heldBytes;
    peakBytes = before;
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(buffer.length, static_cast<std::int32_t>(size));
    EXPECT_LT(peakBytes - before, size + (1 << 20));
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
        }
    }
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
    }
    EXPECT_EQ(buffer.length, 0);  // the empty file inflates to nothing
}

TEST_F(LoadTest, ACutStreamKeepsWhatWasInflated)
{
    const Bytes data = Pattern(3 * InflateChunkSize);
    Bytes compressed = datafile::DeflateRaw(data, 0);
    compressed.resize(compressed.size() / 2);
    const std::string path = Write("cut.dat", compressed);
    const auto cut = Load(path);
    EXPECT_EQ(FailureKindOf(cut), LoadFailure::StreamTruncated);
    EXPECT_EQ(cut.failure().Text(), path + ": the data file's deflate stream is cut short");
    ASSERT_GT(buffer.length, 0);
    const Bytes held = Held(buffer);
    EXPECT_TRUE(std::equal(held.begin(), held.end(), data.begin()));
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
