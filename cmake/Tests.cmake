# velmora_test(<executable> SOURCES <file>... LINK <library>... [QT]
#              [DEFINES <definition>...] [DEPENDS <target>...])
# One GoogleTest program, its tests discovered by CTest. QT gives it a QApplication on the
# offscreen platform; otherwise GoogleTest's own main() runs it.
include_guard(GLOBAL)

function(velmora_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LINK;DEFINES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  target_compile_definitions(${name} PRIVATE ${ARG_DEFINES})
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  if(WIN32)
    # Cross-built: the whole program is one test, run by Wine (each start costs) in the
    # tests' prefix (tests/CMakeLists.txt).
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix
      ENVIRONMENT "WINEPREFIX=${VELMORA_TEST_PREFIX};WINEDEBUG=-all")
  elseif(ARG_QT)
    target_link_libraries(${name} PRIVATE velmora_testsupport_ui velmora_qt_test_main)
    # Tests named OnX11 need an X server; a test of their own runs them on one.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "-*.OnX11*"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
