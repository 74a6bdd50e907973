// What the views and the dump tool cost on the demo installation: string lookups, the
// effect list of every effect, every tech's detail view, and the dump tool's whole run.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "views/EffectText.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"
#include "views/TechDetailView.h"

namespace {

using namespace velmora;

const std::string GameFolder = std::string(VELMORA_DEMO_PREFIX) + "/drive_c/Games/Brannoch";

struct Demo {
    Demo()
    {
        DataBuffer buffer;
        if (!LoadDataFile(DataFilePath(GameFolder), buffer) || !ParseDataFile(buffer, *tables).parsed)
            throw std::runtime_error("the demo installation does not load");
        for (const std::string& path : LanguageModulePaths(GameFolder))
            modules.AddModule(path);
        if (modules.moduleCount != 3)
            throw std::runtime_error("the demo's language modules do not load");
        lookup = [this](std::int64_t id) { return modules.LookupString(id); };
    }
    std::unique_ptr<GameTables> tables = std::make_unique<GameTables>();
    LanguageModules modules;
    StringLookup lookup;
};

Demo& Shared()
{
    static Demo demo;
    return demo;
}

void BM_LookupString(benchmark::State& state)
{
    Demo& d = Shared();
    std::int64_t id = 0;
    for (auto _ : state) {
        // Tech names, help texts and unit names, spread over all three modules.
        const std::int64_t ids[] = {7000 + id % 460, 28000 + id % 460, 5000 + id % 700, 65535};
        for (const std::int64_t i : ids)
            benchmark::DoNotOptimize(d.modules.LookupString(i));
        ++id;
    }
    state.SetItemsProcessed(state.iterations() * 4);
}

void BM_RenderEveryEffect(benchmark::State& state)
{
    Demo& d = Shared();
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (int n = 0; n < d.tables->effectCount; ++n)
            lines += RenderEffectLines(*d.tables, d.lookup, n).size();
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_DescribeEveryTech(benchmark::State& state)
{
    Demo& d = Shared();
    for (auto _ : state)
        for (int k = 0; k < d.tables->techCount; ++k) {
            const TechDetailView v = DescribeTech(d.tables->techs[static_cast<std::size_t>(k)], d.tables->unitNameIds, d.lookup);
            benchmark::DoNotOptimize(RenderEffectLines(*d.tables, d.lookup, v.effectNo));
        }
}

// One whole run of the dump tool on the demo, its output thrown away: the JSON dump and the
// comparison with the patched demo file measured beside the graph, which only loads, parses
// and lists the techs.
void BM_DumpTool(benchmark::State& state, const std::string& arguments)
{
    const std::string command = std::string(VELMORA_DUMP_PATH) + " --install " + GameFolder + " " + arguments + " > /dev/null";
    for (auto _ : state)
        if (const int status = std::system(command.c_str()); status != 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 1))
            throw std::runtime_error("velmora-dump failed: " + command);
}

BENCHMARK(BM_LookupString);
BENCHMARK(BM_RenderEveryEffect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DescribeEveryTech)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DumpTool, dot, std::string("--format dot"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DumpTool, json, std::string("--format json"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DumpTool, diff, std::string("--diff ") + GameFolder + "/Data/brannoch2_x1_p1.dat " VELMORA_DEMO_PATCHED)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
