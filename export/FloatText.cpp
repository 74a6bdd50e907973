#include "export/FloatText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velmora {

namespace {

// The significant digits (no trailing zeros) and the decimal exponent of the first.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// `text` as printf's "%.Ne" wrote it for a positive value: "d.ddde+XX".
Decimal FromScientific(std::string_view text)
{
    Decimal decimal;
    const std::size_t e = text.find('e');
    for (const char c : text.substr(0, e))
        if (c != '.')
            decimal.digits += c;
    decimal.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return decimal;
}

bool ReadsBack(const Decimal& decimal, float value)
{
    const std::string text = decimal.digits + "e" + std::to_string(decimal.exponent - static_cast<int>(decimal.digits.size()) + 1);
    return std::strtof(text.c_str(), nullptr) == value;
}

// The next decimal of as many digits above `decimal`.
Decimal Above(Decimal decimal)
{
    std::size_t i = decimal.digits.size();
    while (i > 0 && decimal.digits[i - 1] == '9')
        decimal.digits[--i] = '0';
    if (i == 0) {  // 99..9 becomes 10..0, one place up
        decimal.digits[0] = '1';
        ++decimal.exponent;
    } else {
        ++decimal.digits[i - 1];
    }
    return decimal;
}

// The fewest digits that read back to `value` (positive, finite): printf rounds to the
// nearest of each length; where the nearest does not read back, the one above it may,
// for the interval that reads back is wider above a power of two than below it.
Decimal Shortest(float value)
{
    Decimal found;
    for (int precision = 1; precision <= 9; ++precision) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*e", precision - 1, static_cast<double>(value));
        found = FromScientific(text);
        if (ReadsBack(found, value))
            break;
        if (const Decimal above = Above(found); ReadsBack(above, value)) {
            found = above;
            break;
        }
    }
    while (found.digits.size() > 1 && found.digits.back() == '0')
        found.digits.pop_back();
    return found;
}

} // namespace

std::string ShortestFloatText(float value)
{
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isnan(value))
        return sign + "nan";
    if (std::isinf(value))
        return sign + "inf";
    if (value == 0)
        return sign + "0";
    const Decimal decimal = Shortest(std::fabs(value));
    const std::string& digits = decimal.digits;
    const int count = static_cast<int>(digits.size());
    const int e = decimal.exponent;

    std::string scientific(1, digits[0]);
    if (count > 1)
        scientific.append(".").append(digits, 1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%02d", e < 0 ? '-' : '+', std::abs(e));
    scientific += exponent;

    std::string fixed;
    if (e >= count - 1) {
        // An integer: its exact digits, which are as short and nearer than zeros after the
        // significant ones.
        char whole[48];
        std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(std::fabs(value)));
        fixed = whole;
    } else if (e >= 0) {
        const std::size_t point = static_cast<std::size_t>(e) + 1;
        fixed.append(digits, 0, point).append(".").append(digits, point);
    } else {
        fixed.append("0.").append(static_cast<std::size_t>(-e - 1), '0').append(digits);
    }
    std::string text = sign;
    text += fixed.size() <= scientific.size() ? fixed : scientific;
    return text;
}

} // namespace velmora
