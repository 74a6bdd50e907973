// A result as one value that a table row can hold: the kind of its failure, or nothing
// when it succeeded.
#pragma once

#include <optional>

#include "host/Result.h"

namespace velmora::fixtures {

template <class T, class Kind>
std::optional<Kind> FailureKindOf(const Result<T, Kind>& result)
{
    return result ? std::nullopt : std::optional<Kind>(result.failure().kind);
}

} // namespace velmora::fixtures
