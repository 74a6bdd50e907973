#include "host/File.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// A failure with the text of errno as the system's reason.
Failure<> SystemFailure(std::string reason, int error = errno)
{
    return Failure<>{.reason = std::move(reason), .systemReason = std::strerror(error)};
}

// A fresh name for a temporary file that no other process can guess.
std::string RandomName()
{
    unsigned char bytes[8] = {};
    if (::getentropy(bytes, sizeof bytes) != 0)  // glibc, and emscripten, which has no getrandom
        return {};
    std::string name = "velmora-";
    for (const unsigned char b : bytes) {
        name += "0123456789abcdef"[b >> 4];
        name += "0123456789abcdef"[b & 15];
    }
    return name;
}

} // namespace

Result<File> File::OpenForReading(const std::string& path)
{
    // O_NONBLOCK keeps a FIFO from blocking the open; a regular file ignores it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return SystemFailure("cannot open the file");
    File file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return SystemFailure("cannot open the file");
    if (S_ISDIR(st.st_mode))
        return Failure<>{.reason = "cannot open the file", .systemReason = FolderReason};
    if (!S_ISREG(st.st_mode))
        return Failure<>{.reason = "cannot open the file", .systemReason = "not a regular file"};
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return SystemFailure("cannot open the file");
    return file;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

Result<File> File::CreatePrivateTemporary()
{
    const std::string folder = TemporaryFolder();
    const std::string reason = "cannot create a temporary file in " + folder;
    // Unnamed, and O_EXCL keeps it from ever being given a name.
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        return File(fd);
    // File systems without unnamed files: a fresh name, never an existing file or a
    // link, removed again before anything is written.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return SystemFailure(reason);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = RandomName();
        if (name.empty())
            return SystemFailure(reason);
        const std::string path = folder + "/" + name;
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return SystemFailure(reason);
        File file(fd);
        if (::unlink(path.c_str()) != 0)
            return SystemFailure(reason);
        return file;
    }
    return SystemFailure(reason, EEXIST);
}

Result<std::int64_t> File::Size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return SystemFailure("cannot learn the file's size");
    return static_cast<std::int64_t>(st.st_size);
}

Result<std::int64_t> File::Read(void* data, std::size_t size)
{
    auto* out = static_cast<unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd_, out + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return SystemFailure("cannot read the file");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

Result<void> File::WriteAll(const void* data, std::size_t size)
{
    const auto* in = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, in + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return SystemFailure("cannot write the file");
        }
        if (n == 0)
            return SystemFailure("cannot write the file", ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

Result<void> File::Rewind()
{
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        return SystemFailure("cannot go back to the start of the file");
    return {};
}

void File::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace velmora
