// Wide (UTF-16) text as the Windows side holds it, turned into the program's narrow text.
//
// On this platform the narrow code page is UTF-8. A surrogate without its partner cannot
// be written in UTF-8 and becomes U+FFFD, the replacement character.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::string Utf16ToUtf8(std::u16string_view text);

// Appends one code point (at most U+10FFFF; anything else becomes U+FFFD) to `out`.
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace velmora
