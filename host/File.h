// Plain file access for the few files the program touches: the data file (read only) and
// its temporary file. POSIX underneath (File.cpp); Windows in FileWin32.cpp.
//
// Every failure carries what the system said about it (the text of errno, or of the
// Windows error code).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "host/Result.h"

namespace velmora {

// What a failure to open says when the path names a folder, on every system.
inline constexpr const char* FolderReason = "is a folder";

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

    // Opens an existing regular file for reading only. Folders (FolderReason), devices,
    // FIFOs and sockets are refused without blocking. On Windows the file stays open to
    // others for reading, writing and deleting, and a path of any length can be opened.
    static Result<File> OpenForReading(const std::string& path);

    // Creates a scratch file for reading and writing that only this process can reach:
    // in TemporaryFolder(), without a name where the system allows it, otherwise under a
    // fresh random name that is removed at once. Nothing of it is left once it is closed
    // or the process ends, however it ends. (On Windows: CREATE_NEW, no sharing,
    // FILE_FLAG_DELETE_ON_CLOSE.)
    static Result<File> CreatePrivateTemporary();

    bool IsOpen() const { return fd_ >= 0; }
    Result<std::int64_t> Size() const;
    // Reads up to `size` bytes, retrying short reads; the count read, less only at the end.
    Result<std::int64_t> Read(void* data, std::size_t size);
    Result<void> WriteAll(const void* data, std::size_t size);
    Result<void> Rewind();
    void Close();

private:
    explicit File(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Whether `path` names a folder on this machine; false when it names nothing.
bool IsFolder(const std::string& path);

// What a place passed over is expected to be.
enum class PlaceKind { Folder, File };

// Why the folder (to list) or the regular file (to read) at `path` cannot be used, in the
// words every reader of the installation search gives: "no such folder" ("no such file")
// when nothing is there, "not a folder" ("is a folder", "not a regular file") when
// something else is, else what the system said ("cannot reach the folder: Too many levels
// of symbolic links", "cannot list the folder: Permission denied", "cannot open the file:
// Permission denied"); "" when it can be used. Outside Windows only, for Wine prefixes.
std::string PlaceProblem(const std::string& path, PlaceKind kind);

// The folder for temporary files: $TMPDIR when it is set and not empty, else /tmp
// (on Windows, GetTempPathW's folder).
std::string TemporaryFolder();

} // namespace velmora
