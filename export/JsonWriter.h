// Writes JSON as it is produced, indented by two spaces a level, with the same bytes a
// whole document dumped by nlohmann-json would give: keys in the order written, texts as
// UTF-8 with control characters escaped, invalid UTF-8 replaced. Only DEL and the C1
// controls, which JSON allows as they are, are escaped too (\u007f, \u0080 to \u009f).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace velmora {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    ~JsonWriter() { Flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;
    // Hands what is written so far to the stream (done when the outermost value closes).
    void Flush();

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // The key of the next value inside an object.
    void Key(std::string_view key);

    void String(std::string_view text);
    void Int(std::int64_t value);
    void Double(double value);
    void Bool(bool value);

    // "key": value, for the common case.
    template <class T>
    void Member(std::string_view key, const T& value)
    {
        Key(key);
        Value(value);
    }
    void Value(std::string_view text) { String(text); }
    void Value(const std::string& text) { String(text); }
    void Value(const char* text) { String(text); }
    void Value(bool value) { Bool(value); }
    template <class T>
        requires std::is_integral_v<T>
    void Value(T value) { Int(value); }
    template <class T>
    void Value(const std::vector<T>& values)
    {
        BeginArray();
        for (const T& v : values)
            Value(v);
        EndArray();
    }

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    std::ostream& out_;
    std::string pending_;
    // Per open container: whether it has a value yet.
    std::vector<bool> filled_;
    bool afterKey_ = false;
};

// Appends a text as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view text);

// A whole document on one line, as nlohmann-json writes it; texts from files may hold
// bytes that are no UTF-8, which become U+FFFD.
std::string CompactJson(const nlohmann::ordered_json& value);

} // namespace velmora
