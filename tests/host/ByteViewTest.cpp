// Records of fixed layout read through the bounded reader: whole, or not at all.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/ByteView.h"

namespace velmora {
namespace {

struct Sample {
    std::uint16_t first = 0;
    Unused<1> gap;
    std::uint32_t second = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& s, Visit&& visit) { visit(s.first), visit(s.gap), visit(s.second); }
};

TEST(ByteViewTest, RecordsOfFixedLayoutAreReadWhole)
{
    static_assert(StoredSize<Sample> == 7);
    const std::uint8_t bytes[] = {9, 0x34, 0x12, 0xFF, 0x78, 0x56, 0x34, 0x12};
    const ByteView view(bytes, sizeof bytes);
    const auto sample = view.Read<Sample>(1);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->first, 0x1234);
    EXPECT_EQ(sample->second, 0x12345678u);
    EXPECT_FALSE(view.Read<Sample>(2));  // one byte short
    EXPECT_FALSE(view.Read<Sample>(-1));
}

} // namespace
} // namespace velmora
