// Damaged files never crash the loader or the parser, and every failure says why.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"

namespace velmora {
namespace {

using datafile::Bytes;

// Parses an exact-size copy (so the sanitizer sees any read past it) into one table set
// for all cases: what an earlier case left must not matter either.
void ExpectParseOutcome(const Bytes& bytes, const std::string& label)
{
    static const std::set<std::string> known{"Version error", "num error", "Object type data error", "Data file is truncated"};
    static auto tables = std::make_unique<GameTables>();
    const ParseResult parse = ParseDataFile(ByteView(bytes.data(), bytes.size()), *tables);
    for (const std::string& m : parse.messages)
        ASSERT_TRUE(known.count(m)) << label << ": " << m;
    // A failed parse ends with the message that stopped it.
    EXPECT_TRUE(parse.parsed || (!parse.messages.empty() && parse.messages.back() != "num error")) << label;
    EXPECT_TRUE(tables->techCount <= MaxTechs && tables->effectCount <= MaxEffects && tables->civCount <= MaxCivs) << label;
    for (int e = 0; e < std::max(0, tables->effectCount); ++e)
        ASSERT_LE(tables->effects[static_cast<std::size_t>(e)].commandCount, MaxEffectCommands) << label;
}

TEST(RobustnessTest, EveryPrefixAndFlippedBytesOfASoundFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "the same code as in the native build, where it runs (under Wine it takes minutes)";
#endif
    const Bytes whole = datafile::SmallSoundFile();
    ASSERT_TRUE(ParseDataFile(ByteView(whole.data(), whole.size()), *std::make_unique<GameTables>()).parsed);
    for (std::size_t at = 0; at < whole.size(); ++at) {
        ExpectParseOutcome(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at)), "cut at " + std::to_string(at));
        for (std::uint8_t mask : {std::uint8_t{0xFF}, std::uint8_t{0x80}, std::uint8_t{0x01}}) {
            Bytes damaged = whole;
            damaged[at] ^= mask;
            ExpectParseOutcome(damaged, "flip " + std::to_string(mask) + " at " + std::to_string(at));
        }
    }
}

TEST(RobustnessTest, DamagedCompressedFiles)
{
    fixtures::TempDir dir;
    const Bytes whole = datafile::DeflateRaw(datafile::SmallSoundFile());
    const std::string path = dir.File("damaged.dat");
    DataBuffer buffer;
    for (std::size_t cut = 0; cut <= whole.size(); cut += 3) {
        datafile::WriteFile(path, std::span(whole.data(), cut));
        EXPECT_EQ(LoadDataFile(path, buffer).ok(), cut == whole.size()) << cut;
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
        Bytes damaged = whole;
        damaged[at] ^= 0x5A;
        datafile::WriteFile(path, damaged);
        if (LoadDataFile(path, buffer))
            ExpectParseOutcome(Bytes(buffer.bytes.get(), buffer.bytes.get() + buffer.length), "inflated flip at " + std::to_string(at));
    }
}

} // namespace
} // namespace velmora
