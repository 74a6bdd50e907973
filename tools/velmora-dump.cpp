// velmora-dump: exports what the viewer shows of a data file, for scripts and comparisons.
//
//   velmora-dump [--install DIR] [--format text|json|dot] [DATAFILE]
//
// Exit status: 0 success, 1 the data file could not be loaded, 2 the parse failed,
// 64 bad usage.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "tools/DumpFormats.h"
#include "host/CommandLine.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"

namespace {

constexpr int ExitLoadFailed = 1;
constexpr int ExitParseFailed = 2;
constexpr int ExitUsage = 64;
constexpr const char* UsageText = "usage: velmora-dump [--install DIR] [--format text|json|dot] [DATAFILE]\n";

enum class Format { Text, Json, Dot };

struct Options {
    std::string install;
    bool hasInstall = false;
    std::string dataFile;
    Format format = Format::Text;
};

// False on bad usage.
bool ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--install") {
            if (i + 1 >= argc || options.hasInstall)
                return false;
            options.install = argv[++i];
            options.hasInstall = true;
        } else if (arg == "--format") {
            if (i + 1 >= argc)
                return false;
            const std::string name = argv[++i];
            if (name == "text")
                options.format = Format::Text;
            else if (name == "json")
                options.format = Format::Json;
            else if (name == "dot")
                options.format = Format::Dot;
            else
                return false;
        } else if (arg == "--") {
            if (i + 2 != argc || !options.dataFile.empty())
                return false;
            options.dataFile = argv[++i];
        } else if (arg.empty() || arg[0] == '-' || !options.dataFile.empty()) {
            return false;
        } else {
            options.dataFile = arg;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    velmora::PrepareCommandLine(argc, argv);
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::fputs(UsageText, stdout);
        return 0;
    }
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(UsageText, stderr);
        return ExitUsage;
    }

    // --install names a host folder; without it the folder comes from the registry of the
    // Wine prefix, as in the viewer. Every path is resolved when it is opened, with names
    // matched without regard to case.
    const std::string folder = options.hasInstall ? options.install : velmora::ReadInstallFolder().value_or("");
    const std::string dataFile = options.dataFile.empty() ? velmora::DataFilePath(folder) : options.dataFile;

    velmora::DataBuffer buffer;
    if (const auto loaded = velmora::LoadDataFile(dataFile, buffer); !loaded) {
        std::fprintf(stderr, "velmora-dump: %s: %s\n", dataFile.c_str(), loaded.failure().Text().c_str());
        return ExitLoadFailed;
    }
    auto tables = std::make_unique<velmora::GameTables>();
    const velmora::ParseResult parse = velmora::ParseDataFile(buffer, *tables);
    for (const std::string& message : parse.messages)
        std::fprintf(stderr, "%s\n", message.c_str());
    if (!parse.parsed)
        return ExitParseFailed;
    buffer.Release();

    velmora::LanguageModules modules;
    for (const std::string& path : velmora::LanguageModulePaths(folder))
        modules.AddModule(path);
    const velmora::StringLookup lookup = [&modules](std::int64_t id) { return modules.LookupString(id); };

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
    return std::cout ? 0 : ExitLoadFailed;
}
