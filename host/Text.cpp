#include "host/Text.h"

#include <cctype>
#include <cstdio>

namespace velmora {

namespace {

bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

} // namespace

Utf8Sequence DecodeUtf8At(std::string_view text, std::size_t pos)
{
    constexpr Utf8Sequence invalid{ReplacementCharacter, 1, false};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    if (length == 0 || length > text.size() - pos)
        return invalid;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80)
            return invalid;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || IsSurrogate(cp))
        return invalid;
    return {cp, length, true};
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Sequence s = DecodeUtf8At(text, pos);
        if (!s.valid)
            return false;
        pos += s.length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || IsSurrogate(cp))
        cp = ReplacementCharacter;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp > 0x10FFFF || IsSurrogate(cp))
        cp = ReplacementCharacter;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit);  // a lone surrogate is replaced there
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Sequence s = DecodeUtf8At(text, pos);
        AppendUtf16(out, s.codePoint);
        pos += s.length;
    }
    return out;
}

bool IsLayoutControl(char32_t cp)
{
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x2028 && cp <= 0x2029) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
}

namespace {

bool IsHexDigits(std::string_view text, std::size_t pos, std::size_t count)
{
    if (text.size() - pos < count)
        return false;
    for (std::size_t k = pos; k < pos + count; ++k) {
        if (std::isxdigit(static_cast<unsigned char>(text[k])) == 0)
            return false;
    }
    return true;
}

// Whether Visible's output from `pos` on begins with what would read as an escape after a
// backslash: a backslash of the text, a character that is itself escaped, or x and two
// hexadecimal digits, or u and four.
bool StartsEscape(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return false;
    const Utf8Sequence s = DecodeUtf8At(text, pos);
    if (!s.valid || s.codePoint < 0x20 || s.codePoint == 0x7F || (s.codePoint >= 0x80 && s.codePoint <= 0x9F) ||
        IsLayoutControl(s.codePoint) || s.codePoint == '\\')
        return true;
    return (s.codePoint == 'x' && IsHexDigits(text, pos + 1, 2)) || (s.codePoint == 'u' && IsHexDigits(text, pos + 1, 4));
}

} // namespace

std::string Visible(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](const char* format, unsigned value) {
        char shown[16];
        std::snprintf(shown, sizeof shown, format, value);
        out += shown;
    };
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Sequence s = DecodeUtf8At(text, i);
        // A byte that is not UTF-8 is shown too: alone, 0x9B starts a command on some terminals.
        if (!s.valid)
            escape("\\x%02x", static_cast<unsigned char>(text[i]));
        else if (s.codePoint < 0x20 || s.codePoint == 0x7F)
            escape("\\x%02x", static_cast<unsigned>(s.codePoint));
        else if ((s.codePoint >= 0x80 && s.codePoint <= 0x9F) || IsLayoutControl(s.codePoint))
            escape("\\u%04x", static_cast<unsigned>(s.codePoint));
        else if (s.codePoint == '\\' && StartsEscape(text, i + 1))
            out += "\\\\";
        else
            out.append(text.substr(i, s.length));
        i += s.length;
    }
    return out;
}

} // namespace velmora
