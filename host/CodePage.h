// Narrow texts in a Windows code page: the names in the game's data file are bytes in the
// ANSI code page of the system that wrote them (1252 on a western system, 932 on a
// Japanese one). Windows decodes them with MultiByteToWideChar (CodePageWin32.cpp);
// elsewhere glibc's iconv does (CodePage.cpp), with the bytes iconv refuses decoded as
// Windows decodes them, so both builds give the same text for the same bytes:
//  - a byte no character stands for in a single-byte code page: 0x80 to 0x9F the control
//    character of the same number (the five unassigned bytes of 1252 among them);
//  - in 932 (Shift-JIS): the single bytes 0x80 (U+0080), 0xA0 (U+F8F0) and 0xFD to 0xFF
//    (U+F8F1 to U+F8F3); a lead byte with a second byte that makes no character gives one
//    U+30FB for both bytes, and a lead byte at the end or before a NUL gives U+30FB alone.
// Those rules are checked for 932 and 1252 byte by byte against the system's conversion;
// other code pages are decoded as iconv decodes them, and what it refuses beyond the rule
// for 0x80 to 0x9F becomes U+FFFD, where Windows may give another character. The code
// pages that shift between single and double bytes (EBCDIC's, 930 and the like) are
// refused. The WebAssembly build decodes with tables written from this conversion
// (CodePageTable.h), for the same code pages.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

inline constexpr unsigned CodePageWestern = 1252;
inline constexpr unsigned CodePageShiftJis = 932;

// Whether texts in code page `codePage` can be decoded here.
bool CanDecodeCodePage(unsigned codePage);

// `bytes` in code page `codePage`, as UTF-8. A code page that cannot be decoded here is
// taken as 1252.
std::string CodePageToUtf8(std::string_view bytes, unsigned codePage);

// Valid UTF-8 as it is; any other text decoded from `codePage`.
std::string Utf8OrCodePage(std::string_view bytes, unsigned codePage);

// "932" as a code page this system can decode; 0 for anything else.
unsigned ParseCodePage(std::string_view text);

// The ANSI code page of the system the game is installed on: on Windows the system's own
// (GetACP); elsewhere the one the registry of the installation's Wine prefix names
// (AnsiCodePageIn), 1252 without a prefix.
unsigned SystemAnsiCodePage(const std::string& winePrefix);

#ifndef _WIN32
// The ANSI code page of the Wine prefix `prefix`: the value "ACP" of the key
// System\CurrentControlSet\Control\Nls\CodePage in its system.reg, or 1252 when there is
// none or it names a code page that cannot be decoded here.
unsigned AnsiCodePageIn(const std::string& prefix);
#endif

} // namespace velmora
