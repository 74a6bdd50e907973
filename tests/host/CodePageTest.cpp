// Names in the data file decoded from the ANSI code page of the system that wrote them,
// giving what Windows' own conversion gives, in both builds: this table runs natively and,
// in the Windows build, under Wine.
#include <gtest/gtest.h>

#include <string>

#include "host/CodePage.h"

namespace velmora {
namespace {

using namespace std::string_literals;

std::string Repeated(const std::string& text, int times)
{
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

TEST(CodePageTest, NamesInShiftJisAndWindows1252)
{
    const struct {
        unsigned codePage;
        std::string bytes;
        std::string text;
    } rows[] = {
        {932, "\x93\xFA\x96\x7B\x82\xCC\x8C\x95", "日本の剣"},
        {932, "\xB1\xDD\xC4\xDE", "ｱﾝﾄﾞ"},                      // half-width katakana
        {932, "C:\\\x95\x5C", "C:\\表"},                           // 0x5C as a second byte and alone
        {932, "\x87\x40\xFA\x40\xEE\xEC\xF0\x40\xFC\x4C", "①ⅰ黑\uE000・"},  // NEC, IBM, user-defined, none
        {932, "\x82\x41Z", "・Z"},                                 // a pair that makes nothing: one dot for both
        {932, "A\x82", "A・"},                                     // a lead byte at the end
        {932, "\x82\0B"s, "・\0B"s},                               // a lead byte before a NUL
        {932, "\x80\xA0\xFD\xFE\xFF", "\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
        {932, "\xE6\x97\xA5", "日"},                               // valid UTF-8 stays UTF-8
        {932, Repeated("\x93\xFA", 70) + "\x82", Repeated("日", 70) + "・"},
        {1252, "Caf\xE9 \x80 \x9F\xFF", "Café € Ÿÿ"},
        {1252, "\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},  // the five bytes 1252 leaves out
        {1252, "\x93\xFA\x96\x7B", "“ú–{"},                       // Shift-JIS read as 1252
        {1252, "\xC3\xA9", "é"},                                   // valid UTF-8 stays UTF-8
        {1258, "Ba", "Ba"},        // a letter last, which a combining mark could have followed
        {1255, "\xD4", "\u05F0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Utf8OrCodePage(row.bytes, row.codePage), row.text) << row.codePage << ": " << row.bytes;
    EXPECT_EQ(CodePageToUtf8("\xC3\xA9", 1252), "Ã©");
}

TEST(CodePageTest, CodePageNumbers)
{
    for (const char* known : {"932", "1252", "1251"})
        EXPECT_EQ(ParseCodePage(known), std::stoul(known)) << known;
    for (const char* unknown : {"", "0", "932x", "-932", "4000000000", "99999"})
        EXPECT_EQ(ParseCodePage(unknown), 0u) << unknown;
    EXPECT_EQ(CodePageToUtf8("\xE9", 99999), "é") << "an unknown code page is taken as 1252";
#ifndef _WIN32
    EXPECT_EQ(ParseCodePage("930"), 0u) << "a code page that shifts between single and double bytes";
#endif
}

} // namespace
} // namespace velmora
