// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace velmora::fixtures {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Runs `body` in a child process without root's privileges (as the user "nobody" when the
// tests run as root), so that file permissions apply as they do for a user. Returns the
// child's exit status, or -1 when it did not exit normally.
int RunUnprivileged(const std::function<int()>& body);

} // namespace velmora::fixtures
