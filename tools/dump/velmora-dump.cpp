// velmora-dump: exports what the viewer shows of a data file, for scripts and comparisons.
//
//   velmora-dump [--install DIR] [--format text|json|dot|csv] [--tech N]... [--codepage N] [DATAFILE]
//   velmora-dump --diff [--install DIR] [--format text|json|markdown] [--tech N]... [--codepage N] OLD NEW
//   velmora-dump --list-installations [--format text|json]
//
// Exit status: 0 success (a "num error" is a warning), 1 the data file could not be
// loaded (or no installation was found to list), 2 the parse failed, 64 bad usage, 74 the output could not be written. With
// --diff as diff(1): 0 no differences, 1 differences, 2 a file could not be loaded or
// parsed.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "host/CodePage.h"
#include "host/CommandLine.h"
#include "host/HostPath.h"
#include "host/Installation.h"
#include "host/Result.h"
#include "strings/LanguageModules.h"
#include "export/DumpDiff.h"
#include "export/DumpFormats.h"
#include "tools/dump/InstallationList.h"
#include "views/TextForms.h"

namespace {

constexpr int ExitLoadFailed = 1;
constexpr int ExitParseFailed = 2;
constexpr int ExitDifferences = 1;
constexpr int ExitTrouble = 2;
constexpr int ExitUsage = 64;    // EX_USAGE
constexpr int ExitOutput = 74;   // EX_IOERR
constexpr const char* UsageText = "usage: velmora-dump [--install DIR] [--format text|json|dot|csv] [--tech N]... [--codepage N] [DATAFILE]\n"
                                  "       velmora-dump --diff [--install DIR] [--format text|json|markdown] [--tech N]... [--codepage N] OLD NEW\n"
                                  "       velmora-dump --list-installations [--format text|json]\n"
                                  "       velmora-dump --help | --version\n";

// Why a data file gave no tables, as the dump's exit status (a comparison's is ExitTrouble).
enum class Unusable { LoadFailed = ExitLoadFailed, ParseFailed = ExitParseFailed };

struct Options {
    std::optional<std::string> install;
    std::vector<std::string> files;
    std::string format = "text";  // a dump's or a comparison's, by name
    velmora::TechFilter techs;
    unsigned codePage = 0;  // of names that are not UTF-8; 0: the system's
    bool diff = false;
    bool help = false;
    bool listInstallations = false;
    bool version = false;
};

// A message on standard error. Texts in it that come from files, paths or arguments are
// shown as Visible shows them.
void Say(const std::string& message)
{
    std::fprintf(stderr, "velmora-dump: %s\n", message.c_str());
}

// The options, or the complaint about the first argument not understood.
std::optional<std::string> ParseArguments(int argc, char** argv, Options& options)
{
    bool operandsOnly = false;  // after "--"
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> value;  // of "--option=value"
        if (const std::size_t eq = arg.find('='); !operandsOnly && arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        }
        const auto takeValue = [&]() -> std::string {
            if (!value && i + 1 < argc)
                value = argv[++i];
            return value.value_or("");
        };
        if (operandsOnly || arg.empty() || arg[0] != '-') {
            if (arg.empty())
                return "an empty data file name";
            options.files.push_back(arg);
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--list-installations") {
            options.listInstallations = true;
        } else if (arg == "--install") {
            if (options.install)
                return "--install given twice";
            options.install = takeValue();
            if (options.install->empty())
                return "--install needs a folder";
        } else if (arg == "--diff") {
            options.diff = true;
        } else if (arg == "--tech") {
            const std::string number = takeValue();
            int k = -1;
            const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), k);
            if (number.empty() || error != std::errc() || end != number.data() + number.size() || k < 0 || k >= velmora::MaxTechs)
                return "--tech needs a tech number from 0 to " + std::to_string(velmora::MaxTechs - 1) + (number.empty() ? "" : ", not '" + number + "'");
            if (std::find(options.techs.only.begin(), options.techs.only.end(), k) == options.techs.only.end())
                options.techs.only.push_back(k);
        } else if (arg == "--codepage") {
            const std::string number = takeValue();
            options.codePage = velmora::ParseCodePage(number);
            if (options.codePage == 0)
                return number.empty() ? "--codepage needs a code page number (932, 1252, ...)" : "unknown code page '" + number + "'";
        } else if (arg == "--format") {
            const std::string name = takeValue();
            if (!velmora::DumpFormatNamed(name) && !velmora::DiffFormatNamed(name))
                return name.empty() ? "--format needs text, json, dot, csv or markdown"
                                    : "unknown format '" + name + "' (text, json, dot, csv or markdown)";
            options.format = name;
        } else {
            return "unknown option '" + std::string(argv[i]) + "'";
        }
    }
    const std::size_t files = options.files.size();
    if (options.diff && files != 2)
        return "--diff compares two data files, OLD and NEW";
    if (!options.diff && files > 1)
        return "more than one data file: '" + options.files[0] + "' and '" + options.files[1] + "'";
    if (options.diff && !velmora::DiffFormatNamed(options.format))
        return "--diff writes text, json or markdown";
    if (!options.diff && !velmora::DumpFormatNamed(options.format))
        return "markdown is the format of --diff's patch notes";
    if (options.listInstallations && (options.install || files > 0 || options.codePage != 0))
        return "--list-installations takes no --install, no --codepage and no data file";
    if (options.listInstallations && options.format != "text" && options.format != "json")
        return "--list-installations writes text or json";
    std::sort(options.techs.only.begin(), options.techs.only.end());
    return std::nullopt;
}

// Loads and parses `path` as the viewer does, the parser's warnings said on standard error;
// the tables, or why not: the load's failure, or the message that stopped the parse (its
// last), each naming the file.
velmora::Result<std::unique_ptr<velmora::GameTables>, Unusable> LoadTables(const std::string& path, const std::string& winePrefix)
{
    velmora::DataBuffer buffer;
    if (const auto loaded = velmora::LoadDataFile(path, buffer, winePrefix); !loaded)
        return velmora::Failure<Unusable>{Unusable::LoadFailed, velmora::Visible(loaded.failure().Text())};
    auto tables = std::make_unique<velmora::GameTables>();
    const velmora::ParseResult parse = velmora::ParseDataFile(buffer, *tables);
    buffer.Release();
    const std::string shownFile = velmora::Visible(velmora::DescribePath(path, velmora::ResolveHostPathIn(winePrefix, path)));
    for (std::size_t i = 0; i < parse.messages.size(); ++i) {
        const std::string message = shownFile + ": " + parse.messages[i];
        if (!parse.parsed && i + 1 == parse.messages.size())
            return velmora::Failure<Unusable>{Unusable::ParseFailed, message};
        Say(message);
    }
    if (!parse.parsed)  // never without a message, but a failure all the same
        return velmora::Failure<Unusable>{Unusable::ParseFailed, shownFile + ": cannot parse the data file"};
    return tables;
}

// Ends the output: `status`, or ExitOutput when it could not all be written. A write that
// fails leaves its reason in errno, and every later one fails the same way.
int FinishOutput(int status)
{
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Say(std::string("cannot write the output: ") + std::strerror(errno != 0 ? errno : EIO));
        return ExitOutput;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    velmora::PrepareCommandLine(argc, argv);
    Options options;
    if (const std::optional<std::string> complaint = ParseArguments(argc, argv, options)) {
        Say(velmora::Visible(*complaint));
        std::fputs(UsageText, stderr);
        return ExitUsage;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? UsageText : "velmora-dump " VELMORA_VERSION "\n", stdout);
        return 0;
    }
    if (options.listInstallations) {
        errno = 0;
        const velmora::Result<void> listed = velmora::WriteInstallationList(std::cout, options.format == "json");
        const int status = FinishOutput(0);
        if (status != 0)
            return status;
        if (!listed) {
            Say(listed.failure().reason);
            return ExitLoadFailed;
        }
        return 0;
    }

    // --install names a host folder; without it the folder comes from the registry of the
    // first Wine prefix that holds the game with its data file, as in the viewer. Every
    // Windows path, composed or given, resolves through the installation's prefix when it
    // is opened, with names matched without regard to case.
    std::optional<std::string> folder = options.install;
    velmora::Installation installation{velmora::WinePrefix(), "", ""};
    if (!folder) {
        const velmora::InstallationLookup lookup = velmora::FindInstallation();
        installation = lookup.installation;
        if (!installation.folder.empty())
            folder = installation.folder;
        if (!lookup.usable && options.files.empty()) {
            Say("cannot find the installation: " + lookup.Report(SIZE_MAX, velmora::Visible));
            return ExitLoadFailed;
        }
    }
    // Names that are not UTF-8 are in the ANSI code page of the system the game is on.
    velmora::SetTextCodePage(options.codePage != 0 ? options.codePage : velmora::SystemAnsiCodePage(installation.prefix));
    std::vector<std::unique_ptr<velmora::GameTables>> loaded;
    const std::vector<std::string> dataFiles = options.diff ? options.files
                                                            : std::vector{options.files.empty() ? velmora::DataFilePath(*folder) : options.files[0]};
    for (const std::string& path : dataFiles) {
        auto tables = LoadTables(path, installation.prefix);
        if (!tables) {
            Say(tables.failure().reason);
            return options.diff ? ExitTrouble : static_cast<int>(tables.failure().kind);
        }
        loaded.push_back(std::move(*tables));
    }
    const velmora::GameTables& tables = *loaded.back();
    int status = 0;

    velmora::LanguageModules modules;
    if (folder) {
        for (const std::string& path : velmora::LanguageModulePaths(*folder))
            modules.AddModule(path, installation.prefix);
    }
    const velmora::StringLookup lookup = velmora::LookupEachOnce(modules);

    // Written as it is produced.
    errno = 0;
    if (options.diff) {
        const velmora::DumpDiff diff = velmora::CompareDumps({options.files[0], loaded[0].get()}, {options.files[1], loaded[1].get()},
                                                             lookup, options.techs);
        if (!diff.Empty()) {
            status = ExitDifferences;
            velmora::WriteDiff(std::cout, velmora::DiffFormatNamed(options.format).value(), diff);
        }
    } else {
        velmora::WriteDump(std::cout, velmora::DumpFormatNamed(options.format).value(), tables, lookup, options.techs);
    }
    return FinishOutput(status);
}
