#include "data/DataFile.h"

#include <memory>
#include <vector>

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

// Everything a load holds while it runs.
class Load {
public:
    Load(const std::string& path, const std::string& winePrefix, DataBuffer& buffer)
        : hostPath_(ResolveHostPathIn(winePrefix, path)), shownPath_(DescribePath(path, hostPath_)), buffer_(buffer) {}

    LoadResult Run();

private:
    Failure<LoadFailure> Failed(LoadFailure kind, const std::string& what, std::string systemReason = {}) const
    {
        return {kind, shownPath_ + ": " + what, std::move(systemReason)};
    }
    LoadResult ReadInput(std::vector<std::uint8_t>& input);
    LoadResult Inflate(std::vector<std::uint8_t> input, std::int64_t& length);
    LoadResult ReadBack(std::int64_t length);

    std::string hostPath_;
    std::string shownPath_;
    DataBuffer& buffer_;
    File temp_;
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
    input.resize(static_cast<std::size_t>(*size));
    const Result<std::int64_t> read = file->Read(input.data(), input.size());
    if (!read)
        return Failed(LoadFailure::ReadFailed, "cannot read the data file", read.failure().systemReason);
    if (*read != *size)
        return Failed(LoadFailure::ReadFailed, "the data file changed while it was read");
    return {};
}

// Takes the compressed input, so that it is released (after the inflater has ended) before
// the read-back allocates the inflated block.
LoadResult Load::Inflate(std::vector<std::uint8_t> input, std::int64_t& length)
{
    Inflater inflater(ByteView(input.data(), input.size()));
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

LoadResult Load::ReadBack(std::int64_t length)
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

LoadResult Load::Run()
{
    std::vector<std::uint8_t> input;
    if (LoadResult read = ReadInput(input); !read)
        return read;

    Result<File> temp = File::CreatePrivateTemporary();
    if (!temp)
        return Failed(LoadFailure::TempFileFailed, temp.failure().reason, temp.failure().systemReason);
    temp_ = std::move(*temp);

    std::int64_t length = 0;
    const LoadResult inflated = Inflate(std::move(input), length);
    if (LeavesNothing(inflated))
        return inflated;
    if (LoadResult readBack = ReadBack(length); !readBack)
        return readBack;
    return inflated;
}

} // namespace

Result<void, LoadFailure> LoadDataFile(const std::string& path, DataBuffer& buffer, const std::string& winePrefix)
{
    buffer.Release();
    // The path as composed (e.g. "C:\Games\...") becomes the host path once. The
    // temporary file closes, and with that is gone, when the load ends.
    LoadResult result = Load(path, winePrefix, buffer).Run();
    if (LeavesNothing(result))
        buffer.Release();
    return result;
}

} // namespace velmora
