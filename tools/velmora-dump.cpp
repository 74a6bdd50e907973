// velmora-dump: exports what the viewer shows of a data file, for scripts and comparisons.
//
//   velmora-dump [--install DIR] [--format text|json|dot] [DATAFILE]
//
// Exit status: 0 success (a "num error" is a warning), 1 the data file could not be
// loaded, 2 the parse failed, 64 bad usage, 74 the output could not be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "tools/DumpFormats.h"
#include "host/HostPath.h"
#include "host/CommandLine.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"

namespace {

constexpr int ExitLoadFailed = 1;
constexpr int ExitParseFailed = 2;
constexpr int ExitUsage = 64;    // EX_USAGE
constexpr int ExitOutput = 74;   // EX_IOERR
constexpr const char* UsageText = "usage: velmora-dump [--install DIR] [--format text|json|dot] [DATAFILE]\n"
                                  "       velmora-dump --help | --version\n";

enum class Format { Text, Json, Dot };

struct Options {
    std::optional<std::string> install;
    std::string dataFile;
    Format format = Format::Text;
    bool help = false;
    bool version = false;
};

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
            if (!options.dataFile.empty() || arg.empty())
                return arg.empty() ? "an empty data file name" : "more than one data file: '" + options.dataFile + "' and '" + arg + "'";
            options.dataFile = arg;
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--install") {
            if (options.install)
                return "--install given twice";
            options.install = takeValue();
            if (options.install->empty())
                return "--install needs a folder";
        } else if (arg == "--format") {
            const std::string name = takeValue();
            if (name == "text")
                options.format = Format::Text;
            else if (name == "json")
                options.format = Format::Json;
            else if (name == "dot")
                options.format = Format::Dot;
            else
                return name.empty() ? "--format needs text, json or dot" : "unknown format '" + name + "' (text, json or dot)";
        } else {
            return "unknown option '" + std::string(argv[i]) + "'";
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    velmora::PrepareCommandLine(argc, argv);
    Options options;
    if (const std::optional<std::string> complaint = ParseArguments(argc, argv, options)) {
        Say(*complaint);
        std::fputs(UsageText, stderr);
        return ExitUsage;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? UsageText : "velmora-dump " VELMORA_VERSION "\n", stdout);
        return 0;
    }

    // --install names a host folder; without it the folder comes from the registry of the
    // Wine prefix, as in the viewer. Every path is resolved when it is opened, with names
    // matched without regard to case.
    std::optional<std::string> folder = options.install;
    if (!folder) {
        const auto read = velmora::ReadInstallFolder();
        if (read)
            folder = *read;
        else if (options.dataFile.empty()) {
            Say("cannot find the installation folder: " + read.failure().Text());
            return ExitLoadFailed;
        }
    }
    const std::string dataFile = options.dataFile.empty() ? velmora::DataFilePath(*folder) : options.dataFile;

    velmora::DataBuffer buffer;
    if (const auto loaded = velmora::LoadDataFile(dataFile, buffer); !loaded) {
        Say(loaded.failure().Text());
        return ExitLoadFailed;
    }
    auto tables = std::make_unique<velmora::GameTables>();
    const velmora::ParseResult parse = velmora::ParseDataFile(buffer, *tables);
    buffer.Release();
    const std::string shownFile = velmora::DescribePath(dataFile, velmora::ResolveHostPath(dataFile));
    for (const std::string& message : parse.messages)
        Say(shownFile + ": " + message);
    if (!parse.parsed)
        return ExitParseFailed;

    velmora::LanguageModules modules;
    if (folder) {
        for (const std::string& path : velmora::LanguageModulePaths(*folder))
            modules.AddModule(path);
    }
    const velmora::StringLookup lookup = [&modules](std::int64_t id) { return modules.LookupString(id); };

    // Written as it is produced; a write that fails leaves its reason in errno, and every
    // later one fails the same way.
    errno = 0;
    switch (options.format) {
    case Format::Text:
        velmora::WriteDumpText(std::cout, *tables, lookup);
        break;
    case Format::Json:
        velmora::WriteDumpJson(std::cout, *tables, lookup);
        break;
    case Format::Dot:
        velmora::WriteDumpDot(std::cout, *tables);
        break;
    }
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Say(std::string("cannot write the output: ") + std::strerror(errno != 0 ? errno : EIO));
        return ExitOutput;
    }
    return 0;
}
