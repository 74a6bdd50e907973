// The fast inflate against zlib alone, on streams made bit by bit: those libdeflate
// accepts and zlib refuses, and the ordinary outcomes of a load.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <libdeflate.h>

#include "data/DataFile.h"
#include "tools/datafile/DataFileWriter.h"

namespace velmora {
namespace {

using datafile::Bytes;

// A deflate stream, written least significant bit first; Code() writes a Huffman code
// from its first bit.
struct Bits {
    Bytes bytes;
    int used = 0;
    Bits& Put(unsigned value, int count)
    {
        for (int i = 0; i < count; ++i, ++used) {
            if (used % 8 == 0)
                bytes.push_back(0);
            bytes.back() |= static_cast<std::uint8_t>(((value >> i) & 1) << (used % 8));
        }
        return *this;
    }
    Bits& Code(unsigned code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            Put(code >> i, 1);
        return *this;
    }
};

// One last dynamic block with the code lengths given (over the literal and distance
// symbols, 0 elsewhere), written with the code-length code {0: "00", 1: "01", 2: "10",
// 18: "11"}, then `body`. With `overrun` the final run of zeros repeats past the last length.
Bytes Dynamic(int literals, int distances, const std::map<int, int>& lengths, const std::function<void(Bits&)>& body, bool overrun = false)
{
    Bits b;
    b.Put(1, 1).Put(2, 2).Put(static_cast<unsigned>(literals - 257), 5).Put(static_cast<unsigned>(distances - 1), 5).Put(14, 4);
    for (int length : {0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2})  // 16 17 18 0 8 7 ... 2 14 1
        b.Put(static_cast<unsigned>(length), 3);
    const int total = literals + distances;
    for (int at = 0; at < total;) {
        int zeros = 0;
        while (at + zeros < total && !lengths.contains(at + zeros))
            ++zeros;
        if (zeros >= 11 || (overrun && at + zeros == total && zeros > 0)) {
            const int run = std::min(std::max(zeros, 11), 138);
            b.Code(3, 2).Put(static_cast<unsigned>(run - 11), 7);
            at += std::min(run, zeros);
        } else {
            b.Code(zeros > 0 ? 0 : static_cast<unsigned>(lengths.at(at)), 2);
            ++at;
        }
    }
    body(b);
    return b.bytes;
}

// Stored bytes, then one last block of fixed codes holding `body`.
Bytes Fixed(std::size_t stored, const std::function<void(Bits&)>& body)
{
    Bits b;
    if (stored > 0) {
        b.Put(0, 3).Put(0, 5);
        b.Put(static_cast<unsigned>(stored), 16).Put(static_cast<unsigned>(~stored & 0xffff), 16);
        b.bytes.resize(b.bytes.size() + stored, 'x');
        b.used = static_cast<int>(b.bytes.size() * 8);
    }
    b.Put(1, 1).Put(1, 2);
    body(b);
    return b.bytes;
}

bool LibdeflateAccepts(const Bytes& stream)
{
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    Bytes out(1 << 20);
    std::size_t length = 0;
    const bool accepted = libdeflate_deflate_decompress(d, stream.data(), stream.size(), out.data(), out.size(), &length) == LIBDEFLATE_SUCCESS;
    libdeflate_free_decompressor(d);
    return accepted;
}

std::string Outcome(const Bytes& stream, InflatePath path)
{
    DataBuffer buffer;
    const auto result = InflateDataStream(ByteView(stream.data(), stream.size()), buffer, "x.dat", path);
    const ByteView held = buffer.View();
    return (result ? std::string("loaded") : result.failure().Text()) + " | " + std::string(held.data(), held.data() + held.size()) +
           (buffer.bytes ? "" : " (no block)");
}

TEST(InflateTest, WhereLibdeflateIsLenientZlibDecides)
{
    // Literal A is "0" and the end "1" (both codes of one bit); with a length symbol 257,
    // the end is "10" and 257 "11", and distance code 0 is at 258.
    const std::map<int, int> endAndA = {{65, 1}, {256, 1}};
    const std::map<int, int> endAAndLength = {{65, 1}, {256, 2}, {257, 2}};
    const auto aThenEnd = [](Bits& b) { b.Code(0, 1).Code(1, 1); };
    const auto aThenCopy = [](unsigned distanceBit) {
        return [=](Bits& b) { b.Code(0, 1).Code(3, 2).Put(distanceBit, 1).Code(2, 2); };
    };
    struct Case {
        const char* name;
        Bytes stream;
        const char* zlibSays;
    };
    const Case cases[] = {
        {"287 length codes", Dynamic(287, 1, endAndA, aThenEnd), "too many length or distance symbols"},
        {"31 distance codes", Dynamic(257, 31, endAndA, aThenEnd), "too many length or distance symbols"},
        {"a repeat past the last length", Dynamic(257, 1, endAndA, aThenEnd, true), "invalid bit length repeat"},
        {"the unused half of a one-symbol distance code", Dynamic(258, 1, {{65, 1}, {256, 2}, {257, 2}, {258, 1}}, aThenCopy(1)),
         "invalid distance code"},
        {"a distance with no distance code", Dynamic(258, 1, endAAndLength, aThenCopy(0)), "invalid distance code"},
        {"the unused half of a one-symbol literal code", Dynamic(257, 1, {{256, 1}}, [](Bits& b) { b.Put(1, 1); }),
         "invalid literal/length code"},
        {"fixed length symbol 286", Fixed(0, [](Bits& b) { b.Code(0x30 + 'A', 8).Code(0xc0 + 6, 8).Code(0, 5).Code(0, 7); }),
         "invalid literal/length code"},
        {"fixed distance symbol 30", Fixed(30000, [](Bits& b) { b.Code(1, 7).Code(30, 5).Put(0, 13).Code(0, 7); }),
         "invalid distance code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(LibdeflateAccepts(c.stream));
        const std::string zlib = Outcome(c.stream, InflatePath::ZlibOnly);
        EXPECT_NE(zlib.find(std::string("x.dat: the data file is not a raw deflate stream: ") + c.zlibSays), std::string::npos) << zlib;
        EXPECT_EQ(Outcome(c.stream, InflatePath::Fast), zlib);
    }
}

TEST(InflateTest, OrdinaryOutcomesAreZlibs)
{
    const Bytes data = datafile::RealisticDataFile({.targetSize = 1 << 18});
    const Bytes whole = datafile::DeflateRaw(data);
    const auto with = [](Bytes bytes, const std::function<void(Bytes&)>& change) {
        change(bytes);
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes stream;
        const char* says;
    };
    const Case cases[] = {
        {"whole", whole, "loaded"},
        {"trailing bytes", with(whole, [](Bytes& b) { b.insert(b.end(), {'V', 'E', 'R', 0, 0xff}); }), "loaded"},
        {"a one-symbol distance code used as zlib reads it", Dynamic(258, 1, {{65, 1}, {256, 2}, {257, 2}, {258, 1}}, [](Bits& b) {
             b.Code(0, 1).Code(3, 2).Put(0, 1).Code(2, 2); }), "loaded | AAAA"},
        {"an empty block", Fixed(0, [](Bits& b) { b.Code(0, 7); }), "loaded |  (no block)"},
        {"empty", Bytes{}, "x.dat: the data file is empty"},
        {"cut", with(whole, [](Bytes& b) { b.resize(b.size() * 2 / 3); }), "x.dat: the data file's deflate stream is cut short"},
        {"a corrupt byte", with(whole, [](Bytes& b) { b[2] ^= 0xff; }), "x.dat: the data file is not a raw deflate stream"},
        {"a bad block type", with(whole, [](Bytes& b) { b[0] |= 0x06; }), "x.dat: the data file is not a raw deflate stream: invalid block type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string zlib = Outcome(c.stream, InflatePath::ZlibOnly);
        EXPECT_EQ(zlib.rfind(c.says, 0), 0u) << zlib.substr(0, 200);
        EXPECT_TRUE(Outcome(c.stream, InflatePath::Fast) == zlib);
    }
}

TEST(InflateTest, TheWalkFollowsEveryKindOfBlockToTheEnd)
{
    // A walk that lost its place would only leave the stream to zlib, so it is checked
    // directly: it reaches the last block of each stream zlib accepts.
    const Bytes realistic = datafile::RealisticDataFile({.targetSize = 1 << 19});
    const Bytes text = {'V', 'E', 'R', ' ', '5', '.', '7', ' ', 'V', 'E', 'R'};
    for (int level : {0, 1, 6, 9}) {
        SCOPED_TRACE(level);
        for (const Bytes& stream : {datafile::DeflateRaw(realistic, level), datafile::DeflateRaw(text, level), datafile::DeflateRaw(Bytes{}, level),
                                    datafile::DeflateRawZeros(std::size_t{1} << 20)}) {
            ASSERT_EQ(Outcome(stream, InflatePath::ZlibOnly).rfind("loaded", 0), 0u);
            EXPECT_TRUE(ZlibAcceptsAsLibdeflateDid(ByteView(stream.data(), stream.size())));
        }
    }
}

} // namespace
} // namespace velmora
