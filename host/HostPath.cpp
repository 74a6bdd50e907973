#include "host/HostPath.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "host/Text.h"

namespace velmora {

namespace {

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Lowered(std::string_view name)
{
    std::string lowered(name);
    for (char& c : lowered)
        c = LowerAscii(c);
    return lowered;
}

std::vector<std::string_view> SplitComponents(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

std::string SlashesOnly(std::string_view path)
{
    std::string out(path);
    for (char& c : out) {
        if (c == '\\')
            c = '/';
    }
    return out;
}

} // namespace

std::string WinePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return prefix;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.wine";
    return {};
}

const std::string& HostPathResolver::FindIgnoringCase(const std::string& folder, std::string_view name)
{
    auto [listing, fresh] = listings_.try_emplace(folder);
    if (fresh) {
        if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string_view candidate = entry->d_name;
                if (candidate == "." || candidate == "..")
                    continue;
                auto [best, added] = listing->second.try_emplace(Lowered(candidate), candidate);
                if (!added && candidate < best->second)
                    best->second = candidate;
            }
            ::closedir(dir);
        }
    }
    static const std::string none;
    const auto found = listing->second.find(Lowered(name));
    return found == listing->second.end() ? none : found->second;
}

std::string HostPathResolver::Resolve(std::string_view composed)
{
    if (!composed.empty() && Exists(std::string(composed)))
        return std::string(composed);
    const std::string path = SlashesOnly(composed);

    // `resolved` is the folder reached so far: "" for the working folder, or a path that
    // ends in '/'.
    std::string resolved;
    std::vector<std::string_view> parts;
    std::string driveName;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        if (prefix_.empty())
            return path;
        resolved = prefix_ + "/dosdevices/";
        driveName = {LowerAscii(path[0]), ':'};
        parts.push_back(driveName);
        // ".." goes up a folder and stops at the drive's root, as on Windows.
        for (const std::string_view part : SplitComponents(std::string_view(path).substr(2))) {
            if (part != "..")
                parts.push_back(part);
            else if (parts.size() > 1)
                parts.pop_back();
        }
    } else {
        if (!path.empty() && path[0] == '/')
            resolved = "/";
        parts = SplitComponents(path);
    }

    bool lost = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string name(parts[i]);
        if (!lost && name != ".." && !Exists(resolved + name)) {
            const std::string& found = FindIgnoringCase(resolved, name);
            if (found.empty())
                lost = true;
            else
                name = found;
        }
        resolved += name;
        if (i + 1 < parts.size())
            resolved += '/';
    }
    return resolved;
}

std::string ResolveHostPathIn(const std::string& prefix, std::string_view composed)
{
    return HostPathResolver(prefix).Resolve(composed);
}

std::string DescribePath(std::string_view given, const std::string& hostPath)
{
    if (given == hostPath || SlashesOnly(given) == hostPath)
        return hostPath;
    return std::string(given) + " (" + hostPath + ")";
}

} // namespace velmora
