#include "host/CommandLine.h"

#include <cstdio>

namespace velmora {

void TellUser(std::string_view text, bool error, std::string_view /*title*/)
{
    std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout);
}

} // namespace velmora
