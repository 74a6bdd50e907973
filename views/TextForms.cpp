#include "views/TextForms.h"

#include "host/CodePage.h"

#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace velmora {

std::string FormatText(const char* format, ...)
{
    // Most texts fit the buffer, and are formatted once.
    char buffer[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string text;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        text.assign(buffer, static_cast<std::size_t>(length));
    } else if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

std::string FormatNumber(std::int64_t value)
{
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string FormatNumberBlankNone(std::int64_t value)
{
    return value == -1 ? std::string() : FormatNumber(value);
}

std::int32_t ReadLenientNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, limit - 1));
}

namespace {

unsigned& CodePageOfTexts()
{
    static unsigned codePage = CodePageWestern;
    return codePage;
}

} // namespace

std::string DisplayText(std::string_view bytes)
{
    return Utf8OrCodePage(bytes, CodePageOfTexts());
}

unsigned TextCodePage()
{
    return CodePageOfTexts();
}

void SetTextCodePage(unsigned codePage)
{
    CodePageOfTexts() = codePage;
}

} // namespace velmora
