#include "host/WinePrefixes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

#include "host/WholeFile.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Configuration files are small; anything larger is not one of them.
constexpr std::int64_t MaxConfigFileSize = std::int64_t{4} << 20;

std::string ReadConfig(const fs::path& path)
{
    auto bytes = ReadWholeFile(path.string(), MaxConfigFileSize);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// The folders in `folder`, in name order; none when it cannot be listed.
std::vector<fs::path> Subfolders(const fs::path& folder)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The files in `folder` whose names end in `suffix`, in name order.
std::vector<fs::path> FilesEndingIn(const fs::path& folder, std::string_view suffix)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

class Collector {
public:
    explicit Collector(fs::path home) : home_(std::move(home)) {}

    void Add(const fs::path& path, std::string_view origin)
    {
        std::error_code error;
        fs::path key = fs::canonical(path, error);
        if (error)
            key = path.lexically_normal();
        if (seen_.insert(key.string()).second)
            places_.push_back({path.lexically_normal().string(), std::string(origin)});
    }

    void AddEach(const std::vector<fs::path>& paths, std::string_view origin)
    {
        for (const fs::path& path : paths)
            Add(path, origin);
    }

    // "~/x" and "$HOME/x" under the home folder; anything else as written.
    fs::path Expand(std::string_view path) const
    {
        if (path.starts_with("~/"))
            return home_ / path.substr(2);
        if (path.starts_with("$HOME/"))
            return home_ / path.substr(6);
        return fs::path(path);
    }

    const fs::path& Home() const { return home_; }
    std::vector<WinePrefixPlace> Take() { return std::move(places_); }

private:
    fs::path home_;
    std::set<std::string> seen_;
    std::vector<WinePrefixPlace> places_;
};

// The quoted strings and braces of a Valve key-value file, in order; a brace stands as
// "{" or "}" with `quoted` false.
struct VdfToken {
    std::string text;
    bool quoted;
};

std::vector<VdfToken> VdfTokens(std::string_view vdf)
{
    std::vector<VdfToken> tokens;
    for (std::size_t i = 0; i < vdf.size(); ++i) {
        const char c = vdf[i];
        if (c == '{' || c == '}') {
            tokens.push_back({std::string(1, c), false});
        } else if (c == '/' && i + 1 < vdf.size() && vdf[i + 1] == '/') {
            i = std::min(vdf.find('\n', i), vdf.size());
        } else if (c == '"') {
            std::string text;
            for (++i; i < vdf.size() && vdf[i] != '"'; ++i) {
                if (vdf[i] == '\\' && i + 1 < vdf.size())
                    ++i;
                text += vdf[i];
            }
            tokens.push_back({std::move(text), true});
        }
    }
    return tokens;
}

bool IsNumber(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::vector<std::string> SteamLibraryFolders(std::string_view vdf)
{
    // A library is the value of a "path" key (today's form) or of a numbered key whose
    // value is a text rather than a block (the older form).
    std::vector<std::string> folders;
    const std::vector<VdfToken> tokens = VdfTokens(vdf);
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const VdfToken& key = tokens[i];
        const VdfToken& value = tokens[i + 1];
        if (!key.quoted || !value.quoted)
            continue;
        std::string lower = key.text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if ((lower == "path" || IsNumber(key.text)) && !value.text.empty())
            folders.push_back(value.text);
        ++i;  // a key and its text value are one pair
    }
    return folders;
}

std::string LutrisGamePrefix(std::string_view yaml)
{
    std::size_t pos = 0;
    while (pos < yaml.size()) {
        std::size_t end = yaml.find('\n', pos);
        if (end == std::string_view::npos)
            end = yaml.size();
        const std::string_view line = Trim(yaml.substr(pos, end - pos));
        pos = end + 1;
        if (!line.starts_with("prefix:"))
            continue;
        std::string_view value = Trim(line.substr(7));
        if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.empty() || value == "null" || value == "~")
            return {};
        return std::string(value);
    }
    return {};
}

std::vector<WinePrefixPlace> WinePrefixPlaces()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return {{prefix, "WINEPREFIX"}};
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};

    Collector places{fs::path(home)};
    const fs::path& h = places.Home();
    places.Add(h / ".wine", "~/.wine");
    for (const fs::path& games : {h / ".config/lutris/games", h / ".local/share/lutris/games"}) {
        for (const fs::path& file : FilesEndingIn(games, ".yml")) {
            const std::string prefix = LutrisGamePrefix(ReadConfig(file));
            if (!prefix.empty())
                places.Add(places.Expand(prefix), "Lutris");
        }
    }
    places.AddEach(Subfolders(h / ".local/share/bottles/bottles"), "Bottles");
    places.AddEach(Subfolders(h / ".var/app/com.usebottles.bottles/data/bottles/bottles"), "Bottles");
    places.AddEach(Subfolders(h / ".PlayOnLinux/wineprefix"), "PlayOnLinux");
    for (const fs::path& steam : {h / ".steam/steam", h / ".local/share/Steam"}) {
        const std::string vdf = ReadConfig(steam / "steamapps/libraryfolders.vdf");
        if (vdf.empty())
            continue;
        std::vector<fs::path> libraries{steam};
        for (const std::string& folder : SteamLibraryFolders(vdf))
            libraries.push_back(places.Expand(folder));
        for (const fs::path& library : libraries) {
            for (const fs::path& game : Subfolders(library / "steamapps/compatdata")) {
                std::error_code error;
                if (fs::is_directory(game / "pfx", error))
                    places.Add(game / "pfx", "Steam");
            }
        }
    }
    places.AddEach(Subfolders(h / ".cxoffice"), "CrossOver");
    return places.Take();
}

} // namespace velmora
