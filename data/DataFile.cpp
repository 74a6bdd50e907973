#include "data/DataFile.h"

#include <memory>
#include <vector>

#include <zlib.h>

#include "host/File.h"
#include "host/HostPath.h"

namespace velmora {

namespace {

using LoadResult = Result<void, LoadFailure>;

Failure<LoadFailure> Failed(LoadFailure kind)
{
    const auto reason = [kind] {
        switch (kind) {
        case LoadFailure::OpenFailed: return "cannot open the data file";
        case LoadFailure::ReadFailed: return "cannot read the data file";
        case LoadFailure::TempFileFailed: return "cannot create the temporary file beside the data file";
        case LoadFailure::TempIoFailed: return "cannot write, read back or delete the temporary file";
        case LoadFailure::InitFailed: return "cannot initialise the inflater";
        case LoadFailure::InflateFailed: return "the data file is not a raw deflate stream";
        case LoadFailure::StreamTruncated: return "the data file's deflate stream is cut short";
        case LoadFailure::TooLarge: return "the data file inflates to more than the program accepts";
        }
        return "unknown failure";
    };
    return {kind, reason()};
}

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

    bool Ready() const { return initResult_ == Z_OK; }
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
    int initResult_ = Z_STREAM_ERROR;
};

// Everything a load holds while it runs; the destructor removes the temporary file on
// every path out.
class Load {
public:
    Load(const std::string& path, DataBuffer& buffer) : path_(path), tempPath_(path + std::string(TempFileSuffix)), buffer_(buffer) {}
    ~Load()
    {
        if (tempCreated_) {
            temp_.Close();
            RemoveFile(tempPath_);
        }
    }
    Load(const Load&) = delete;
    Load& operator=(const Load&) = delete;

    LoadResult Run();

private:
    LoadResult ReadInput(std::vector<std::uint8_t>& input);
    LoadResult Inflate(ByteView input, std::int64_t& length);
    LoadResult ReadBack(std::int64_t length);

    std::string path_;
    std::string tempPath_;
    DataBuffer& buffer_;
    File temp_;
    bool tempCreated_ = false;
};

LoadResult Load::ReadInput(std::vector<std::uint8_t>& input)
{
    File data = File::OpenForReading(path_);
    if (!data.IsOpen())
        return Failed(LoadFailure::OpenFailed);
    const std::int64_t size = data.Size();
    // A compressed file larger than anything the buffer could hold inflated is not ours.
    if (size < 0 || size > MaxInflatedLength)
        return Failed(size < 0 ? LoadFailure::ReadFailed : LoadFailure::TooLarge);
    input.resize(static_cast<std::size_t>(size));
    if (data.Read(input.data(), input.size()) != size)
        return Failed(LoadFailure::ReadFailed);
    return {};
}

LoadResult Load::Inflate(ByteView input, std::int64_t& length)
{
    Inflater inflater(input);
    length = 0;
    if (!inflater.Ready())
        return Failed(LoadFailure::InitFailed);

    z_stream& stream = inflater.Stream();
    auto chunk = std::make_unique<std::uint8_t[]>(InflateChunkSize);
    int result = Z_OK;
    do {
        stream.next_out = chunk.get();
        stream.avail_out = static_cast<uInt>(InflateChunkSize);
        result = inflate(&stream, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            break;
        const std::size_t produced = InflateChunkSize - stream.avail_out;
        if (length + static_cast<std::int64_t>(produced) > MaxInflatedLength)
            return Failed(LoadFailure::TooLarge);
        if (!temp_.WriteAll(chunk.get(), produced))
            return Failed(LoadFailure::TempIoFailed);
        length += static_cast<std::int64_t>(produced);
    } while (result == Z_OK && stream.avail_out == 0);

    if (result == Z_STREAM_END)
        return {};
    if (result == Z_OK || result == Z_BUF_ERROR)
        return Failed(LoadFailure::StreamTruncated);
    return Failed(LoadFailure::InflateFailed);
}

LoadResult Load::ReadBack(std::int64_t length)
{
    if (length == 0)
        return {};
    auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(length));
    if (!temp_.Rewind() || temp_.Read(bytes.get(), static_cast<std::size_t>(length)) != length)
        return Failed(LoadFailure::TempIoFailed);
    buffer_.bytes = std::move(bytes);
    buffer_.length = static_cast<std::int32_t>(length);
    return {};
}

LoadResult Load::Run()
{
    std::vector<std::uint8_t> input;
    if (LoadResult read = ReadInput(input); !read)
        return read;

#ifdef _WIN32
    // Private to this load and deleted by the system when closed: nothing to remove.
    temp_ = File::CreateTemporary();
    if (!temp_.IsOpen())
        return Failed(LoadFailure::TempFileFailed);
#else
    temp_ = File::OpenScratch(tempPath_);
    if (!temp_.IsOpen())
        return Failed(LoadFailure::TempFileFailed);
    tempCreated_ = true;
#endif

    std::int64_t length = 0;
    const LoadResult inflated = Inflate(ByteView(input.data(), input.size()), length);
    input = {};
    if (LeavesNothing(inflated))
        return inflated;

    if (LoadResult readBack = ReadBack(length); !readBack)
        return readBack;

    const bool removeTemp = tempCreated_;
    tempCreated_ = false;
    const bool closed = temp_.Close();
    if ((removeTemp && !RemoveFile(tempPath_)) || !closed) {
        buffer_.Release();
        return Failed(LoadFailure::TempIoFailed);
    }
    return inflated;
}

} // namespace

Result<void, LoadFailure> LoadDataFile(const std::string& path, DataBuffer& buffer)
{
    buffer.Release();
    // The path as composed (e.g. "C:\Games\...") becomes the host path once; the
    // temporary file is that host path followed by ".tmp1". The load's destructor removes
    // the temporary file before a failure that leaves nothing releases the buffer.
    LoadResult result = Load(ResolveHostPath(path), buffer).Run();
    if (LeavesNothing(result))
        buffer.Release();
    return result;
}

} // namespace velmora
