// Plain file access for the few files the program touches: the data file (read only) and
// its temporary file. POSIX underneath (File.cpp); Windows in FileWin32.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace velmora {

class File {
public:
    File() = default;
    ~File() { Close(); }
    File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    File& operator=(File&& other) noexcept
    {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing regular file for reading only. Folders, devices, FIFOs and sockets
    // are refused without blocking.
    static File OpenForReading(const std::string& path);

    // POSIX: opens a scratch file for reading and writing, creating it or emptying a stale one.
    // The name is never followed through a symbolic link, and a name that is not a plain
    // file of its own (a link, a device, a file with several hard links) is refused and
    // left alone.
    static File OpenScratch(const std::string& path);

    // Windows: a scratch file private to this load, new in the user's temporary folder,
    // opened with no sharing and deleted by the system when it is closed.
    static File CreateTemporary();

    bool IsOpen() const { return fd_ >= 0; }
    // Size as the file system reports it, or -1.
    std::int64_t Size() const;
    // Reads up to `size` bytes, retrying short reads; returns the count read or -1 on error.
    std::int64_t Read(void* data, std::size_t size);
    bool WriteAll(const void* data, std::size_t size);
    bool Rewind();
    bool Close();

private:
    explicit File(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Deletes a file; true when it is gone.
bool RemoveFile(const std::string& path);

} // namespace velmora
