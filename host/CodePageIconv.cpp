// Code pages outside Windows: glibc's iconv, and Windows' own answers for the bytes it
// refuses (see CodePage.h).
#include "host/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "host/HostPath.h"
#include "host/Text.h"
#include "host/WineRegistry.h"

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
    // refuses; answers where it stopped. The pages with combining marks (1255, 1258) hold
    // a base letter back until they see what follows it: flushed where the conversion
    // stops, so that the letter comes before whatever is appended next.
    std::size_t Convert(std::string_view bytes, std::size_t at, std::string& out)
    {
        if (!IsOpen())
            return at;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.data()) + at;
        std::size_t inLeft = bytes.size() - at;
        while (inLeft > 0) {
            char buffer[256];
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(cd_, &in, &inLeft, &next, &outLeft);
            const int error = errno;
            Append(buffer, next, out);
            if (done == static_cast<std::size_t>(-1) && error != E2BIG)
                break;
        }
        char buffer[64];
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &next, &outLeft);
        Append(buffer, next, out);
        return bytes.size() - inLeft;
    }

private:
    // The UTF-32LE characters from `begin` to `end`, in UTF-8.
    static void Append(const char* begin, const char* end, std::string& out)
    {
        for (const char* c = begin; c + 4 <= end; c += 4) {
            const auto byte = [c](int i) { return static_cast<char32_t>(static_cast<unsigned char>(c[i])); };
            AppendUtf8(out, byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
        }
    }

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

bool CanDecodeCodePage(unsigned codePage)
{
    return codePage != 0 && Converter(codePage).IsOpen();
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

unsigned AnsiCodePageIn(const std::string& prefix)
{
    const auto acp = ReadMachineTextIn(prefix, "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", 16);
    const unsigned codePage = acp ? ParseCodePage(*acp) : 0;
    return codePage != 0 ? codePage : CodePageWestern;
}

unsigned SystemAnsiCodePage(const std::string& winePrefix)
{
    return winePrefix.empty() ? CodePageWestern : AnsiCodePageIn(winePrefix);
}

} // namespace velmora
