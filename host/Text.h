// Text encoding, in one place: UTF-16 (the Windows side's wide text) and UTF-8 (the
// program's narrow text), validation, and ASCII case folding for names that Windows
// compares without regard to case. Texts in a Windows code page: CodePage.h.
//
// Nothing here fails: what cannot be converted becomes U+FFFD, the replacement character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// One UTF-8 sequence as read from a text: its code point and its length in bytes. A byte
// that does not begin a valid sequence (an overlong form, a surrogate, a code point above
// U+10FFFF, a cut or broken sequence) is taken alone as U+FFFD, with `valid` false.
struct Utf8Sequence {
    char32_t codePoint;
    std::size_t length;
    bool valid;
};
// `pos` must lie inside `text`.
Utf8Sequence DecodeUtf8At(std::string_view text, std::size_t pos);

bool IsValidUtf8(std::string_view text);

// Appends one code point (at most U+10FFFF and not a surrogate; anything else becomes
// U+FFFD).
void AppendUtf8(std::string& out, char32_t codePoint);
void AppendUtf16(std::u16string& out, char32_t codePoint);

// A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Every invalid byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

template <class Char>
constexpr Char LowerAscii(Char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

namespace detail {
template <class Char>
constexpr bool EqualIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}
} // namespace detail

// A text as a terminal, a list or a graph can show it, one line that reads as it is
// written: every C0 control character and DEL, and every byte that is not part of valid
// UTF-8, as \xHH; the C1 controls and those that reorder a line or break it (the
// bidirectional marks, embeddings, overrides and isolates, U+2028 and U+2029) as \uHHHH;
// and a backslash as \\ where what follows it would otherwise read as an escape (a
// backslash, an escaped character, x and two hexadecimal digits, u and four). So \\, \xHH
// and \uHHHH each read back one way and any other backslash stands for itself: a name
// holding ESC never prints like one holding the four characters \x1b, and a Windows path
// prints as it is.
// Every text from a file that a program of ours writes for people goes through it.
std::string Visible(std::string_view text);

// Whether a code point reorders the characters around it or breaks the line where a
// renderer honours Unicode's bidirectional algorithm or its line separators.
bool IsLayoutControl(char32_t codePoint);

// Equal when they differ only in the case of ASCII letters, as Windows compares file,
// key and value names.
constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) { return detail::EqualIgnoringAsciiCase(a, b); }
constexpr bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) { return detail::EqualIgnoringAsciiCase(a, b); }

} // namespace velmora
