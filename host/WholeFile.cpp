#include "host/WholeFile.h"

#include "host/File.h"

namespace velmora {

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& hostPath, std::int64_t maxSize)
{
    File file = File::OpenForReading(hostPath);
    if (!file.IsOpen())
        return Failure<>{.reason = "cannot open the file"};
    const Failure<> unreadable{.reason = "cannot read the file"};
    const std::int64_t size = file.Size();
    if (size < 0)
        return unreadable;
    if (size > maxSize)
        return Failure<>{.reason = "the file is too large"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (file.Read(bytes.data(), bytes.size()) != size)
        return unreadable;
    // A file that grew while it was read is taken as it was at its first size; one more
    // byte available means it changed under us, which is refused like a failed read.
    std::uint8_t extra = 0;
    if (file.Read(&extra, 1) != 0)
        return unreadable;
    return bytes;
}

} // namespace velmora
