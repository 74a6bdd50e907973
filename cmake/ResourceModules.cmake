# Resource-only Windows modules (string tables and the like) built from .rc files with
# Debian's MinGW binutils: windres compiles the resources, ld links them into a DLL with
# no code and no entry point. No C preprocessor is involved; .rc files are UTF-8.
include_guard(GLOBAL)

find_program(VELMORA_WINDRES_I686 i686-w64-mingw32-windres REQUIRED)
find_program(VELMORA_LD_I686 i686-w64-mingw32-ld REQUIRED)
find_program(VELMORA_WINDRES_X86_64 x86_64-w64-mingw32-windres REQUIRED)
find_program(VELMORA_LD_X86_64 x86_64-w64-mingw32-ld REQUIRED)

# velmora_resource_module(OUTPUT <file.dll> RC <file.rc> ARCH <i686|x86_64>)
# i686 gives a PE32 module, x86_64 a PE32+ module.
function(velmora_resource_module)
  cmake_parse_arguments(ARG "" "OUTPUT;RC;ARCH" "" ${ARGN})
  if(ARG_ARCH STREQUAL "i686")
    set(windres ${VELMORA_WINDRES_I686})
    set(ld ${VELMORA_LD_I686})
  elseif(ARG_ARCH STREQUAL "x86_64")
    set(windres ${VELMORA_WINDRES_X86_64})
    set(ld ${VELMORA_LD_X86_64})
  else()
    message(FATAL_ERROR "velmora_resource_module: ARCH must be i686 or x86_64, not '${ARG_ARCH}'")
  endif()
  get_filename_component(dir ${ARG_OUTPUT} DIRECTORY)
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${windres} --preprocessor=cat --codepage=65001 --output-format=coff
            --input=${ARG_RC} --output=${ARG_OUTPUT}.o
    COMMAND ${ld} --dll --entry=0 --no-insert-timestamp --strip-all -o ${ARG_OUTPUT} ${ARG_OUTPUT}.o
    DEPENDS ${ARG_RC}
    COMMENT "Building resource module ${ARG_OUTPUT}"
    VERBATIM)
endfunction()
