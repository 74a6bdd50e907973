# Resource-only Windows modules (string tables and the like) built from .rc files with
# Debian's MinGW binutils: windres compiles the resources, ld links them into a DLL with
# no code and no entry point. No C preprocessor is involved; .rc files are UTF-8.
#
# The tools are optional: without them VELMORA_HAVE_MODULE_TOOLS is OFF and whatever
# needs built modules (the demo installation, the tests on real modules) is left out.
include_guard(GLOBAL)

find_program(VELMORA_WINDRES_I686 i686-w64-mingw32-windres)
find_program(VELMORA_LD_I686 i686-w64-mingw32-ld)
find_program(VELMORA_WINDRES_X86_64 x86_64-w64-mingw32-windres)
find_program(VELMORA_LD_X86_64 x86_64-w64-mingw32-ld)
if(VELMORA_WINDRES_I686 AND VELMORA_LD_I686 AND VELMORA_WINDRES_X86_64 AND VELMORA_LD_X86_64)
  set(VELMORA_HAVE_MODULE_TOOLS ON)
else()
  set(VELMORA_HAVE_MODULE_TOOLS OFF)
  message(STATUS "MinGW binutils (i686 and x86_64 windres and ld) not found: the demo "
                 "installation and the tests on built language modules are skipped")
endif()

# velmora_resource_modules(TARGET <name> DIR <out> ARCHES <i686|x86_64>... RC <file.rc>...)
# Builds <out>/<arch>/<name of the .rc>.dll for every .rc and architecture (i686 gives
# PE32, x86_64 PE32+), all made by the custom target <name>.
function(velmora_resource_modules)
  cmake_parse_arguments(ARG "" "TARGET;DIR" "ARCHES;RC" ${ARGN})
  set(outputs)
  foreach(rc ${ARG_RC})
    get_filename_component(rc ${rc} ABSOLUTE)
    get_filename_component(name ${rc} NAME_WE)
    foreach(arch ${ARG_ARCHES})
      string(TOUPPER ${arch} ARCH)
      set(dll ${ARG_DIR}/${arch}/${name}.dll)
      add_custom_command(
        OUTPUT ${dll}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_DIR}/${arch}
        COMMAND ${VELMORA_WINDRES_${ARCH}} --preprocessor=cat --codepage=65001 --output-format=coff
                --input=${rc} --output=${dll}.o
        COMMAND ${VELMORA_LD_${ARCH}} --dll --entry=0 --no-insert-timestamp --strip-all -o ${dll} ${dll}.o
        DEPENDS ${rc}
        COMMENT "Building resource module ${dll}"
        VERBATIM)
      list(APPEND outputs ${dll})
    endforeach()
  endforeach()
  add_custom_target(${ARG_TARGET} DEPENDS ${outputs})
endfunction()
