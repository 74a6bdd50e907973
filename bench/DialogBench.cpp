// The main dialog on the demo installation, offscreen: loading through Enter's chain,
// and selecting every tech in turn as a user stepping through the list.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "resources/DialogFonts.h"
#include "app/MainDialog.h"
#include "ui/Application.h"

namespace {

using namespace velmora;

// Built by main() after the application object and destroyed before it.
MainDialog* shared = nullptr;

std::unique_ptr<MainDialog> LoadedDialog()
{
    ::setenv("WINEPREFIX", VELMORA_DEMO_PREFIX, 1);
    auto d = std::make_unique<MainDialog>();
    if (!d->Create())
        throw std::runtime_error("the dialog was not built");
    if (!d->LoadDataFile(d->pathText) || !d->ParseDataFile())
        throw std::runtime_error("the demo does not load");
    d->FillTechList();
    return d;
}

void BM_DialogLoad(benchmark::State& state)
{
    MainDialog& d = *shared;
    for (auto _ : state) {
        if (!d.LoadDataFile(d.pathText) || !d.ParseDataFile())
            throw std::runtime_error("load failed");
        d.FillTechList();
        d.UpdateData(false);
    }
}

void BM_SelectEveryTech(benchmark::State& state)
{
    MainDialog& d = *shared;
    const int count = d.tables.techCount;
    for (auto _ : state)
        for (int k = 0; k < count; ++k) {
            d.techList.SetCurSel(k);
            d.OnSelChangeTechList();
        }
    state.counters["techs"] = count;
}

BENCHMARK(BM_DialogLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SelectEveryTech)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application application(argc, argv, "velmora", "Velmora");
    InstallDialogFonts();
    benchmark::Initialize(&argc, argv);
    const std::unique_ptr<MainDialog> dialog = LoadedDialog();
    shared = dialog.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
