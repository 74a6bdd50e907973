// The shortest text of a single-precision number, in one way for every build: the native
// standard library's std::to_chars gives it, but the WebAssembly build's lacks it for
// floating point, and the dump must be the same bytes in both.
#pragma once

#include <string>

namespace velmora {

// What std::to_chars(first, last, value) writes: the fewest significant digits that read
// back to `value` (of those, the nearest to it), in fixed or scientific notation
// ("1e+10", "1e-05"), whichever is shorter, fixed on a tie; "inf", "-inf", "nan", "-nan",
// "-0" for those values.
std::string ShortestFloatText(float value);

} // namespace velmora
