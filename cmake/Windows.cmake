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

# nlohmann/json is headers only; its package config would add the build machine's
# /usr/include, so only its own folder is made visible.
set(json_include ${CMAKE_BINARY_DIR}/third-party/include)
file(MAKE_DIRECTORY ${json_include})
file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${json_include}
                                                              INTERFACE_INCLUDE_DIRECTORIES ${json_include})

# GCC 12 warns falsely about overlapping copies inside std::string at -O3 (GCC bug 105329).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)

include(cmake/LibdeflateSource.cmake)
