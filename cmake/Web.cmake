# The WebAssembly build (emscripten, `emcmake cmake`; scripts/build-web.sh drives it): the
# core for the browser (web/) and velmora-dump for Node, without Qt, tests, benchmarks or
# fuzz targets. Emscripten has no zlib or libyaml of its own here (its port cache is
# frozen), so both are compiled from Debian's source packages, the same versions the
# desktop links: VELMORA_ZLIB_SOURCE and VELMORA_YAML_SOURCE name the unpacked folders.
include_guard(GLOBAL)

set(VELMORA_BUILD_GUI OFF CACHE BOOL "" FORCE)
set(VELMORA_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(VELMORA_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(VELMORA_BUILD_FUZZ OFF CACHE BOOL "" FORCE)
set(VELMORA_ZLIB_SOURCE "" CACHE PATH "Debian's zlib source, unpacked (scripts/debian-source.sh zlib)")
set(VELMORA_YAML_SOURCE "" CACHE PATH "Debian's libyaml source, unpacked (scripts/debian-source.sh libyaml)")
set(VELMORA_CODE_PAGE_TABLES "" CACHE FILEPATH "The code page tables a native build wrote (tools/codepages)")
if(NOT EXISTS "${VELMORA_CODE_PAGE_TABLES}")
  message(FATAL_ERROR "VELMORA_CODE_PAGE_TABLES: '${VELMORA_CODE_PAGE_TABLES}' is missing (scripts/build-web.sh writes it)")
endif()
enable_language(C)

# Only the versions the desktop links: a header that says otherwise stops the build.
function(velmora_check_source_version header pattern what)
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "${header} is missing: ${what} needs Debian's source (scripts/build-web.sh fetches it)")
  endif()
  file(STRINGS "${header}" found REGEX "${pattern}")
  if(NOT found)
    message(FATAL_ERROR "${header} is not ${what} (no line matching '${pattern}')")
  endif()
endfunction()

velmora_check_source_version("${VELMORA_ZLIB_SOURCE}/zlib.h" "^#define ZLIB_VERSION \"1\\.2\\.13\"$" "zlib 1.2.13")
set(zlib_files adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c gzwrite.c infback.c inffast.c
  inflate.c inftrees.c trees.c uncompr.c zutil.c)
list(TRANSFORM zlib_files PREPEND "${VELMORA_ZLIB_SOURCE}/")
add_library(velmora_zlib STATIC ${zlib_files})
# As zlib's own configure finds it on a POSIX system.
target_compile_definitions(velmora_zlib PRIVATE HAVE_UNISTD_H HAVE_STDARG_H _LARGEFILE64_SOURCE=1)
target_compile_options(velmora_zlib PRIVATE -w)
target_include_directories(velmora_zlib SYSTEM PUBLIC "${VELMORA_ZLIB_SOURCE}")
add_library(ZLIB::ZLIB ALIAS velmora_zlib)

velmora_check_source_version("${VELMORA_YAML_SOURCE}/include/yaml.h" "^yaml_get_version_string" "libyaml")
file(STRINGS "${VELMORA_YAML_SOURCE}/CMakeLists.txt" yaml_versions REGEX "^set \\(YAML_VERSION_(MAJOR|MINOR|PATCH) [0-9]+\\)")
if(NOT yaml_versions STREQUAL "set (YAML_VERSION_MAJOR 0);set (YAML_VERSION_MINOR 2);set (YAML_VERSION_PATCH 5)")
  message(FATAL_ERROR "${VELMORA_YAML_SOURCE} is not libyaml 0.2.5: ${yaml_versions}")
endif()
file(WRITE "${CMAKE_BINARY_DIR}/yaml-config/config.h"
  "#define YAML_VERSION_MAJOR 0\n#define YAML_VERSION_MINOR 2\n#define YAML_VERSION_PATCH 5\n#define YAML_VERSION_STRING \"0.2.5\"\n")
set(yaml_files api.c dumper.c emitter.c loader.c parser.c reader.c scanner.c writer.c)
list(TRANSFORM yaml_files PREPEND "${VELMORA_YAML_SOURCE}/src/")
add_library(velmora_yaml STATIC ${yaml_files})
target_compile_definitions(velmora_yaml PUBLIC YAML_DECLARE_STATIC PRIVATE HAVE_CONFIG_H)
target_compile_options(velmora_yaml PRIVATE -w)
target_include_directories(velmora_yaml PRIVATE "${CMAKE_BINARY_DIR}/yaml-config" SYSTEM PUBLIC "${VELMORA_YAML_SOURCE}/include")

# The fast inflate, as on the other builds.
include(cmake/LibdeflateSource.cmake)

# libc++ 13 lacks a few C++20 library parts the program uses; they come from one header,
# given to every C++ file of this build.
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/cmake/web/Libcxx13.h>")
# Failures travel as values, but the standard library may throw (std::bad_alloc): an
# exception must unwind, not abort.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

include(cmake/HeaderOnlyJson.cmake)
