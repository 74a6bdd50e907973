// The fast inflate (libdeflate, with zlib for what it refuses) against zlib alone on
// arbitrary bytes: the same success or failure, of the same kind and reason, with the same
// bytes held.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "data/DataFile.h"

namespace {

// A temporary folder of our own for zlib's chunks.
void OwnTemporaryFolder()
{
    static const bool made = [] {
        char name[] = "/tmp/velmora-fuzz-XXXXXX";
        if (::mkdtemp(name))
            ::setenv("TMPDIR", name, 1);
        return true;
    }();
    (void)made;
}

bool Same(const velmora::Result<void, velmora::LoadFailure>& a, const velmora::DataBuffer& heldA,
          const velmora::Result<void, velmora::LoadFailure>& b, const velmora::DataBuffer& heldB)
{
    if (a.ok() != b.ok() || heldA.length != heldB.length ||
        (heldA.length > 0 && std::memcmp(heldA.bytes.get(), heldB.bytes.get(), static_cast<std::size_t>(heldA.length)) != 0))
        return false;
    return a.ok() || (a.failure().kind == b.failure().kind && a.failure().Text() == b.failure().Text());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    OwnTemporaryFolder();
    const velmora::ByteView stream(data, size);
    static velmora::DataBuffer fast, zlib;
    const auto fastResult = velmora::InflateDataStream(stream, fast, "fuzz.dat", velmora::InflatePath::Fast);
    const auto zlibResult = velmora::InflateDataStream(stream, zlib, "fuzz.dat", velmora::InflatePath::ZlibOnly);
    if (!Same(fastResult, fast, zlibResult, zlib))
        __builtin_trap();
    return 0;
}
