#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velmora::fixtures {

TempDir::TempDir()
{
#ifdef _WIN32
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto candidate = std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate))
            path_ = candidate;
    }
    if (path_.empty())
        throw std::runtime_error("no scratch folder");
#else
    std::string templ = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!::mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

#ifndef _WIN32
int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (::geteuid() == 0) {
            constexpr uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(125);
        }
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
#endif

void WriteText(const std::filesystem::path& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

void MakeWinePrefix(const std::filesystem::path& prefix, std::string_view hive)
{
    std::filesystem::create_directories(prefix / "drive_c");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    if (!hive.empty())
        WriteText(prefix / "system.reg", hive);
}

std::string HiveNaming(std::string_view folder)
{
    std::string escaped;
    for (const char c : folder)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "WINE REGISTRY Version 2\n\n#arch=win32\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n"
           "\"EXE Path\"=\"" + escaped + "\"\n";
}

} // namespace velmora::fixtures
