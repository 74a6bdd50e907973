#include "tools/JsonWriter.h"

#include <nlohmann/json.hpp>

#include "host/Text.h"

namespace velmora {

namespace {

using Json = nlohmann::ordered_json;

std::string Dumped(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace

// Larger pieces go to the stream as they come.
constexpr std::size_t FlushSize = 1 << 16;

void AppendJsonString(std::string& out, std::string_view text)
{
    if (!IsValidUtf8(text)) {
        out += Dumped(std::string(text));
        return;
    }
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char Hex[] = "0123456789abcdef";
                out += "\\u00";
                out += Hex[(c >> 4) & 0xF];
                out += Hex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
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
    pending_ += std::to_string(value);
}

void JsonWriter::Double(double value)
{
    BeforeValue();
    pending_ += Dumped(value);
}

void JsonWriter::Bool(bool value)
{
    BeforeValue();
    pending_ += value ? "true" : "false";
}

} // namespace velmora
