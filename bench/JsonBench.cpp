// The JSON dump's writer against the alternatives, on the same stream of values: the demo's
// whole JSON dump, read once into a document and then written again by each writer.
//   ours       JsonWriter: written as produced, strings escaped by hand
//   rapidjson  RapidJSON's PrettyWriter, indented by two spaces
//   nlohmann   the whole document built, then dumped at once (how the dump began)
// Each result says whether its bytes equal the dump's own.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include <nlohmann/json.hpp>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "export/JsonWriter.h"

namespace {

using Json = nlohmann::ordered_json;

const std::string& DemoDump()
{
    static const std::string text = [] {
        std::string out;
        const std::string command = std::string(VELMORA_DUMP_PATH) + " --format json --install " VELMORA_DEMO_PREFIX "/drive_c/Games/Brannoch";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        char chunk[1 << 16];
        for (std::size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe.get())) > 0;)
            out.append(chunk, n);
        return out;
    }();
    return text;
}

const Json& Document()
{
    static const Json document = Json::parse(DemoDump());
    return document;
}

void Write(velmora::JsonWriter& out, const Json& value)
{
    if (value.is_object()) {
        out.BeginObject();
        for (const auto& [key, member] : value.items()) {
            out.Key(key);
            Write(out, member);
        }
        out.EndObject();
    } else if (value.is_array()) {
        out.BeginArray();
        for (const Json& element : value)
            Write(out, element);
        out.EndArray();
    } else if (value.is_string()) {
        out.String(value.get_ref<const std::string&>());
    } else if (value.is_boolean()) {
        out.Bool(value.get<bool>());
    } else if (value.is_number_float()) {
        out.Double(value.get<double>());
    } else {
        out.Int(value.get<std::int64_t>());
    }
}

template <class Writer>
void Write(Writer& out, const Json& value)
{
    if (value.is_object()) {
        out.StartObject();
        for (const auto& [key, member] : value.items()) {
            out.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
            Write(out, member);
        }
        out.EndObject();
    } else if (value.is_array()) {
        out.StartArray();
        for (const Json& element : value)
            Write(out, element);
        out.EndArray();
    } else if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        out.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    } else if (value.is_boolean()) {
        out.Bool(value.get<bool>());
    } else if (value.is_number_float()) {
        out.Double(value.get<double>());
    } else {
        out.Int64(value.get<std::int64_t>());
    }
}

void Report(benchmark::State& state, const std::string& written)
{
    state.counters["same_bytes"] = written == DemoDump() ? 1 : 0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written.size()));
}

// A stream into a string with room for the whole dump, as RapidJSON's buffer keeps its own.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& text) : text_(text) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        text_.append(data, static_cast<std::size_t>(size));
        return size;
    }
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            text_ += traits_type::to_char_type(c);
        return c;
    }

private:
    std::string& text_;
};

void BM_JsonOurs(benchmark::State& state)
{
    std::string written;
    for (auto _ : state) {
        written.clear();
        written.reserve(2 * DemoDump().size());
        StringSink sink(written);
        std::ostream out(&sink);
        velmora::JsonWriter json(out);  // ends the outermost value with a new line
        Write(json, Document());
    }
    Report(state, written);
}

void BM_JsonRapid(benchmark::State& state)
{
    std::string written;
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::PrettyWriter<rapidjson::StringBuffer> json(buffer);
        json.SetIndent(' ', 2);
        Write(json, Document());
        written = std::string(buffer.GetString(), buffer.GetSize()) + "\n";
    }
    Report(state, written);
}

void BM_JsonWholeDocument(benchmark::State& state)
{
    std::string written;
    for (auto _ : state) {
        Json copy = Document();  // the dump built its document for every run
        written = copy.dump(2) + "\n";
    }
    Report(state, written);
}

BENCHMARK(BM_JsonOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonRapid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonWholeDocument)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
