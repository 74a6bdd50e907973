// The dump's float text, which both builds write in the same way, is what std::to_chars
// writes here: on edge cases by their text, and on bit patterns spread over every float,
// each at the bottom of its binade (where the interval that reads back is lopsided), by
// std::to_chars itself.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "export/FloatText.h"

namespace velmora {
namespace {

std::string StandardText(float value)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(FloatTextTest, EdgeCases)
{
    const struct {
        float value;
        const char* text;
    } rows[] = {
        {0.1f, "0.1"}, {-0.0f, "-0"}, {0.0f, "0"}, {1e10f, "1e+10"}, {1e-5f, "1e-05"}, {1.5f, "1.5"},
        {123456792.0f, "123456792"}, {16777216.0f, "16777216"}, {0.001f, "0.001"}, {1.12f, "1.12"},
        {std::numeric_limits<float>::infinity(), "inf"}, {-std::numeric_limits<float>::infinity(), "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"}, {-std::numeric_limits<float>::quiet_NaN(), "-nan"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"}, {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::min(), "1.1754944e-38"}, {9.999999e-5f, "9.999999e-05"}, {100.0f, "100"}, {10000.0f, "10000"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ShortestFloatText(row.value), row.text) << row.text;
        EXPECT_EQ(ShortestFloatText(row.value), StandardText(row.value)) << row.text;
    }
}

TEST(FloatTextTest, AsStdToCharsWritesThem)
{
    int differing = 0;
    const auto check = [&differing](std::uint32_t bits) {
        const float value = std::bit_cast<float>(bits);
        if (ShortestFloatText(value) != StandardText(value) && differing++ < 5)
            ADD_FAILURE() << std::hex << bits << ": " << ShortestFloatText(value) << " " << StandardText(value);
    };
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFF; bits += 65521)
        check(static_cast<std::uint32_t>(bits));
    for (std::uint32_t exponent = 0; exponent < 256; ++exponent)
        for (const std::uint32_t sign : {0u, 0x80000000u})
            for (const std::uint32_t mantissa : {0u, 1u, 2u, 0x7FFFFFu})
                check(sign | exponent << 23 | mantissa);
    for (std::uint32_t whole = 1; whole < (1u << 26); whole = whole * 3 + 1)
        check(std::bit_cast<std::uint32_t>(static_cast<float>(whole)));
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace velmora
