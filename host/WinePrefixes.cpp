#include "host/WinePrefixes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "host/File.h"
#include "host/SteamLibraries.h"
#include "host/WholeFile.h"
#include "host/Yaml.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The bytes of a configuration file, or why they cannot be had.
Result<std::vector<std::uint8_t>> ReadConfig(const fs::path& path, std::int64_t maxSize)
{
    auto bytes = ReadWholeFile(path.string(), maxSize);
    if (!bytes)
        return Failure<>{.reason = bytes.failure().Text()};
    return bytes;
}

std::string_view TextOf(const std::vector<std::uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// What a folder holds, each kind in name order; `listed` false when it cannot be listed,
// and `problem` then says why.
struct Listing {
    bool listed = false;
    std::string problem;
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
};

// The folders in `folder` (through links) and, when asked, its other entries.
Listing List(const fs::path& folder, bool withFiles = false)
{
    Listing listing;
    DIR* dir = ::opendir(folder.c_str());
    listing.listed = dir != nullptr;
    if (!dir) {
        listing.problem = PlaceProblem(folder.string(), PlaceKind::Folder);
        return listing;
    }
    std::vector<std::string> folders;
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isFolder = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder || withFiles)
            (isFolder ? folders : files).emplace_back(name);
    }
    ::closedir(dir);
    // In name order, compared as bytes.
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    for (const std::string& name : folders)
        listing.folders.push_back(folder / name);
    for (const std::string& name : files)
        listing.files.push_back(folder / name);
    return listing;
}

// Walks the places in order for one visitor, remembering the folders met.
class Search {
public:
    Search(fs::path home, const std::function<bool(const WinePrefixPlace&)>& visit) : home_(std::move(home)), visit_(visit) {}

    // Each returns false once the visitor has asked to stop.
    bool Run()
    {
        const fs::path& h = home_;
        return Prefix(h / ".wine", "~/.wine") && Lutris() && Bottles() &&
               EachSubfolder(h / ".PlayOnLinux/wineprefix", "PlayOnLinux", "no prefix in it") && Steam() &&
               EachSubfolder(h / ".cxoffice", "CrossOver", "no bottle in it");
    }

private:
    // A prefix, unless the same folder was met before.
    bool Prefix(const fs::path& path, std::string_view origin)
    {
        if (!FirstTime(prefixesSeen_, path))
            return true;
        return visit_({path.lexically_normal().string(), std::string(origin), ""});
    }

    bool PassOver(const fs::path& path, std::string_view origin, std::string reason)
    {
        return visit_({path.string(), std::string(origin), std::move(reason)});
    }

    // The folders met: by device and inode, so through any link; one that is not there by
    // its text.
    struct Seen {
        std::set<std::pair<dev_t, ino_t>> folders;
        std::set<std::string> missing;
    };

    // True the first time `path` is met in `seen`.
    static bool FirstTime(Seen& seen, const fs::path& path)
    {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0)
            return seen.folders.insert({st.st_dev, st.st_ino}).second;
        return seen.missing.insert(path.lexically_normal().string()).second;
    }

    // The folders of `folder`, each a prefix.
    bool EachSubfolder(const fs::path& folder, std::string_view origin, std::string_view noneReason)
    {
        const Listing listing = List(folder);
        if (!listing.listed)
            return PassOver(folder, origin, listing.problem);
        if (listing.folders.empty())
            return PassOver(folder, origin, std::string(noneReason));
        for (const fs::path& sub : listing.folders) {
            if (!Prefix(sub, origin))
                return false;
        }
        return true;
    }

    // A path a tool's file names: "~" and "~/..." (and "$HOME/...") under the home folder,
    // as Lutris expands them; the rest as written. Only an absolute path is a place.
    std::optional<fs::path> Absolute(std::string_view path) const
    {
        if (path == "~")
            return home_;
        if (path.starts_with("~/"))
            return home_ / path.substr(2);
        if (path.starts_with("$HOME/"))
            return home_ / path.substr(6);
        if (!path.starts_with('/') || path.find('\0') != std::string_view::npos)
            return std::nullopt;
        return fs::path(path);
    }

    // The prefix a YAML file names at `keys`, or the reason it names none.
    Result<fs::path> NamedPrefix(const fs::path& file, std::span<const std::string_view> keys, std::string_view what) const
    {
        const auto text = ReadConfig(file, MaxYamlFileSize);
        if (!text)
            return text.failure();
        const auto value = YamlScalarAt(TextOf(*text), keys);
        if (!value)
            return value.failure();
        if (!*value)
            return Failure<>{.reason = "names no prefix (no " + std::string(what) + ")"};
        if (const std::optional<fs::path> path = Absolute(**value))
            return *path;
        return Failure<>{.reason = "the prefix is not an absolute path: " + **value};
    }

    bool Lutris()
    {
        static constexpr std::array<std::string_view, 2> keys = {"game", "prefix"};
        for (const fs::path& games : {home_ / ".config/lutris/games", home_ / ".local/share/lutris/games"}) {
            const Listing listing = List(games, true);
            bool any = false;
            for (const fs::path& file : listing.files) {
                const std::string name = file.filename().string();
                if (name.size() <= 4 || !name.ends_with(".yml"))
                    continue;
                any = true;
                const Result<fs::path> prefix = NamedPrefix(file, keys, "game: prefix:");
                if (!(prefix ? Prefix(*prefix, "Lutris") : PassOver(file, "Lutris", prefix.failure().reason)))
                    return false;
            }
            if (!listing.listed && !PassOver(games, "Lutris", listing.problem))
                return false;
            if (listing.listed && !any && !PassOver(games, "Lutris", "no game file in it"))
                return false;
        }
        return true;
    }

    bool Bottles()
    {
        static constexpr std::array<std::string_view, 1> keys = {"Path"};
        for (const fs::path& bottles : {home_ / ".local/share/bottles/bottles", home_ / ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
            const Listing listing = List(bottles);
            if (!listing.listed || listing.folders.empty()) {
                if (!PassOver(bottles, "Bottles", listing.listed ? "no bottle in it" : listing.problem))
                    return false;
                continue;
            }
            for (const fs::path& bottle : listing.folders) {
                // A bottle kept elsewhere leaves only a placeholder naming its folder; one
                // that is there in any form is read, and says why when it cannot be.
                const fs::path placeholder = bottle / "placeholder.yml";
                struct stat st {};
                if (::lstat(placeholder.c_str(), &st) != 0 && errno == ENOENT) {
                    if (!Prefix(bottle, "Bottles"))
                        return false;
                    continue;
                }
                const Result<fs::path> prefix = NamedPrefix(placeholder, keys, "Path:");
                if (!(prefix ? Prefix(*prefix, "Bottles") : PassOver(placeholder, "Bottles", prefix.failure().reason)))
                    return false;
            }
        }
        return true;
    }

    bool Steam()
    {
        for (const char* root : {".steam/steam", ".local/share/Steam", ".steam/root", ".var/app/com.valvesoftware.Steam/.local/share/Steam",
                                 ".var/app/com.valvesoftware.Steam/.steam/steam"}) {
            const fs::path steam = home_ / root;
            if (const std::string problem = PlaceProblem(steam.string(), PlaceKind::Folder); !problem.empty()) {
                if (!PassOver(steam, "Steam", problem))
                    return false;
                continue;
            }
            if (!FirstTime(librariesSeen_, steam))
                continue;
            // Steam's own folder is a library whatever its list says.
            if (!Library(steam))
                return false;
            const fs::path list = steam / "steamapps/libraryfolders.vdf";
            const auto text = ReadConfig(list, MaxSteamLibraryFileSize);
            Result<SteamLibraryList> libraries = text ? SteamLibraryFolders(TextOf(*text)) : Failure<>{text.failure()};
            if (!libraries) {
                if (!PassOver(list, "Steam", libraries.failure().reason + "; only Steam's own library searched"))
                    return false;
                continue;
            }
            for (const std::string& listed : libraries->folders) {
                const std::optional<fs::path> library = Absolute(listed);
                if (!library) {
                    if (!PassOver(listed, "Steam", "a library that is not an absolute path"))
                        return false;
                } else if (FirstTime(librariesSeen_, *library) && !Library(*library)) {
                    return false;
                }
            }
            if (libraries->more > 0 &&
                !PassOver(list, "Steam", "lists " + std::to_string(libraries->more) + " more libraries, past the " + std::to_string(MaxSteamLibraries) + " searched"))
                return false;
        }
        return true;
    }

    bool Library(const fs::path& library)
    {
        const fs::path compat = library / "steamapps/compatdata";
        const Listing listing = List(compat);
        if (!listing.listed) {
            const std::string problem = PlaceProblem(library.string(), PlaceKind::Folder);
            return PassOver(compat, "Steam", problem.empty() ? listing.problem : problem == "no such folder" ? "no such library" : problem);
        }
        bool any = false;
        for (const fs::path& game : listing.folders) {
            if (!velmora::IsFolder((game / "pfx").string()))
                continue;
            any = true;
            if (!Prefix(game / "pfx", "Steam"))
                return false;
        }
        return any || PassOver(compat, "Steam", "no prefix in it");
    }

    fs::path home_;
    const std::function<bool(const WinePrefixPlace&)>& visit_;
    Seen prefixesSeen_;
    Seen librariesSeen_;
};

} // namespace

void ForEachWinePrefixPlace(const std::function<bool(const WinePrefixPlace&)>& visit)
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        visit({prefix, "WINEPREFIX", ""});
        return;
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        visit({"", "", std::string(NoWinePrefixReason)});
        return;
    }
    Search(fs::path(home), visit).Run();
}

} // namespace velmora
