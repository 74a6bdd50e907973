#include "data/DataFile.h"

#include <algorithm>
#include <array>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

#include "host/File.h"
#include "host/HostPath.h"

namespace velmora {

namespace {

using LoadResult = Result<void, LoadFailure>;

std::string MaxInflatedText() { return std::to_string(MaxInflatedLength >> 20) + " MiB"; }

// Disk and size failures leave nothing; an inflate failure keeps what came before it.
bool LeavesNothing(const LoadResult& result)
{
    return !result && (result.failure().kind == LoadFailure::TempIoFailed || result.failure().kind == LoadFailure::TooLarge);
}

Failure<LoadFailure> Failed(const std::string& shownName, LoadFailure kind, const std::string& what, std::string systemReason = {})
{
    return {kind, shownName + ": " + what, std::move(systemReason)};
}

// ---- The walk that tells whether zlib agrees with libdeflate ----
//
// libdeflate accepts a few streams that zlib refuses; this walks a stream libdeflate has
// inflated, block by block and symbol by symbol (writing nothing), and refuses at the
// first such place. Any doubt (the stream cannot be walked) is a refusal too: zlib then
// decides.

constexpr int MaxCodeBits = 15;
constexpr int FastBits = 11;

// What a code's symbols mean to the walk.
enum class Role { CodeLengths, Literals, Distances };
enum Kind : std::uint32_t { Literal, Length, EndOfBlock, Distance, Refused };

constexpr std::array<std::uint8_t, 29> LengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// A decoded symbol: its value, its kind and the bits it takes with its extra bits.
struct Step {
    std::uint32_t entry = 0;  // symbol << 8 | kind << 5 | bits; 0 = no codeword
    int Bits() const { return static_cast<int>(entry & 31); }
    Kind TheKind() const { return static_cast<Kind>(entry >> 5 & 7); }
    int Symbol() const { return static_cast<int>(entry >> 8); }
};

Step StepFor(Role role, int symbol, int length)
{
    Kind kind = Literal;
    int extra = 0;
    if (role == Role::Literals) {
        kind = symbol < 256 ? Literal : symbol == 256 ? EndOfBlock : symbol <= 285 ? Length : Refused;
        extra = kind == Length ? LengthExtraBits[static_cast<std::size_t>(symbol - 257)] : 0;
    } else if (role == Role::Distances) {
        kind = symbol < 30 ? Distance : Refused;
        extra = kind == Distance && symbol >= 4 ? (symbol >> 1) - 1 : 0;
    }
    return {static_cast<std::uint32_t>(symbol) << 8 | static_cast<std::uint32_t>(kind) << 5 | static_cast<std::uint32_t>(length + extra)};
}

// A canonical Huffman code as zlib builds it from its code lengths.
class HuffmanCode {
public:
    // False where zlib's table builder refuses the lengths: an over-subscribed code, or an
    // incomplete one other than a single code of one bit (never for the code-length code).
    // An empty code is kept: nothing decodes with it.
    bool Build(const std::uint8_t* lengths, int count, Role role)
    {
        role_ = role;
        std::array<int, MaxCodeBits + 1> counts{};
        for (int s = 0; s < count; ++s)
            ++counts[lengths[s]];
        counts[0] = 0;
        int maxLength = MaxCodeBits;
        while (maxLength > 0 && counts[maxLength] == 0)
            --maxLength;
        int left = 1;
        for (int length = 1; length <= MaxCodeBits; ++length) {
            left = (left << 1) - counts[length];
            if (left < 0)
                return false;
        }
        if (maxLength > 0 && left > 0 && (role == Role::CodeLengths || maxLength != 1))
            return false;
        counts_ = counts;
        std::array<int, MaxCodeBits + 2> offsets{};
        for (int length = 1; length <= MaxCodeBits; ++length)
            offsets[length + 1] = offsets[length] + counts[length];
        std::array<int, MaxCodeBits + 1> next{};
        for (int length = 1, code = 0; length <= MaxCodeBits; ++length) {
            code = (code + counts[length - 1]) << 1;
            next[length] = code;
        }
        fast_.fill(0);
        for (int s = 0; s < count; ++s) {
            const int length = lengths[s];
            if (length == 0)
                continue;
            symbols_[offsets[length]++] = static_cast<std::uint16_t>(s);
            const unsigned code = static_cast<unsigned>(next[length]++);
            if (length > FastBits)
                continue;
            unsigned reversed = 0;
            for (int b = 0; b < length; ++b)
                reversed |= ((code >> b) & 1u) << (length - 1 - b);
            const std::uint32_t entry = StepFor(role, s, length).entry;
            for (unsigned at = reversed; at < fast_.size(); at += 1u << length)
                fast_[at] = entry;
        }
        return true;
    }

    // What the low bits of `bits` begin with; no codeword (entry 0) where they begin none
    // of the code. The caller checks that the step's bits are all there.
    Step Decode(std::uint64_t bits) const
    {
        if (const std::uint32_t entry = fast_[bits & (fast_.size() - 1)]; entry != 0)
            return {entry};
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= MaxCodeBits; ++length) {
            code |= static_cast<int>((bits >> (length - 1)) & 1);
            const int count = counts_[length];
            if (code - count < first)
                return StepFor(role_, symbols_[static_cast<std::size_t>(index + code - first)], length);
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return {};
    }

private:
    std::array<std::uint32_t, 1 << FastBits> fast_{};
    std::array<int, MaxCodeBits + 1> counts_{};
    std::array<std::uint16_t, 320> symbols_{};
    Role role_ = Role::CodeLengths;
};

class StreamWalk {
public:
    explicit StreamWalk(ByteView stream) : next_(stream.data()), end_(stream.data() + stream.size()) {}

    bool Run()
    {
        for (bool last = false; !last;) {
            if (!Need(3))
                return false;
            last = Take(1) != 0;
            const unsigned type = Take(2);
            const bool walked = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 ? Dynamic() : false;
            if (!walked)
                return false;
        }
        return true;
    }

private:
    bool Need(int count)
    {
        if (available_ < count)
            Refill();
        return available_ >= count;
    }
    // Fills the bit buffer to at least 56 bits while the stream lasts. Eight bytes at once
    // where there are eight; the bits above the count are then those of the next bytes,
    // which the next refill puts in the same places again.
    void Refill()
    {
        if (end_ - next_ >= 8) {
            std::uint64_t word = 0;
            for (int i = 7; i >= 0; --i)
                word = word << 8 | next_[i];
            bits_ |= word << available_;
            next_ += (63 - available_) >> 3;
            available_ |= 56;
            return;
        }
        while (available_ <= 56 && next_ < end_) {
            bits_ |= std::uint64_t{*next_++} << available_;
            available_ += 8;
        }
    }
    unsigned Take(int count)
    {
        const auto value = static_cast<unsigned>(bits_ & ((std::uint64_t{1} << count) - 1));
        bits_ >>= count;
        available_ -= count;
        return value;
    }
    // The next symbol of `code` with its extra bits taken; no codeword where zlib finds
    // none or the stream ends inside it.
    Step Next(const HuffmanCode& code)
    {
        if (available_ < 48)
            Refill();
        const Step step = code.Decode(bits_);
        if (step.entry == 0 || step.Bits() > available_)
            return {};
        bits_ >>= step.Bits();
        available_ -= step.Bits();
        return step;
    }

    bool Stored()
    {
        Take(available_ % 8);
        if (!Need(32))
            return false;
        const unsigned length = Take(16);
        if (length != (~Take(16) & 0xffffu))
            return false;
        // Whole bytes still in the bit buffer are consumed first.
        std::int64_t rest = length;
        for (; rest > 0 && available_ >= 8; --rest)
            Take(8);
        if (rest == 0)
            return true;
        if (rest > end_ - next_)
            return false;
        bits_ = 0;
        next_ += rest;
        return true;
    }

    bool Fixed()
    {
        if (!fixedBuilt_) {
            std::array<std::uint8_t, 288 + 32> lengths{};
            std::fill(lengths.begin(), lengths.begin() + 144, 8);
            std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
            std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
            std::fill(lengths.begin() + 280, lengths.begin() + 288, 8);
            std::fill(lengths.begin() + 288, lengths.end(), 5);
            fixedLiterals_.Build(lengths.data(), 288, Role::Literals);
            fixedDistances_.Build(lengths.data() + 288, 32, Role::Distances);
            fixedBuilt_ = true;
        }
        return Symbols(fixedLiterals_, fixedDistances_);
    }

    bool Dynamic()
    {
        if (!Need(14))
            return false;
        const int literalCount = static_cast<int>(Take(5)) + 257;
        const int distanceCount = static_cast<int>(Take(5)) + 1;
        const int lengthCodeCount = static_cast<int>(Take(4)) + 4;
        if (literalCount > 286 || distanceCount > 30)
            return false;
        static constexpr std::array<int, 19> order = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::array<std::uint8_t, 19> lengthCodeLengths{};
        for (int i = 0; i < lengthCodeCount; ++i) {
            if (!Need(3))
                return false;
            lengthCodeLengths[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = static_cast<std::uint8_t>(Take(3));
        }
        if (!lengthCode_.Build(lengthCodeLengths.data(), 19, Role::CodeLengths))
            return false;
        std::array<std::uint8_t, 286 + 30> lengths{};
        for (int have = 0; have < literalCount + distanceCount;) {
            const Step step = Next(lengthCode_);
            if (step.entry == 0)
                return false;
            const int symbol = step.Symbol();
            if (symbol < 16) {
                lengths[static_cast<std::size_t>(have++)] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == 16 && have == 0)
                return false;
            const std::uint8_t repeated = symbol == 16 ? lengths[static_cast<std::size_t>(have - 1)] : 0;
            const int extraBits = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
            if (!Need(extraBits))
                return false;
            const int copies = (symbol == 18 ? 11 : 3) + static_cast<int>(Take(extraBits));
            if (have + copies > literalCount + distanceCount)
                return false;
            std::fill_n(lengths.begin() + have, copies, repeated);
            have += copies;
        }
        // A code without an end of block (zlib refuses it at once) leaves the walk at the end
        // of the stream without a last block: refused too.
        if (!literals_.Build(lengths.data(), literalCount, Role::Literals) ||
            !distances_.Build(lengths.data() + literalCount, distanceCount, Role::Distances))
            return false;
        return Symbols(literals_, distances_);
    }

    bool Symbols(const HuffmanCode& literals, const HuffmanCode& distances)
    {
        for (;;) {
            const Step step = Next(literals);
            if (step.TheKind() == Literal && step.entry != 0)
                continue;
            if (step.TheKind() == EndOfBlock)
                return true;
            if (step.TheKind() != Length || Next(distances).TheKind() != Distance)
                return false;
        }
    }

    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t bits_ = 0;
    int available_ = 0;
    bool fixedBuilt_ = false;
    HuffmanCode lengthCode_, literals_, distances_, fixedLiterals_, fixedDistances_;
};

// ---- libdeflate: the whole stream at once ----

// The walk beside libdeflate, on a second thread where the stream is large enough to repay
// starting one (and the build has threads); otherwise it runs when asked for its answer.
class Walk {
public:
    explicit Walk(ByteView stream) : stream_(stream)
    {
#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
        if (stream.size() >= ConcurrentWalkFrom) {
            try {
                thread_ = std::thread([this] { agrees_ = ZlibAcceptsAsLibdeflateDid(stream_); });
            } catch (const std::system_error&) {
            }
        }
#endif
    }
    ~Walk()
    {
        if (thread_.joinable())
            thread_.join();
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    bool Agrees()
    {
        if (!thread_.joinable())
            return ZlibAcceptsAsLibdeflateDid(stream_);
        thread_.join();
        return agrees_;
    }

private:
    static constexpr std::int64_t ConcurrentWalkFrom = std::int64_t{1} << 18;
    ByteView stream_;
    bool agrees_ = false;
    std::thread thread_;
};

// Inflates the whole stream into `buffer` where libdeflate can and zlib would give the
// same; false where zlib has to decide. The block starts at four times the stream (the
// game's file inflates to less) and doubles until the stream fits; each larger block is
// taken only after the smaller one is released.
bool InflateFast(ByteView stream, DataBuffer& buffer)
{
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    if (!inflater)
        return false;
    Walk walk(stream);
    std::int64_t capacity = std::clamp<std::int64_t>(4 * stream.size(), std::int64_t{1} << 16, MaxFastInflatedLength);
    for (;;) {
        auto block = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(capacity));
        std::size_t inflated = 0;
        const libdeflate_result result = libdeflate_deflate_decompress(inflater.get(), stream.data(), static_cast<std::size_t>(stream.size()),
                                                                       block.get(), static_cast<std::size_t>(capacity), &inflated);
        if (result == LIBDEFLATE_SUCCESS) {
            if (!walk.Agrees())
                return false;
            if (inflated > 0) {
                buffer.bytes = std::move(block);
                buffer.length = static_cast<std::int32_t>(inflated);
            }
            return true;
        }
        if (result != LIBDEFLATE_INSUFFICIENT_SPACE || capacity >= MaxFastInflatedLength)
            return false;
        block.reset();
        capacity = std::min(2 * capacity, MaxFastInflatedLength);
    }
}

// ---- zlib: fixed chunks through the temporary file ----

// Owns the inflater from a successful init to its end.
class Inflater {
public:
    explicit Inflater(ByteView input)
    {
        stream_.next_in = const_cast<Bytef*>(input.data());
        stream_.avail_in = static_cast<uInt>(input.size());
        stream_.zalloc = Z_NULL;
        stream_.zfree = Z_NULL;
        stream_.opaque = Z_NULL;
        stream_.avail_out = 0;
        initResult_ = inflateInit2(&stream_, -15);
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    int InitResult() const { return initResult_; }
    z_stream& Stream() { return stream_; }
    // What the inflater said about its last result.
    std::string Said(int result) const { return stream_.msg ? stream_.msg : zError(result); }

private:
    z_stream stream_{};
    int initResult_ = Z_STREAM_ERROR;
};

// Everything zlib's inflate holds while it runs.
class ZlibInflate {
public:
    ZlibInflate(const std::string& shownName, DataBuffer& buffer) : shownName_(shownName), buffer_(buffer) {}

    LoadResult Run(ByteView stream);

private:
    Failure<LoadFailure> Failed(LoadFailure kind, const std::string& what, std::string systemReason = {}) const
    {
        return velmora::Failed(shownName_, kind, what, std::move(systemReason));
    }
    LoadResult Inflate(ByteView input, std::int64_t& length);
    LoadResult ReadBack(std::int64_t length);

    const std::string& shownName_;
    DataBuffer& buffer_;
    File temp_;
};

LoadResult ZlibInflate::Inflate(ByteView input, std::int64_t& length)
{
    Inflater inflater(input);
    length = 0;
    if (inflater.InitResult() != Z_OK)
        return Failed(LoadFailure::InitFailed, "cannot initialise the inflater", inflater.Said(inflater.InitResult()));

    z_stream& stream = inflater.Stream();
    auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(InflateChunkSize);
    int result = Z_OK;
    do {
        stream.next_out = chunk.get();
        stream.avail_out = static_cast<uInt>(InflateChunkSize);
        result = inflate(&stream, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            break;
        const std::size_t produced = InflateChunkSize - stream.avail_out;
        if (length + static_cast<std::int64_t>(produced) > MaxInflatedLength)
            return Failed(LoadFailure::TooLarge, "the data file inflates to more than " + MaxInflatedText());
        if (const Result<void> written = temp_.WriteAll(chunk.get(), produced); !written)
            return Failed(LoadFailure::TempIoFailed, "cannot write the temporary file in " + TemporaryFolder(),
                          written.failure().systemReason);
        length += static_cast<std::int64_t>(produced);
    } while (result == Z_OK && stream.avail_out == 0);

    if (result == Z_STREAM_END)
        return {};
    if (result == Z_OK || result == Z_BUF_ERROR)
        return Failed(LoadFailure::StreamTruncated, input.empty() ? "the data file is empty" : "the data file's deflate stream is cut short");
    return Failed(LoadFailure::InflateFailed, "the data file is not a raw deflate stream", inflater.Said(result));
}

LoadResult ZlibInflate::ReadBack(std::int64_t length)
{
    if (length == 0)
        return {};
    auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(length));
    const Result<std::int64_t> read = [&]() -> Result<std::int64_t> {
        if (const Result<void> rewound = temp_.Rewind(); !rewound)
            return rewound.failure();
        return temp_.Read(bytes.get(), static_cast<std::size_t>(length));
    }();
    if (!read || *read != length)
        return Failed(LoadFailure::TempIoFailed, "cannot read back the temporary file in " + TemporaryFolder(),
                      read ? "it is shorter than what was written" : read.failure().systemReason);
    buffer_.bytes = std::move(bytes);
    buffer_.length = static_cast<std::int32_t>(length);
    return {};
}

LoadResult ZlibInflate::Run(ByteView stream)
{
    Result<File> temp = File::CreatePrivateTemporary();
    if (!temp)
        return Failed(LoadFailure::TempFileFailed, temp.failure().reason, temp.failure().systemReason);
    temp_ = std::move(*temp);

    std::int64_t length = 0;
    const LoadResult inflated = Inflate(stream, length);
    if (LeavesNothing(inflated))
        return inflated;
    if (LoadResult readBack = ReadBack(length); !readBack)
        return readBack;
    return inflated;
}

// ---- The data file ----

// Everything a load holds while it runs.
class Load {
public:
    Load(const std::string& path, const std::string& winePrefix, DataBuffer& buffer)
        : hostPath_(ResolveHostPathIn(winePrefix, path)), shownPath_(DescribePath(path, hostPath_)), buffer_(buffer) {}

    LoadResult Run();

private:
    Failure<LoadFailure> Failed(LoadFailure kind, const std::string& what, std::string systemReason = {}) const
    {
        return velmora::Failed(shownPath_, kind, what, std::move(systemReason));
    }
    LoadResult ReadInput(std::vector<std::uint8_t>& input);

    std::string hostPath_;
    std::string shownPath_;
    DataBuffer& buffer_;
};

LoadResult Load::ReadInput(std::vector<std::uint8_t>& input)
{
    Result<File> file = File::OpenForReading(hostPath_);
    if (!file)
        return Failed(LoadFailure::OpenFailed, "cannot open the data file", file.failure().systemReason);
    const Result<std::int64_t> size = file->Size();
    if (!size)
        return Failed(LoadFailure::ReadFailed, "cannot read the data file", size.failure().systemReason);
    // A compressed file larger than anything the buffer could hold inflated is not ours.
    if (*size > MaxInflatedLength)
        return Failed(LoadFailure::TooLarge, "the data file is " + std::to_string(*size) + " bytes long, more than the " +
                                                 MaxInflatedText() + " accepted");
    // The files of /proc and /sys say they are empty and are not: read to their end.
    if (*size == 0) {
        std::uint8_t chunk[4096];
        for (;;) {
            const Result<std::int64_t> got = file->Read(chunk, sizeof chunk);
            if (!got)
                return Failed(LoadFailure::ReadFailed, "cannot read the data file", got.failure().systemReason);
            if (*got == 0)
                return {};
            if (static_cast<std::int64_t>(input.size()) + *got > MaxInflatedLength)
                return Failed(LoadFailure::TooLarge, "the data file is more than the " + MaxInflatedText() + " accepted");
            input.insert(input.end(), chunk, chunk + *got);
        }
    }
    input.resize(static_cast<std::size_t>(*size));
    const Result<std::int64_t> read = file->Read(input.data(), input.size());
    if (!read)
        return Failed(LoadFailure::ReadFailed, "cannot read the data file", read.failure().systemReason);
    if (*read != *size)
        return Failed(LoadFailure::ReadFailed, "the data file changed while it was read");
    return {};
}

LoadResult Load::Run()
{
    std::vector<std::uint8_t> input;
    if (LoadResult read = ReadInput(input); !read)
        return read;
    return InflateDataStream(ByteView(input.data(), input.size()), buffer_, shownPath_);
}

} // namespace

bool ZlibAcceptsAsLibdeflateDid(ByteView stream) { return StreamWalk(stream).Run(); }

Result<void, LoadFailure> InflateDataStream(ByteView stream, DataBuffer& buffer, const std::string& shownName, InflatePath path)
{
    buffer.Release();
    if (path == InflatePath::Fast && InflateFast(stream, buffer))
        return {};
    // The temporary file closes, and with that is gone, when zlib's inflate ends.
    LoadResult result = ZlibInflate(shownName, buffer).Run(stream);
    if (LeavesNothing(result))
        buffer.Release();
    return result;
}

Result<void, LoadFailure> LoadDataFile(const std::string& path, DataBuffer& buffer, const std::string& winePrefix)
{
    buffer.Release();
    // The path as composed (e.g. "C:\Games\...") becomes the host path once.
    return Load(path, winePrefix, buffer).Run();
}

} // namespace velmora
