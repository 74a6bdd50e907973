# Run by CPack after it has staged the files (already stripped of symbols) and before it
# packs them: removes the compiler's .comment and .note sections from the programs, as
# Debian's own packaging tools do.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file ${staged})
  if(file MATCHES "/bin/[^/]+$" AND NOT IS_SYMLINK "${file}")
    execute_process(
      COMMAND "${CPACK_VELMORA_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "could not strip ${file}")
    endif()
  endif()
endforeach()
