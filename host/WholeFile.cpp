#include "host/WholeFile.h"

#include "host/File.h"

namespace velmora {

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& hostPath, std::int64_t maxSize)
{
    Result<File> file = File::OpenForReading(hostPath);
    if (!file)
        return file.failure();
    const Result<std::int64_t> size = file->Size();
    if (!size)
        return size.failure();
    const auto tooLarge = [maxSize] {
        const bool mebibytes = maxSize >= std::int64_t{1} << 20;
        return Failure<>{.reason = "the file is larger than " + std::to_string(mebibytes ? maxSize >> 20 : maxSize) + (mebibytes ? " MiB" : " bytes")};
    };
    if (*size > maxSize)
        return tooLarge();
    // The files of /proc and /sys say they are empty and are not: read to their end.
    if (*size == 0) {
        std::vector<std::uint8_t> bytes;
        std::uint8_t chunk[4096];
        for (;;) {
            const Result<std::int64_t> read = file->Read(chunk, sizeof chunk);
            if (!read)
                return read.failure();
            if (*read == 0)
                return bytes;
            if (static_cast<std::int64_t>(bytes.size()) + *read > maxSize)
                return tooLarge();
            bytes.insert(bytes.end(), chunk, chunk + *read);
        }
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    const Result<std::int64_t> read = file->Read(bytes.data(), bytes.size());
    if (!read)
        return read.failure();
    // A file that grew while it was read is taken as it was at its first size; one more
    // byte available means it changed under us, which is refused like a failed read.
    std::uint8_t extra = 0;
    if (*read != *size || file->Read(&extra, 1).value_or(1) != 0)
        return Failure<>{.reason = "the file changed while it was read"};
    return bytes;
}

} // namespace velmora
