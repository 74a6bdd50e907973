# The Windows build, cross-compiled with MinGW-w64 (cmake/toolchains/): what Debian's
# MinGW packages do not provide ready for it. Included before the warnings are set, so the
# third-party sources build with their own flags.
include_guard(GLOBAL)

# GoogleTest from the sources Debian's googletest package ships.
set(VELMORA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, built for the target")
if(VELMORA_BUILD_TESTS)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${VELMORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

include(cmake/HeaderOnlyJson.cmake)

# GCC 12 warns falsely about overlapping copies inside std::string at -O3 (GCC bug 105329).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)

include(cmake/LibdeflateSource.cmake)
