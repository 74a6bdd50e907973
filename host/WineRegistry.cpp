#include "host/WineRegistry.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "host/Text.h"
#include "host/WholeFile.h"

namespace velmora {

namespace {

constexpr std::string_view HiveSignature = "WINE REGISTRY Version 2";
constexpr std::string_view SoftwarePrefix = "Software\\";
constexpr std::string_view Wow64Prefix = "Software\\Wow6432Node\\";

// Decodes the UTF-8 sequence at `pos` into `out`; returns the number of bytes taken.
std::size_t TakeUtf8(std::string_view text, std::size_t pos, std::u16string& out)
{
    const Utf8Sequence s = DecodeUtf8At(text, pos);
    AppendUtf16(out, s.codePoint);
    return s.length;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the escaped text that begins at `pos` and ends at the first `endChar` that is
// not escaped, as Wine writes key names (ending in ']') and texts (ending in '"'):
// \a \b \e \f \n \r \t \v, \x with one to four hex digits, \ with one to three octal
// digits, and a backslash before any other character for that character itself.
// Returns the position just after `endChar`, or nothing when the line ends first.
std::optional<std::size_t> DecodeEscaped(std::string_view line, std::size_t pos, char endChar, std::u16string& out)
{
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == endChar)
            return pos + 1;
        if (c != '\\') {
            pos += TakeUtf8(line, pos, out);
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        const char e = line[pos];
        switch (e) {
        case 'a': out += u'\a'; ++pos; break;
        case 'b': out += u'\b'; ++pos; break;
        case 'e': out += char16_t{0x1B}; ++pos; break;
        case 'f': out += u'\f'; ++pos; break;
        case 'n': out += u'\n'; ++pos; break;
        case 'r': out += u'\r'; ++pos; break;
        case 't': out += u'\t'; ++pos; break;
        case 'v': out += u'\v'; ++pos; break;
        case 'x': {
            ++pos;
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                value = value * 16 + static_cast<unsigned>(HexDigit(line[pos]));
                ++pos, ++digits;
            }
            out += digits == 0 ? u'x' : static_cast<char16_t>(value);
            break;
        }
        case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            unsigned value = 0;
            int digits = 0;
            while (digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7') {
                value = value * 8 + static_cast<unsigned>(line[pos] - '0');
                ++pos, ++digits;
            }
            out += static_cast<char16_t>(value);
            break;
        }
        default:
            pos += TakeUtf8(line, pos, out);
            break;
        }
    }
    return std::nullopt;
}

// True where the key written from `pos` is sure to differ from `key` (ASCII case aside)
// before it is decoded: where a plain character, a doubled backslash or the closing ']'
// stands against another character of `key` (a byte above 0x7F begins a character that is
// not ASCII). Another escape, or a character of `key` that is not ASCII, is left to
// DecodeEscaped. In a large hive almost every key line is turned down here, within its
// first characters.
bool SurelyNotKey(std::string_view line, std::size_t pos, std::u16string_view key)
{
    for (const char16_t wanted : key) {
        if (pos >= line.size())
            return false;
        const char c = line[pos];
        if (c == '\\') {
            if (pos + 1 >= line.size() || line[pos + 1] != '\\')
                return false;
            if (wanted != u'\\')
                return true;
            pos += 2;
            continue;
        }
        if (wanted >= 0x80)
            return false;
        if (c == ']' || LowerAscii(static_cast<char16_t>(static_cast<unsigned char>(c))) != LowerAscii(wanted))
            return true;
        ++pos;
    }
    return false;
}

bool StartsWith(std::string_view text, std::size_t pos, std::string_view prefix)
{
    return pos <= text.size() && text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

std::size_t SkipBlanks(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    return pos;
}

// What one value line holds, when it is well formed.
struct ValueLine {
    std::u16string name;
    bool isText = false;
    std::u16string data;  // the text, for a text value
};

std::optional<ValueLine> ParseValueLine(std::string_view line, std::size_t pos)
{
    ValueLine value;
    if (line[pos] == '@') {
        ++pos;
    } else {
        auto after = DecodeEscaped(line, pos + 1, '"', value.name);
        if (!after)
            return std::nullopt;
        pos = *after;
    }
    pos = SkipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    pos = SkipBlanks(line, pos + 1);

    for (std::string_view tag : {"\"", "str:\"", "str(2):\""}) {
        if (StartsWith(line, pos, tag)) {
            auto after = DecodeEscaped(line, pos + tag.size(), '"', value.data);
            if (!after)
                return std::nullopt;
            value.isText = true;
            return value;
        }
    }
    for (std::string_view tag : {"str(7):\"", "dword:", "hex:", "hex("}) {
        if (StartsWith(line, pos, tag))
            return value;  // a list of texts, a number or binary data
    }
    return std::nullopt;
}

struct Candidate {
    std::u16string key;
    bool keySeen = false;
    std::optional<ValueLine> value;  // the last well-formed line for the value wins
};

using Fail = Failure<RegistryFailure>;
using TextResult = Result<std::string, RegistryFailure>;

std::string Quoted(std::string_view name)
{
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted.append(1, '"').append(name).append(1, '"');
    return quoted;
}

TextResult Conclude(const ValueLine& value, std::string_view valueName, std::size_t bufferSize)
{
    if (!value.isText)
        return Fail{RegistryFailure::NotText, "the value " + Quoted(valueName) + " is not a text"};
    // The whole value, terminating NUL included, must fit the caller's buffer.
    const std::string converted = Utf16ToUtf8(value.data);
    if (converted.size() + 1 > bufferSize)
        return Fail{RegistryFailure::TooLong, "the value " + Quoted(valueName) + " is longer than " + std::to_string(bufferSize - 1) + " bytes"};
    return converted.substr(0, converted.find('\0'));
}

// Steps through the lines of the file; a line ends at '\n', and a '\r' before it is dropped.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size())
            return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos_ = end + 1;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

TextResult ReadMachineTextFrom(std::string_view hive, std::string_view keyPath, std::string_view valueName, std::size_t bufferSize)
{
    std::string_view line;
    LineReader header(hive);
    if (!header.Next(line) || line != HiveSignature)
        return Fail{RegistryFailure::NoHive, "not a registry file"};
    bool win64 = false;
    while (header.Next(line) && (line.empty() || line[0] != '[')) {
        if (line == "#arch=win64")
            win64 = true;
    }

    std::vector<Candidate> candidates;
    candidates.push_back({Utf8ToUtf16(keyPath)});
    if (keyPath.size() > SoftwarePrefix.size() &&
        EqualIgnoringAsciiCase(Utf8ToUtf16(keyPath.substr(0, SoftwarePrefix.size())), Utf8ToUtf16(SoftwarePrefix))) {
        Candidate twin{Utf8ToUtf16(std::string(Wow64Prefix) + std::string(keyPath.substr(SoftwarePrefix.size())))};
        if (win64)
            candidates.insert(candidates.begin(), twin);
        else
            candidates.push_back(twin);
    }
    const std::u16string wantedValue = valueName == "@" ? std::u16string() : Utf8ToUtf16(valueName);

    Candidate* current = nullptr;
    LineReader reader(hive);
    reader.Next(line);  // the signature
    while (reader.Next(line)) {
        const std::size_t pos = SkipBlanks(line, 0);
        if (pos >= line.size())
            continue;
        if (line[pos] == '[') {
            current = nullptr;
            if (std::all_of(candidates.begin(), candidates.end(), [&](const Candidate& c) { return SurelyNotKey(line, pos + 1, c.key); }))
                continue;
            std::u16string key;
            if (!DecodeEscaped(line, pos + 1, ']', key))
                continue;  // a broken key line: its values belong to no key
            for (Candidate& c : candidates) {
                if (EqualIgnoringAsciiCase(key, c.key)) {
                    c.keySeen = true;
                    current = &c;
                    break;
                }
            }
        } else if ((line[pos] == '"' || line[pos] == '@') && current) {
            std::optional<ValueLine> value = ParseValueLine(line, pos);
            if (value && EqualIgnoringAsciiCase(value->name, wantedValue))
                current->value = std::move(value);
        }
    }

    bool anyKey = false;
    for (const Candidate& c : candidates) {
        anyKey = anyKey || c.keySeen;
        if (c.value)
            return Conclude(*c.value, valueName, bufferSize);
    }
    const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(keyPath);
    if (anyKey)
        return Fail{RegistryFailure::NoValue, "the key " + key + " has no value " + Quoted(valueName)};
    return Fail{RegistryFailure::NoKey, "no key " + key};
}

TextResult ReadMachineTextIn(const std::string& prefix, std::string_view keyPath, std::string_view valueName, std::size_t bufferSize)
{
    // Wine names the file so in every prefix: it is opened as it is, with no search
    // without regard to case.
    const auto bytes = ReadWholeFile(prefix + "/system.reg", MaxRegistryFileSize);
    if (!bytes)
        return Fail{RegistryFailure::NoHive, bytes.failure().reason, bytes.failure().systemReason};
    const std::string_view hive(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return ReadMachineTextFrom(hive, keyPath, valueName, bufferSize);
}

} // namespace velmora
