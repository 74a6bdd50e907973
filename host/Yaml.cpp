#include "host/Yaml.h"

#include <yaml.h>

#include <string>

namespace velmora {

namespace {

// libyaml asserts on a null input even for no bytes, which an empty file gives.
const unsigned char* Bytes(std::string_view text)
{
    static constexpr unsigned char none = 0;
    return text.data() != nullptr ? reinterpret_cast<const unsigned char*>(text.data()) : &none;
}

// Owns a parser reading `text`.
class Parser {
public:
    explicit Parser(std::string_view text)
    {
        ready_ = yaml_parser_initialize(&parser_) != 0;
        if (ready_)
            yaml_parser_set_input_string(&parser_, Bytes(text), text.size());
    }
    ~Parser()
    {
        if (ready_)
            yaml_parser_delete(&parser_);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    bool Ready() const { return ready_; }
    yaml_parser_t* Get() { return &parser_; }

private:
    yaml_parser_t parser_{};
    bool ready_ = false;
};

// Owns one event.
struct Event {
    yaml_event_t event{};
    ~Event() { yaml_event_delete(&event); }
};

// The anchor an event defines, if any.
const yaml_char_t* AnchorOf(const yaml_event_t& event)
{
    switch (event.type) {
    case YAML_SCALAR_EVENT: return event.data.scalar.anchor;
    case YAML_SEQUENCE_START_EVENT: return event.data.sequence_start.anchor;
    case YAML_MAPPING_START_EVENT: return event.data.mapping_start.anchor;
    default: return nullptr;
    }
}

// Walks the first document's events, stopping at the first that goes past a limit, so
// that the loader never meets such a document. A text libyaml refuses passes here: its
// loader names the problem.
Result<void> CheckLimits(std::string_view text)
{
    Parser parser(text);
    if (!parser.Ready())
        return Failure<>{.reason = "not YAML: the parser could not start"};
    int depth = 0;
    int anchors = 0;
    int aliases = 0;
    for (;;) {
        Event next;
        if (yaml_parser_parse(parser.Get(), &next.event) == 0)
            return {};
        const yaml_event_t& event = next.event;
        const auto beyond = [&event](const std::string& what) {
            return Failure<>{.reason = "more than " + what + " (line " + std::to_string(event.start_mark.line + 1) + ")"};
        };
        if (event.type == YAML_DOCUMENT_END_EVENT || event.type == YAML_STREAM_END_EVENT)
            return {};
        if (event.type == YAML_SEQUENCE_START_EVENT || event.type == YAML_MAPPING_START_EVENT) {
            if (++depth > MaxYamlDepth)
                return beyond(std::to_string(MaxYamlDepth) + " mappings and sequences nested");
        } else if (event.type == YAML_SEQUENCE_END_EVENT || event.type == YAML_MAPPING_END_EVENT) {
            --depth;
        }
        if (AnchorOf(event) != nullptr && ++anchors > MaxYamlAnchors)
            return beyond(std::to_string(MaxYamlAnchors) + " anchors");
        if (event.type == YAML_ALIAS_EVENT && ++aliases > MaxYamlAliases)
            return beyond(std::to_string(MaxYamlAliases) + " aliases");
    }
}

// Owns the document a parser loaded.
class YamlDocument {
public:
    explicit YamlDocument(std::string_view text) : parser_(text) {}
    ~YamlDocument()
    {
        if (loaded_)
            yaml_document_delete(&document_);
    }
    YamlDocument(const YamlDocument&) = delete;
    YamlDocument& operator=(const YamlDocument&) = delete;

    Result<void> Load()
    {
        if (!parser_.Ready())
            return Failure<>{.reason = "not YAML: the parser could not start"};
        yaml_parser_t& parser = *parser_.Get();
        loaded_ = yaml_parser_load(&parser, &document_) != 0;
        if (!loaded_) {
            const char* problem = parser.problem ? parser.problem : "unreadable";
            return Failure<>{.reason = "not YAML: " + std::string(problem) + " (line " + std::to_string(parser.problem_mark.line + 1) + ")"};
        }
        return {};
    }

    yaml_node_t* Root() { return yaml_document_get_root_node(&document_); }
    yaml_node_t* Node(int index) { return yaml_document_get_node(&document_, index); }

private:
    Parser parser_;
    yaml_document_t document_{};
    bool loaded_ = false;
};

std::string_view ScalarText(const yaml_node_t& node)
{
    return {reinterpret_cast<const char*>(node.data.scalar.value), node.data.scalar.length};
}

// YAML 1.1's null as PyYAML resolves it: a plain scalar that is empty, ~ or null in one of
// its three spellings.
bool IsNull(const yaml_node_t& node)
{
    if (node.data.scalar.style != YAML_PLAIN_SCALAR_STYLE)
        return false;
    const std::string_view text = ScalarText(node);
    return text.empty() || text == "~" || text == "null" || text == "Null" || text == "NULL";
}

} // namespace

Result<std::optional<std::string>> YamlScalarAt(std::string_view yaml, std::span<const std::string_view> keys)
{
    if (const Result<void> within = CheckLimits(yaml); !within)
        return within.failure();
    YamlDocument document(yaml);
    if (const Result<void> loaded = document.Load(); !loaded)
        return loaded.failure();
    yaml_node_t* node = document.Root();
    for (const std::string_view key : keys) {
        if (!node || node->type != YAML_MAPPING_NODE)
            return std::optional<std::string>();
        yaml_node_t* value = nullptr;
        for (const yaml_node_pair_t* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top; ++pair) {
            const yaml_node_t* name = document.Node(pair->key);
            if (name && name->type == YAML_SCALAR_NODE && ScalarText(*name) == key)
                value = document.Node(pair->value);
        }
        node = value;
    }
    if (!node || node->type != YAML_SCALAR_NODE || IsNull(*node))
        return std::optional<std::string>();
    return std::optional<std::string>(std::string(ScalarText(*node)));
}

} // namespace velmora
