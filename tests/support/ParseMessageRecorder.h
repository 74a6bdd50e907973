// Catches the parser's messages instead of showing them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/DataParser.h"

namespace velmora::fixtures {

class ParseMessageRecorder : public ParseMessages {
public:
    void ShowMessage(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

} // namespace velmora::fixtures
