// velmora-dump: prints what the viewer shows of a data file, for scripts and comparisons.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "DataFile.h"
#include "DataParser.h"
#include "Installation.h"

namespace {

constexpr int ExitLoadFailed = 1;
constexpr int ExitParseFailed = 2;
constexpr int ExitUsage = 64;
constexpr const char* DefaultDataFile = "/Data/brannoch2_x1_p1.dat";

class StderrMessages : public velmora::ParseMessages {
public:
    void ShowMessage(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

int Usage()
{
    std::fprintf(stderr, "usage: velmora-dump [--install DIR] [--format text] [DATAFILE]\n");
    return ExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    std::string install;
    std::string dataFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--install" && i + 1 < argc)
            install = argv[++i];
        else if (arg == "--format" && i + 1 < argc) {
            if (std::strcmp(argv[++i], "text") != 0)
                return Usage();
        } else if (!arg.empty() && arg[0] == '-')
            return Usage();
        else if (dataFile.empty())
            dataFile = arg;
        else
            return Usage();
    }
    if (dataFile.empty()) {
        // --install names a host folder; without it the folder comes from the registry of
        // the Wine prefix and the path is composed as the viewer composes it. Either way
        // the load resolves the path, matching names without regard to case.
        dataFile = install.empty() ? velmora::DataFilePath(velmora::ReadInstallFolder()) : install + DefaultDataFile;
    }

    velmora::DataBuffer buffer;
    velmora::LoadStatus status = velmora::LoadStatus::Loaded;
    if (!velmora::LoadDataFile(dataFile, buffer, &status)) {
        const std::string_view why = velmora::DescribeLoadStatus(status);
        std::fprintf(stderr, "velmora-dump: %s: %.*s\n", dataFile.c_str(), static_cast<int>(why.size()), why.data());
        return ExitLoadFailed;
    }
    auto tables = std::make_unique<velmora::GameTables>();
    StderrMessages messages;
    if (!velmora::ParseDataFile(buffer, *tables, messages))
        return ExitParseFailed;

    for (int i = 0; i < tables->techCount; ++i)
        std::printf("%03d:%s\n", i, tables->techs[static_cast<std::size_t>(i)].name.c_str());
    return 0;
}
