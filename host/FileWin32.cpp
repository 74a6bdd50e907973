// File on Windows: the files are opened with the wide calls, so any folder name works,
// and then handed to the C runtime's descriptors, which File keeps as on POSIX.
#define _CRT_RAND_S
#include "host/File.h"

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <algorithm>

#include "host/HostPath.h"
#include "host/Win32Text.h"

namespace velmora {

namespace {

// A failure with the system's words for `error` as its system reason.
Failure<> SystemFailure(std::string reason, DWORD error = GetLastError())
{
    return Failure<>{.reason = std::move(reason), .systemReason = SystemErrorText(error)};
}

// The descriptor that owns `handle` from now on; -1 (and the handle closed) on failure.
int Adopt(HANDLE handle)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
}

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// The path as the file calls take it: made full, and past MAX_PATH with the prefix under
// which the system takes it whole.
std::wstring ForFileCalls(const std::string& path)
{
    const std::wstring wide = Wide(path);
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return wide;
    full.resize(length);
    const std::u16string extended = ExtendedLengthPath(std::u16string_view(reinterpret_cast<const char16_t*>(full.data()), full.size()));
    return std::wstring(extended.begin(), extended.end());
}

} // namespace

Result<File> File::OpenForReading(const std::string& path)
{
    // Shared for everything: the data file loads while the game, an editor or a download
    // has it open, even for writing; the parser checks whatever it reads.
    const std::wstring name = ForFileCalls(path);
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder does not open this way, and the system calls that a denied access.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return Failure<>{.reason = "cannot open the file", .systemReason = FolderReason};
        return SystemFailure("cannot open the file", error);
    }
    File file(Adopt(handle));
    if (!file.IsOpen())
        return Failure<>{.reason = "cannot open the file", .systemReason = "too many open files"};
    // Devices, pipes and consoles are refused.
    if (GetFileType(HandleOf(file.fd_)) != FILE_TYPE_DISK)
        return Failure<>{.reason = "cannot open the file", .systemReason = "not a regular file"};
    return file;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(ForFileCalls(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string TemporaryFolder()
{
    wchar_t folder[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, folder);
    if (length == 0 || length > MAX_PATH + 1)
        return {};
    return Narrow(std::wstring_view(folder, length));
}

Result<File> File::CreatePrivateTemporary()
{
    const std::string folder = TemporaryFolder();
    const std::string reason = "cannot create a temporary file in " + folder;
    if (folder.empty())
        return SystemFailure(reason);
    // A new name each time; CREATE_NEW never takes over a file that exists, whoever made it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned int random = 0;
        if (rand_s(&random) != 0)
            return Failure<>{.reason = reason, .systemReason = "no random numbers"};
        wchar_t name[64];
        swprintf(name, 64, L"velmora-%lu-%08x.tmp", GetCurrentProcessId(), random);
        const HANDLE handle = CreateFileW((Wide(folder) + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            File file(Adopt(handle));
            if (!file.IsOpen())
                return Failure<>{.reason = reason, .systemReason = "too many open files"};
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return SystemFailure(reason, error);
    }
    return SystemFailure(reason, ERROR_FILE_EXISTS);
}

Result<std::int64_t> File::Size() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(HandleOf(fd_), &size))
        return SystemFailure("cannot learn the file's size");
    return static_cast<std::int64_t>(size.QuadPart);
}

Result<std::int64_t> File::Read(void* data, std::size_t size)
{
    auto* out = static_cast<unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(HandleOf(fd_), out + done, want, &got, nullptr))
            return SystemFailure("cannot read the file");
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

Result<void> File::WriteAll(const void* data, std::size_t size)
{
    const auto* in = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(HandleOf(fd_), in + done, want, &written, nullptr))
            return SystemFailure("cannot write the file");
        if (written == 0)
            return SystemFailure("cannot write the file", ERROR_DISK_FULL);
        done += written;
    }
    return {};
}

Result<void> File::Rewind()
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(HandleOf(fd_), start, nullptr, FILE_BEGIN))
        return SystemFailure("cannot go back to the start of the file");
    return {};
}

void File::Close()
{
    if (fd_ >= 0)
        _close(fd_);
    fd_ = -1;
}

} // namespace velmora
