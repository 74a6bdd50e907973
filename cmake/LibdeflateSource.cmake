include_guard(GLOBAL)
# libdeflate for the builds that cannot link Debian's (Windows, WebAssembly): built from
# Debian's own source package (unpacked once into the build folder by
# scripts/debian-source.sh, which checks it against the archive's signed index) and linked
# statically: the inflater and what it needs, nothing of its compressors.
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
