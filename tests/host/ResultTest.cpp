// A Result asked for what it does not hold throws nothing: a debug build stops at an
// assertion, others answer with the empty value or an empty failure.
#include <gtest/gtest.h>

#include <string>

#include "host/Result.h"

namespace velmora {
namespace {

TEST(ResultTest, MisuseNeverThrows)
{
    Result<std::string> failed(Failure<>{.reason = "gone"});
    const Result<int> done(7);
    EXPECT_EQ(failed.failure().reason, "gone");
    EXPECT_EQ(*done, 7);
    EXPECT_EQ(failed.value_or("kept"), "kept");
#ifdef NDEBUG
    EXPECT_EQ(*failed, "");
    EXPECT_TRUE(failed->empty());
    EXPECT_EQ(done.failure().Text(), "");
#else
    EXPECT_DEATH((void)*failed, "does not hold");
    EXPECT_DEATH((void)done.failure(), "does not hold");
#endif
}

} // namespace
} // namespace velmora
