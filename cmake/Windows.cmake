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

# libdeflate, built from Debian's own source package (unpacked once into the build folder
# by scripts/debian-source.sh, which checks it against the archive's signed index) and
# linked statically: the inflater and what it needs, nothing of its compressors.
set(VELMORA_LIBDEFLATE_SOURCE "" CACHE PATH "libdeflate's unpacked Debian source package (fetched when empty)")
if(NOT EXISTS "${VELMORA_LIBDEFLATE_SOURCE}/libdeflate.h")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/debian-source.sh libdeflate ${CMAKE_BINARY_DIR}/third-party/debian
                  OUTPUT_VARIABLE fetched OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS "${fetched}/libdeflate.h")
    message(FATAL_ERROR "libdeflate's Debian source package could not be fetched (scripts/debian-source.sh)")
  endif()
  set(VELMORA_LIBDEFLATE_SOURCE ${fetched} CACHE PATH "libdeflate's unpacked Debian source package (fetched when empty)" FORCE)
endif()
enable_language(C)
add_library(velmora_libdeflate STATIC
  ${VELMORA_LIBDEFLATE_SOURCE}/lib/deflate_decompress.c
  ${VELMORA_LIBDEFLATE_SOURCE}/lib/utils.c
  ${VELMORA_LIBDEFLATE_SOURCE}/lib/x86/cpu_features.c)
target_compile_options(velmora_libdeflate PRIVATE -O2 -std=c99 -fomit-frame-pointer -fvisibility=hidden)
target_include_directories(velmora_libdeflate SYSTEM PUBLIC ${VELMORA_LIBDEFLATE_SOURCE})
add_library(libdeflate::libdeflate ALIAS velmora_libdeflate)
