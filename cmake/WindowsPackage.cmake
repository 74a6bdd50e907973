# The Windows programs: their resources (icon 128 from the program's two images, a version
# resource, a manifest for common controls 6, per-monitor DPI awareness and long paths), the viewer as
# a GUI program, and the ZIP package velmora-<version>-win64.zip with both programs, the
# README and the licence. Included at the end of the top-level CMakeLists.txt on Windows,
# after every area, in place of the Debian packaging (Install.cmake).
include_guard(GLOBAL)

find_program(VELMORA_CONVERT convert REQUIRED DOC "ImageMagick's convert, for the icon")
set(VELMORA_RC_DIR ${PROJECT_BINARY_DIR}/windows-resources)
set(VELMORA_RC_ICON ${VELMORA_RC_DIR}/velmora.ico)
set(VELMORA_RC_MANIFEST ${PROJECT_SOURCE_DIR}/resources/windows/velmora.manifest)
set(icon_images ${PROJECT_SOURCE_DIR}/resources/icons/velmora-32.xpm ${PROJECT_SOURCE_DIR}/resources/icons/velmora-16.xpm)
add_custom_command(
  OUTPUT ${VELMORA_RC_ICON}
  COMMAND ${VELMORA_CONVERT} ${icon_images} ${VELMORA_RC_ICON}
  DEPENDS ${icon_images}
  COMMENT "Making the program icon"
  VERBATIM)

# velmora_windows_resources(<program target> <description>): compiles the program's
# resources with windres and links them into it.
function(velmora_windows_resources target description)
  set(VELMORA_RC_NAME ${target})
  set(VELMORA_RC_DESCRIPTION ${description})
  set(rc ${VELMORA_RC_DIR}/${target}.rc)
  set(object ${VELMORA_RC_DIR}/${target}.res.o)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/program.rc.in ${rc} @ONLY)
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} --output-format=coff --input=${rc} --output=${object}
    DEPENDS ${rc} ${VELMORA_RC_ICON} ${VELMORA_RC_MANIFEST}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  add_custom_target(${target}_resources DEPENDS ${object})
  add_dependencies(${target} ${target}_resources)
  target_sources(${target} PRIVATE ${object})
endfunction()

velmora_windows_resources(velmora-dump "Velmora tech tree exporter")
if(TARGET velmora)
  velmora_windows_resources(velmora "Velmora tech tree viewer")
  set_target_properties(velmora PROPERTIES WIN32_EXECUTABLE ON)
  install(TARGETS velmora RUNTIME DESTINATION .)
endif()
# The dialog tests run as the viewer does: with its manifest (common controls 6, DPI awareness).
if(TARGET velmora_win32_tests)
  velmora_windows_resources(velmora_win32_tests "Velmora dialog tests")
endif()
install(TARGETS velmora-dump RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME velmora-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
