// The WebAssembly build's code page tables, written from this system's conversion, give
// what it gives: for every code page it accepts, every byte alone and every pair of bytes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/CodePage.h"
#include "host/CodePageTable.h"

namespace velmora {
namespace {

TEST(CodePageTableTest, EveryByteAndPairAsTheSystemDecodesThem)
{
    std::set<unsigned> tabled;
    for (std::size_t i = 0; i < CodePageTableCount; ++i) {
        const CodePageTable& table = CodePageTables[i];
        tabled.insert(table.codePage);
        int differing = 0;
        for (int b = 0; b < 256; ++b) {
            for (int t = -1; t < 256; ++t) {  // -1: the byte alone
                std::string bytes(1, static_cast<char>(b));
                if (t >= 0)
                    bytes += static_cast<char>(t);
                if (DecodeWithTable(table, bytes) != CodePageToUtf8(bytes, table.codePage) && differing++ < 3)
                    ADD_FAILURE() << "code page " << table.codePage << ", bytes " << b << " " << t;
            }
        }
        EXPECT_EQ(differing, 0) << table.codePage;
    }
    std::set<unsigned> accepted;
    for (unsigned codePage = 1; codePage <= 65535; ++codePage)
        if (CanDecodeCodePage(codePage))
            accepted.insert(codePage);
    EXPECT_EQ(tabled, accepted);
    EXPECT_TRUE(tabled.contains(CodePageShiftJis) && tabled.contains(CodePageWestern) && tabled.contains(949));
}

} // namespace
} // namespace velmora
