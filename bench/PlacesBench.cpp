// Reading Steam's library list as Steam writes it for a player with many games: 148,000 app
// entries in two libraries (3.9 MB), and the same kind of list at 50 MB.
#include <benchmark/benchmark.h>

#include <string>

#include "host/SteamLibraries.h"

namespace {

std::string LibraryList(int apps)
{
    std::string vdf = "\"libraryfolders\"\n{\n";
    for (int library = 0; library < 2; ++library) {
        vdf += "\t\"" + std::to_string(library) + "\"\n\t{\n\t\t\"path\"\t\t\"/home/a/Library" + std::to_string(library) +
               "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"4830967120683473\"\n\t\t\"totalsize\"\t\t\"0\"\n\t\t\"apps\"\n\t\t{\n";
        for (int app = 0; app < apps / 2; ++app)
            vdf += "\t\t\t\"" + std::to_string(200000 + app) + "\"\t\t\"" + std::to_string(1000000000 + app * 7919) + "\"\n";
        vdf += "\t\t}\n\t}\n";
    }
    return vdf + "}\n";
}

void Read(benchmark::State& state)
{
    const std::string vdf = LibraryList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto libraries = velmora::SteamLibraryFolders(vdf);
        if (!libraries || libraries->folders.size() != 2)
            state.SkipWithError("not the two libraries");
        benchmark::DoNotOptimize(libraries);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(vdf.size()));
    state.counters["MB"] = static_cast<double>(vdf.size()) / 1e6;
}
BENCHMARK(Read)->Arg(148000)->Arg(1920000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
