# Installation and the Debian package.
#
# `cmake --install` puts the programs in bin/, the desktop entry, the icon in the hicolor
# theme, the AppStream metadata, the manual pages and the README and licence under share/;
# `cpack -G DEB` packs the same files with Debian's copyright and changelog. Nothing
# installed refers back to the build tree.
#
# Included at the end of the top-level CMakeLists.txt, after every area, so the viewer's
# rules take effect on their own once an area defines the target `velmora`: the desktop
# entry, the icon and the viewer's manual page are installed with the viewer, never
# without it.
include_guard(GLOBAL)
include(GNUInstallDirs)

set(VELMORA_MAINTAINER "The Velmora developers <velmora@example.org>")
set(VELMORA_DEB_RELEASE 1)
set(VELMORA_DEB_VERSION ${PROJECT_VERSION}-${VELMORA_DEB_RELEASE})
set(VELMORA_VERSION ${PROJECT_VERSION})
set(VELMORA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmora)
set(VELMORA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VELMORA_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(VELMORA_ICON_SIZES 16 32 48)
if(TARGET velmora)
  set(VELMORA_INSTALL_VIEWER ON)
  set(VELMORA_MAN_PAGES velmora-dump.1 velmora.1)
else()
  set(VELMORA_INSTALL_VIEWER OFF)
  set(VELMORA_MAN_PAGES velmora-dump.1)
endif()

add_subdirectory(${VELMORA_PACKAGING_DIR} ${VELMORA_PACKAGING_OUT})

# The AppStream metadata, installed under its id as software centres look it up; its
# newest release must be this version.
set(VELMORA_METAINFO ${VELMORA_PACKAGING_DIR}/velmora.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELMORA_METAINFO})
file(READ ${VELMORA_METAINFO} metainfo)
if(NOT metainfo MATCHES "<id>([^<]+)</id>")
  message(FATAL_ERROR "${VELMORA_METAINFO} has no id")
endif()
set(VELMORA_APPSTREAM_ID ${CMAKE_MATCH_1})
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "the newest release in ${VELMORA_METAINFO} is '${CMAKE_MATCH_1}', not ${PROJECT_VERSION}")
endif()

if(TARGET velmora-dump)
  install(TARGETS velmora-dump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(VELMORA_INSTALL_VIEWER)
  install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VELMORA_PACKAGING_DIR}/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  foreach(size ${VELMORA_ICON_SIZES})
    install(FILES ${VELMORA_PACKAGING_OUT}/icons/${size}/velmora.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${VELMORA_PACKAGING_DIR}/icons/velmora.svg
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
  install(FILES ${VELMORA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
          RENAME ${VELMORA_APPSTREAM_ID}.metainfo.xml)
endif()
foreach(page ${VELMORA_MAN_PAGES})
  install(FILES ${VELMORA_PACKAGING_OUT}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VELMORA_DOC_DIR})

# Only in the Debian package: a plain `cmake --install` leaves these out.
install(FILES ${VELMORA_PACKAGING_OUT}/debian/copyright ${VELMORA_PACKAGING_OUT}/debian/changelog.Debian.gz
        DESTINATION ${VELMORA_DOC_DIR} COMPONENT debian EXCLUDE_FROM_ALL)

# The Debian package: one package with the default component (every install rule that names
# none) and the Debian files; a rule with a component of its own must be added to the list.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Debian shows the long description as it stands: lines of at most 80 characters.
if(VELMORA_INSTALL_VIEWER)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the tech tree in a strategy game's data file")
  string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Velmora looks into the technology tree stored in the compressed data file"
    "of an installed real-time strategy game, found through the game's registry"
    "entry in a Wine prefix. It lists every tech, shows every field of the"
    "selected tech with the texts of its string ids from the game's language"
    "modules, and renders each tech's effect as one English line per command."
    "It never writes to the game's files."
    ""
    "The package also contains velmora-dump, which exports the same content as"
    "text, JSON or a Graphviz graph for scripts.")
else()
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exporter for the tech tree in a strategy game's data file")
  string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "velmora-dump reads the compressed data file of an installed real-time"
    "strategy game, found through the game's registry entry in a Wine prefix,"
    "and exports every tech with all its fields, the texts of its string ids"
    "from the game's language modules and its effect as English lines, as"
    "text, JSON or a Graphviz graph. It never writes to the game's files.")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_VELMORA_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${VELMORA_PACKAGING_DIR}/StripComments.cmake)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEBIAN_PACKAGE_NAME velmora)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VELMORA_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the programs link come from dpkg-shlibdeps; what is needed by name only is
# declared here: the viewer's dialog font, which Qt finds through fontconfig.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(VELMORA_INSTALL_VIEWER)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
endif()
include(CPack)
