// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

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

// Writes `text` to the file at `path`.
void WriteText(const std::filesystem::path& path, std::string_view text);

// Makes `prefix` a Wine prefix whose drive C is its folder drive_c, linked as Wine links it;
// with `hive`, also its system.reg.
void MakeWinePrefix(const std::filesystem::path& prefix, std::string_view hive = {});

// A system.reg whose key for the game names `folder`, a Windows path, as its installation.
std::string HiveNaming(std::string_view folder);

} // namespace velmora::fixtures
