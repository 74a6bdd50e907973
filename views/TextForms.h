// How numbers and texts appear in the viewer's boxes and lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// printf into a std::string of the exact length.
__attribute__((format(printf, 1, 2))) std::string FormatText(const char* format, ...);

// "%d": a signed decimal with no padding.
std::string FormatNumber(std::int64_t value);

// As FormatNumber, but -1 (the "none" value of id and index fields) gives "". Only -1, on
// purpose: -2 shows as "-2".
std::string FormatNumberBlankNone(std::int64_t value);

// Reads a typed number leniently, as atoi does: leading white space is skipped, an
// optional sign and the digits up to the first other character are taken; no digits give
// 0. Numbers beyond the signed 32-bit range are held at its ends.
std::int32_t ReadLenientNumber(std::string_view text);

// Texts from the data file are bytes in the ANSI code page of the system that wrote them.
// A text that is valid UTF-8 is kept as it is; any other is decoded from TextCodePage().
std::string DisplayText(std::string_view bytes);

// The code page DisplayText decodes with: 1252 until the program sets another, normally
// the system's ANSI code page (SystemAnsiCodePage in host/CodePage.h), once at start.
unsigned TextCodePage();
void SetTextCodePage(unsigned codePage);

} // namespace velmora
