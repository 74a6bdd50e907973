#include "export/JsonWriter.h"

#include <charconv>
#include <utility>

#include <nlohmann/json.hpp>

#include "host/Text.h"

namespace velmora {

std::string CompactJson(const nlohmann::ordered_json& value)
{
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Larger pieces go to the stream as they come.
constexpr std::size_t FlushSize = 1 << 16;

void AppendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    // Runs of characters that need no escape go in whole. A text is checked for valid
    // UTF-8 from its first byte outside ASCII on, once; in one that is not, every byte
    // that is no part of a valid sequence stands for U+FFFD.
    std::string valid;
    std::size_t plain = 0;
    bool checked = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80 && !std::exchange(checked, true) && !IsValidUtf8(text.substr(i))) {
            valid = Utf16ToUtf8(Utf8ToUtf16(text));
            text = valid;
            c = static_cast<unsigned char>(text[i]);
        }
        // DEL and the C1 controls (U+0080 to U+009F, C2 80 to C2 9F in UTF-8) may stand
        // in JSON as they are, but a terminal showing the JSON would obey them.
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        // So are the controls that reorder or break a line, and U+2028 and U+2029 end a
        // line in older JavaScript.
        const Utf8Sequence layout = c == 0xE2 || c == 0xD8 ? DecodeUtf8At(text, i) : Utf8Sequence{0, 1, false};
        const bool reorders = layout.valid && IsLayoutControl(layout.codePoint);
        if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7F && !c1 && !reorders)
            continue;
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        if (reorders) {
            static constexpr char Hex[] = "0123456789abcdef";
            const unsigned cp = layout.codePoint;
            const char escape[] = {'\\', 'u', Hex[cp >> 12], Hex[(cp >> 8) & 0xF], Hex[(cp >> 4) & 0xF], Hex[cp & 0xF]};
            out.append(escape, sizeof escape);
            plain = i + layout.length;
            i = plain - 1;
            continue;
        }
        if (c1)
            c = static_cast<unsigned char>(text[plain++]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            static constexpr char Hex[] = "0123456789abcdef";
            const char escape[] = {'\\', 'u', '0', '0', Hex[c >> 4], Hex[c & 0xF]};
            out.append(escape, sizeof escape);
        }
        }
        i = plain - 1;
    }
    out.append(text.substr(plain));
    out += '"';
}

void JsonWriter::Flush()
{
    out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
    pending_.clear();
}

void JsonWriter::NewLine()
{
    pending_ += '\n';
    pending_.append(2 * filled_.size(), ' ');
    if (pending_.size() >= FlushSize)
        Flush();
}

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (filled_.empty())
        return;
    if (filled_.back())
        pending_ += ',';
    filled_.back() = true;
    NewLine();
}

void JsonWriter::Key(std::string_view key)
{
    BeforeValue();
    AppendJsonString(pending_, key);
    pending_ += ": ";
    afterKey_ = true;
}

void JsonWriter::Open(char bracket)
{
    BeforeValue();
    pending_ += bracket;
    filled_.push_back(false);
}

void JsonWriter::Close(char bracket)
{
    const bool filled = filled_.back();
    filled_.pop_back();
    if (filled)
        NewLine();
    pending_ += bracket;
    if (filled_.empty()) {
        pending_ += '\n';
        Flush();
    }
}

void JsonWriter::String(std::string_view text)
{
    BeforeValue();
    AppendJsonString(pending_, text);
}

void JsonWriter::Int(std::int64_t value)
{
    BeforeValue();
    char digits[24];
    pending_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void JsonWriter::Double(double value)
{
    BeforeValue();
    pending_ += CompactJson(value);
}

void JsonWriter::Bool(bool value)
{
    BeforeValue();
    pending_ += value ? "true" : "false";
}

} // namespace velmora
