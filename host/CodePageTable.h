// Code pages as tables: what this system's conversion (CodePageIconv.cpp, with Windows'
// answers for what iconv refuses) gives for every byte alone and for every pair of a lead
// byte and the byte after it, written by tools/codepages from the native build and
// compiled into the WebAssembly build, whose C library decodes other text or none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// In `pairs`: the lead byte makes no character with this byte; it is decoded alone, and
// the byte after it on its own.
inline constexpr char16_t NoPair = 0xFFFF;
// In `pairs`: the two bytes give nothing (glibc's 949 takes some unassigned pairs so).
inline constexpr char16_t EmptyPair = 0xFFFE;

struct CodePageTable {
    unsigned codePage;
    const char16_t* single;     // [256]: each byte alone (a lead byte at the end of the text)
    const std::int16_t* leads;  // [256]: the row of `pairs` for a lead byte, -1 for another byte
    const char16_t* pairs;      // [rows][256]: a lead byte with the byte after it
};

// The tables, in the order of their numbers (CodePageTableData.cpp, generated).
extern const CodePageTable CodePageTables[];
extern const std::size_t CodePageTableCount;

// The table of `codePage`; nullptr when there is none (CodePageBuiltIn.cpp).
const CodePageTable* FindCodePageTable(unsigned codePage);

// `bytes` decoded by `table`, as UTF-8.
std::string DecodeWithTable(const CodePageTable& table, std::string_view bytes);

} // namespace velmora
