# What the Debian package adds to an install (the `package` preset, scripts/package.sh):
# manual pages, an icon drawn from the demo city by citywalk-replay, a menu entry for each
# demo, the copyright file and changelog, and CPack's settings for the .deb.
set(PKG ${CMAKE_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${PKG})
find_program(GZIP_PROGRAM gzip REQUIRED)
find_program(CONVERT_PROGRAM convert REQUIRED)

# Manual pages: one troff source each in docs/man, compressed as Debian wants them.
set(package_outputs "")
foreach(page citywalk.6 citywalk-check.1 citywalk-replay.1 citywalk-expect.1
             citywalk-scenegen.1 citywalk-import.1 citywalk-set.1 citywalk-map.1)
  string(REGEX MATCH "[0-9]$" section ${page})
  add_custom_command(OUTPUT ${PKG}/${page}.gz
                     COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_SOURCE_DIR}/docs/man/${page}
                             > ${PKG}/${page}.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page})
  install(FILES ${PKG}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  list(APPEND package_outputs ${PKG}/${page}.gz)
endforeach()

# The icon: the chase demo after 40 frames, drawn at each size by the replay tool.
foreach(size 48 128 256)
  file(WRITE ${PKG}/icon-${size}.script "1 resize ${size} ${size}\n")
  add_custom_command(OUTPUT ${PKG}/icon-${size}.png
                     COMMAND citywalk-replay --dir ${CMAKE_SOURCE_DIR}/scenes/chase --frames 40
                             --script ${PKG}/icon-${size}.script
                             --snapshot ${PKG}/icon-${size}.bmp
                     COMMAND ${CONVERT_PROGRAM} ${PKG}/icon-${size}.bmp -strip
                             -define png:exclude-chunks=date,time ${PKG}/icon-${size}.png
                     DEPENDS citywalk-replay ${CMAKE_SOURCE_DIR}/scenes/chase/Город.mts)
  install(FILES ${PKG}/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME citywalk.png)
  list(APPEND package_outputs ${PKG}/icon-${size}.png)
endforeach()

# A menu entry for each demo.
set(entries
    "walk|Walk|City Walk|Walk through the demo city in the first person|walk"
    "drive|Drive|Driving Game|Drive a car through the demo city from the driver's seat|car,driving"
    "follow|Follow|City Walk|Walk a figure through the demo city, watched from behind|walk"
    "chase|Chase|Driving Game|Drive a car through the demo city, watched from behind|car,driving")
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 DEMO)
  list(GET fields 1 TITLE)
  list(GET fields 2 GENERIC)
  list(GET fields 3 COMMENT)
  list(GET fields 4 KEYWORDS)
  string(REPLACE "," ";" KEYWORDS "${KEYWORDS}")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/desktop.in ${PKG}/citywalk-${DEMO}.desktop @ONLY)
  install(FILES ${PKG}/citywalk-${DEMO}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()

# The copyright file and the changelog Debian wants beside the documents.
set(VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${PKG}/changelog @ONLY)
add_custom_command(OUTPUT ${PKG}/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9n -c ${PKG}/changelog > ${PKG}/changelog.gz
                   DEPENDS ${PKG}/changelog)
list(APPEND package_outputs ${PKG}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${PKG}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_target(package_files ALL DEPENDS ${package_outputs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME citywalk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "citywalk maintainers <maintainers@users.noreply.c-seed-a72afc78.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "walk or drive through a textured 3D city")
# The long description, after the summary line; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "citywalk is an interactive walk- and drive-through of a textured 3D city
with moving cars and people, drawn with OpenGL. Walk in the first person,
drive a car from the driver's seat, or walk or drive watched by a chase
camera. Four demo cities come with it (citywalk walk, drive, follow,
chase), and scenes of your own are text files with bitmap textures.

The tools check scenes, import models made with modelling programs, build
a walkable town from OpenStreetMap data, and replay scripted input without
a display.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# x11 rather than games: Debian's games section wants the program in /usr/games, which is not
# on root's PATH, and the tools belong in /usr/bin.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
