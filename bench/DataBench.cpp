// Load + parse of a realistic data file, against a bare inflate of the same stream.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

#include <libdeflate.h>
#include <zlib.h>

#include "data/DataFile.h"
#include "tools/datafile/DataFileWriter.h"
#include "data/DataParser.h"

namespace {

using namespace velmora;

struct Fixture {
    Fixture()
    {
        raw = datafile::RealisticDataFile();
        compressed = datafile::DeflateRaw(raw);
        char folder[] = "/tmp/velmora-bench.XXXXXX";
        if (!::mkdtemp(folder))
            throw std::runtime_error("cannot create a scratch folder");
        dir = folder;
        path = (dir / "brannoch2_x1_p1.dat").string();
        datafile::WriteFile(path, compressed);
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    datafile::Bytes raw;
    datafile::Bytes compressed;
    std::string path;
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void BM_BareInflate(benchmark::State& state)
{
    Fixture& f = Shared();
    auto out = std::make_unique<std::uint8_t[]>(f.raw.size());
    for (auto _ : state) {
        z_stream s{};
        inflateInit2(&s, -15);
        s.next_in = f.compressed.data();
        s.avail_in = static_cast<uInt>(f.compressed.size());
        s.next_out = out.get();
        s.avail_out = static_cast<uInt>(f.raw.size());
        if (inflate(&s, Z_SYNC_FLUSH) != Z_STREAM_END)
            throw std::runtime_error("inflate failed");
        inflateEnd(&s);
        benchmark::DoNotOptimize(out.get());
    }
    state.counters["inflated_MB"] = static_cast<double>(f.raw.size()) / 1e6;
    state.counters["ratio"] = static_cast<double>(f.raw.size()) / static_cast<double>(f.compressed.size());
}

void BM_BareLibdeflate(benchmark::State& state)
{
    Fixture& f = Shared();
    auto out = std::make_unique<std::uint8_t[]>(f.raw.size());
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        if (libdeflate_deflate_decompress(d, f.compressed.data(), f.compressed.size(), out.get(), f.raw.size(), nullptr) !=
            LIBDEFLATE_SUCCESS)
            throw std::runtime_error("inflate failed");
        benchmark::DoNotOptimize(out.get());
    }
    libdeflate_free_decompressor(d);
}

// The walk that checks zlib would accept what libdeflate did, alone.
void BM_ZlibAgreementWalk(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        if (!ZlibAcceptsAsLibdeflateDid(ByteView(f.compressed.data(), f.compressed.size())))
            throw std::runtime_error("walk failed");
}

void BM_LoadAndParse(benchmark::State& state)
{
    Fixture& f = Shared();
    DataBuffer buffer;
    auto tables = std::make_unique<GameTables>();
    for (auto _ : state) {
        if (!LoadDataFile(f.path, buffer) || !ParseDataFile(buffer, *tables).parsed)
            throw std::runtime_error("load failed");
    }
    state.counters["techs"] = tables->techCount;
}

void BM_LoadOnly(benchmark::State& state)
{
    Fixture& f = Shared();
    DataBuffer buffer;
    for (auto _ : state)
        if (!LoadDataFile(f.path, buffer))
            throw std::runtime_error("load failed");
}

void BM_ParseOnly(benchmark::State& state)
{
    Fixture& f = Shared();
    auto tables = std::make_unique<GameTables>();
    for (auto _ : state)
        if (!ParseDataFile(ByteView(f.raw.data(), f.raw.size()), *tables).parsed)
            throw std::runtime_error("parse failed");
}

BENCHMARK(BM_BareInflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareLibdeflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibAgreementWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadAndParse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's median (or its only run) to print the ratios after the table.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median" || (run.aggregate_name.empty() && !medians.contains(run.run_name.function_name)))
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    if (m.contains("BM_BareInflate") && m["BM_BareInflate"] > 0) {
        const double zlib = m["BM_BareInflate"];
        for (const char* name : {"BM_BareLibdeflate", "BM_ZlibAgreementWalk", "BM_LoadAndParse", "BM_LoadOnly"})
            if (m.contains(name))
                std::printf("%-22s %8.2f ms = %.2f x the bare zlib inflate (%.2f ms)\n", name, m[name], m[name] / zlib, zlib);
    }
    benchmark::Shutdown();
    return 0;
}
