#include "views/TextForms.h"

#include "host/CodePage.h"

#include <cctype>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace velmora {

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string FormatNumber(std::int64_t value)
{
    return FormatText("%" PRId64, value);
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
