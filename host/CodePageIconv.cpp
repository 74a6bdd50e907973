// Code pages outside Windows: glibc's iconv, and Windows' own answers for the bytes it
// refuses (see CodePage.h).
#include "host/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "host/Text.h"

namespace velmora {

namespace {

constexpr char32_t ShiftJisDefault = 0x30FB;  // KATAKANA MIDDLE DOT, what 932 gives for nothing

// An iconv conversion from one code page to UTF-32, closed with the object.
class Converter {
public:
    explicit Converter(unsigned codePage)
        : cd_(iconv_open("UTF-32LE", ("CP" + std::to_string(codePage)).c_str()))
    {
    }
    ~Converter()
    {
        if (IsOpen())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts from `at` on, appending what it gives to `out`, until the end or a byte it
    // refuses; answers where it stopped.
    std::size_t Convert(std::string_view bytes, std::size_t at, std::string& out)
    {
        if (!IsOpen())
            return at;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.data()) + at;
        std::size_t inLeft = bytes.size() - at;
        char buffer[256];
        const auto append = [&out, &buffer](const char* end) {
            for (const char* c = buffer; c + 4 <= end; c += 4) {
                const auto byte = [c](int i) { return static_cast<char32_t>(static_cast<unsigned char>(c[i])); };
                AppendUtf8(out, byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
            }
        };
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(cd_, &in, &inLeft, &next, &outLeft);
            const int error = errno;
            append(next);
            if (done == static_cast<std::size_t>(-1) && error != E2BIG)
                break;
        }
        // A conversion that composes (1255, 1258) holds back the last character read, in
        // case a combining mark follows: it is written out before what comes next.
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &next, &outLeft);
        append(next);
        return bytes.size() - inLeft;
    }

private:
    iconv_t cd_;
};

bool IsShiftJisLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// What Windows gives for the byte(s) at `at` that iconv refused; answers how many bytes
// that was.
std::size_t DecodeRefused(std::string_view bytes, std::size_t at, unsigned codePage, std::string& out)
{
    const auto b = static_cast<unsigned char>(bytes[at]);
    if (codePage == CodePageShiftJis) {
        if (IsShiftJisLead(b)) {
            AppendUtf8(out, ShiftJisDefault);
            return at + 1 < bytes.size() && bytes[at + 1] != '\0' ? 2 : 1;
        }
        if (b == 0xA0 || b >= 0xFD) {
            AppendUtf8(out, b == 0xA0 ? 0xF8F0 : 0xF8F1 + (b - 0xFD));
            return 1;
        }
    }
    // (Without iconv's modules, which a system may leave out, every byte comes here.)
    AppendUtf8(out, b <= 0x9F ? char32_t{b} : ReplacementCharacter);
    return 1;
}

} // namespace

// The EBCDIC code pages with double bytes (930 and the like) shift between single and
// double bytes at 0x0E and 0x0F, which give no character. No Windows system has one as its
// ANSI code page, so no name is in one; they are refused, as the browser build refuses
// them (its tables hold no states).
bool ShiftsState(Converter& converter)
{
    std::string out;
    return converter.Convert("\x0e", 0, out) == 1 && out.empty();
}

bool CanDecodeCodePage(unsigned codePage)
{
    if (codePage == 0)
        return false;
    Converter converter(codePage);
    return converter.IsOpen() && !ShiftsState(converter);
}

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage)
{
    Converter converter(codePage);
    if (!converter.IsOpen() && codePage != CodePageWestern)
        return CodePageToUtf8(bytes, CodePageWestern);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::size_t at = 0; at < bytes.size();) {
        at = converter.Convert(bytes, at, out);
        if (at < bytes.size())
            at += DecodeRefused(bytes, at, codePage, out);
    }
    return out;
}

} // namespace velmora
