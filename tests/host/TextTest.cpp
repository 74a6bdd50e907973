// Visible: one reading for every escape it writes, and every control that would move, colour,
// break or reorder a line shown as one; every other character as it is.
#include <gtest/gtest.h>

#include <string>

#include "host/Text.h"

namespace velmora {
namespace {

// Reads Visible's result back: \\, \xHH (a byte), \uHHHH (a code point); any other
// backslash stands for itself.
bool Hex(const std::string& text, std::size_t pos, std::size_t count)
{
    return pos + count <= text.size() && text.find_first_not_of("0123456789abcdefABCDEF", pos) >= pos + count;
}

std::string Unescaped(const std::string& shown)
{
    std::string out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != '\\') {
            out += shown[i];
        } else if (i + 1 < shown.size() && shown[i + 1] == '\\') {
            out += '\\', ++i;
        } else if (Hex(shown, i + 2, 2) && shown[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(shown.substr(i + 2, 2), nullptr, 16)), i += 3;
        } else if (Hex(shown, i + 2, 4) && shown[i + 1] == 'u') {
            AppendUtf8(out, static_cast<char32_t>(std::stoi(shown.substr(i + 2, 4), nullptr, 16))), i += 5;
        } else {
            out += '\\';
        }
    }
    return out;
}

TEST(TextTest, VisibleIsUnambiguous)
{
    const std::pair<std::string, std::string> rows[] = {
        {"plain Caf\xC3\xA9 \xE6\x97\xA5", "plain Caf\xC3\xA9 \xE6\x97\xA5"},
        {"\x1b", "\\x1b"}, {"\\x1b", "\\\\x1b"}, {"\\u202E", "\\\\u202E"}, {"\\\x1b", "\\\\\\x1b"},
        // A backslash is doubled only where what follows would read as an escape.
        {"C:\\Games\\x.dat\\", "C:\\Games\\x.dat\\"}, {"\\\\", "\\\\\\"}, {"\\xg \\x1", "\\xg \\x1"},
        {"\\u12 \\u123z \\u12345", "\\u12 \\u123z \\\\u12345"}, {"\\\xC2\x85", "\\\\\\u0085"}, {"\\\xE2\x80\xAE", "\\\\\\u202e"}, {"\\\xff", "\\\\\\xff"},
        {"\x01\x07\x1f \x7f", "\\x01\\x07\\x1f \\x7f"}, {"~\xC2\x80\xC2\x9F\xC2\xA0", "~\\u0080\\u009f\xC2\xA0"}, {"a\x9b" "b\xC2", "a\\x9bb\\xc2"},
        // The marks, embeddings, overrides and isolates, and the separators; their neighbours pass.
        {"\xD8\x9C|\xD8\x9B|\xD8\x9D", "\\u061c|\xD8\x9B|\xD8\x9D"},
        {"\xE2\x80\x8D|\xE2\x80\x8E|\xE2\x80\x8F|\xE2\x80\x90", "\xE2\x80\x8D|\\u200e|\\u200f|\xE2\x80\x90"},
        {"\xE2\x80\xA7|\xE2\x80\xA8|\xE2\x80\xA9|\xE2\x80\xAA", "\xE2\x80\xA7|\\u2028|\\u2029|\\u202a"},
        {"\xE2\x80\xAE|\xE2\x80\xAF", "\\u202e|\xE2\x80\xAF"},
        {"\xE2\x81\xA5|\xE2\x81\xA6|\xE2\x81\xA9|\xE2\x81\xAA", "\xE2\x81\xA5|\\u2066|\\u2069|\xE2\x81\xAA"},
    };
    for (const auto& [text, shown] : rows) {
        EXPECT_EQ(Visible(text), shown) << text;
        if (IsValidUtf8(text)) {
            EXPECT_EQ(Unescaped(shown), text) << shown;
        }
    }
}

} // namespace
} // namespace velmora
