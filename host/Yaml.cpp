#include "host/Yaml.h"

#include <yaml.h>

namespace velmora {

namespace {

// Owns a parser and the document it loaded.
class YamlDocument {
public:
    YamlDocument() { ready_ = yaml_parser_initialize(&parser_) != 0; }
    ~YamlDocument()
    {
        if (loaded_)
            yaml_document_delete(&document_);
        if (ready_)
            yaml_parser_delete(&parser_);
    }
    YamlDocument(const YamlDocument&) = delete;
    YamlDocument& operator=(const YamlDocument&) = delete;

    Result<void> Load(std::string_view text)
    {
        if (!ready_)
            return Failure<>{.reason = "not YAML: the parser could not start"};
        yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text.data()), text.size());
        loaded_ = yaml_parser_load(&parser_, &document_) != 0;
        if (!loaded_) {
            const char* problem = parser_.problem ? parser_.problem : "unreadable";
            return Failure<>{.reason = "not YAML: " + std::string(problem) + " (line " +
                                       std::to_string(parser_.problem_mark.line + 1) + ")"};
        }
        return {};
    }

    yaml_node_t* Root() { return yaml_document_get_root_node(&document_); }
    yaml_node_t* Node(int index) { return yaml_document_get_node(&document_, index); }

private:
    yaml_parser_t parser_{};
    yaml_document_t document_{};
    bool ready_ = false;
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
    YamlDocument document;
    if (const Result<void> loaded = document.Load(yaml); !loaded)
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
