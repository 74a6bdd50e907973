// What emscripten's libc++ 13 lacks of the C++20 library the program uses, given to every
// C++ file of the WebAssembly build (cmake/Web.cmake) and to nothing else. Each part is
// defined only while the library does not have it, so a newer emscripten uses its own.
#pragma once

#ifdef __cplusplus
#include <memory>
#include <type_traits>
#include <version>

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
    requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>)
constexpr To bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
template <class T>
    requires is_unbounded_array_v<T>
unique_ptr<T> make_unique_for_overwrite(size_t n)
{
    return unique_ptr<T>(new remove_extent_t<T>[n]);
}
#endif

} // namespace std
#endif
