// The load of the demo's data file as both builds run it, for comparing the WebAssembly
// build under Node with the native one in the same run (bench/web.sh):
//
//   velmora-load-times GAME_FOLDER RUNS
//
// prints the medians, in milliseconds, of a load (inflate through the temporary file), a
// parse, and the JSON dump written into memory with the game's language modules.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "export/DumpFormats.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"

namespace {

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: velmora-load-times GAME_FOLDER RUNS\n", stderr);
        return 64;
    }
    const std::string folder = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const std::string path = folder + "/Data/brannoch2_x1_p1.dat";
    velmora::LanguageModules modules;
    for (const std::string& module : velmora::LanguageModulePaths(folder))
        modules.AddModule(module);
    const velmora::StringLookup lookup = [&modules](std::int64_t id) { return modules.LookupString(id); };

    std::vector<double> loads, parses, dumps;
    std::size_t written = 0;
    for (int run = 0; run < runs; ++run) {
        velmora::DataBuffer buffer;
        auto start = std::chrono::steady_clock::now();
        if (!velmora::LoadDataFile(path, buffer)) {
            std::fprintf(stderr, "velmora-load-times: cannot load %s\n", path.c_str());
            return 1;
        }
        loads.push_back(Since(start));
        velmora::GameTables tables;
        start = std::chrono::steady_clock::now();
        if (!velmora::ParseDataFile(buffer, tables).parsed)
            return 2;
        parses.push_back(Since(start));
        buffer.Release();
        start = std::chrono::steady_clock::now();
        std::ostringstream out;
        velmora::WriteDumpJson(out, tables, lookup);
        written = out.str().size();
        dumps.push_back(Since(start));
    }
    std::printf("load %.1f ms, parse %.2f ms, load+parse %.1f ms, JSON dump %.1f ms (%zu bytes), medians of %d\n",
                Median(loads), Median(parses), Median(loads) + Median(parses), Median(dumps), written, runs);
    return 0;
}
