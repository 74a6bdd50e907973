// Peak memory of one load + parse of a data file, above the idle process.
// Prints the compressed and inflated sizes and the peak resident set before and after.
#include <cstdio>
#include <memory>
#include <sys/resource.h>

#include "data/DataFile.h"
#include "data/DataParser.h"

namespace {

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-load-memory DATAFILE\n");
        return 64;
    }
    // The tables live in the dialog for its whole life, so they belong to the idle process.
    auto tables = std::make_unique<velmora::GameTables>();
    velmora::DataBuffer buffer;
    const long idle = PeakKiB();
    if (!velmora::LoadDataFile(argv[1], buffer) || !velmora::ParseDataFile(buffer, *tables).parsed)
        return 1;
    const long peak = PeakKiB();
    std::FILE* f = std::fopen(argv[1], "rb");
    std::fseek(f, 0, SEEK_END);
    const long compressed = std::ftell(f);
    std::fclose(f);
    const double mib = 1024.0 * 1024.0;
    const double budget = (static_cast<double>(compressed) + buffer.length) / mib + 8.0;
    std::printf("compressed %.2f MiB, inflated %.2f MiB, idle peak %.2f MiB, load peak %.2f MiB, above idle %.2f MiB, budget %.2f MiB\n",
                compressed / mib, buffer.length / mib, idle / 1024.0, peak / 1024.0, (peak - idle) / 1024.0, budget);
    return (peak - idle) / 1024.0 <= budget ? 0 : 2;
}
