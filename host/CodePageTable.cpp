#include "host/CodePageTable.h"

#include "host/Text.h"

namespace velmora {

std::string DecodeWithTable(const CodePageTable& table, std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        if (const std::int16_t row = table.leads[b]; row >= 0 && at + 1 < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[at + 1]);
            if (const char16_t pair = table.pairs[static_cast<std::size_t>(row) * 256 + next]; pair != NoPair) {
                if (pair != EmptyPair)
                    AppendUtf8(out, pair);
                ++at;
                continue;
            }
        }
        AppendUtf8(out, table.single[b]);
    }
    return out;
}

} // namespace velmora
