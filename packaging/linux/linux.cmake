# linux.cmake -- installing the game on Linux and packing it for Debian.
#
# Included by the top-level CMakeLists.txt. `cmake --install` puts the program
# in bin/, the whole data/ tree in share/lumeko-trainer/, the desktop entry,
# the icons and the AppStream data where desktops look for them, the manual
# pages in English and Japanese, and the licence and changelog in Debian's
# form under share/doc/; `cpack -G DEB` packs the same install.

install(DIRECTORY data/ DESTINATION ${LUMEKO_DATA_SUBDIR})

# A stripped install (cpack strips) also drops the compilers' version notes,
# as Debian's own packages do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/lumeko-trainer\" COMMAND_ERROR_IS_FATAL ANY)
endif()")

# The desktop entry and the AppStream data are named by the application id.
set(LUMEKO_APP_ID io.github.lumeko.Trainer)
install(FILES packaging/linux/${LUMEKO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/linux/${LUMEKO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon keeps the program's name, which the desktop entry gives as Icon=.
install(FILES packaging/icons/lumeko-trainer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
file(GLOB ICON_PNGS CONFIGURE_DEPENDS packaging/icons/*x*.png)
foreach(png IN LISTS ICON_PNGS)
  get_filename_component(size "${png}" NAME_WE) # e.g. 48x48
  install(FILES "${png}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps RENAME lumeko-trainer.png)
endforeach()

# ---- the licence, the changelog and the manual pages ---------------------------
set(LUMEKO_MAINTAINER "Lumeko Trainer developers <lumeko@users.noreply.github.com>")
set(LUMEKO_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/lumeko-trainer")
set(LUMEKO_DOC_BUILD "${CMAKE_BINARY_DIR}/packaging")

# The changelog, the AppStream release and the project name one version.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  packaging/linux/changelog packaging/linux/${LUMEKO_APP_ID}.metainfo.xml LICENSE)
file(STRINGS packaging/linux/changelog changelog_head LIMIT_COUNT 1)
string(REGEX MATCH "^lumeko-trainer \\(([^)]+)\\)" _ "${changelog_head}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/linux/changelog starts at version '${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
endif()
file(READ packaging/linux/${LUMEKO_APP_ID}.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "the AppStream data's latest release is '${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
endif()

# Debian's machine-readable copyright file, its holder and text taken from
# LICENSE: the text indented by one space, an empty line written as " .".
file(READ LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
set(LUMEKO_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(FIND "${license}" "Permission is hereby granted" license_start)
string(SUBSTRING "${license}" ${license_start} -1 license_text)
string(STRIP "${license_text}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " LUMEKO_LICENSE_TEXT "${license_text}")
configure_file(packaging/linux/copyright.in "${LUMEKO_DOC_BUILD}/copyright" @ONLY)
install(FILES "${LUMEKO_DOC_BUILD}/copyright" DESTINATION ${LUMEKO_DOC_DIR})

# Debian wants the changelog and the manual pages compressed with gzip -9n
# (no name or time stamp, so the package is reproducible).
set(man_pages man/lumeko-trainer.6 man/ja/lumeko-trainer.6)
set(compressed "${LUMEKO_DOC_BUILD}/changelog.gz")
add_custom_command(OUTPUT "${LUMEKO_DOC_BUILD}/changelog.gz"
  COMMAND gzip -9n -c "${CMAKE_SOURCE_DIR}/packaging/linux/changelog" > "${LUMEKO_DOC_BUILD}/changelog.gz"
  DEPENDS packaging/linux/changelog VERBATIM)
foreach(page IN LISTS man_pages)
  configure_file(packaging/linux/${page} "${LUMEKO_DOC_BUILD}/${page}" @ONLY)
  add_custom_command(OUTPUT "${LUMEKO_DOC_BUILD}/${page}.gz"
    COMMAND gzip -9n -c "${LUMEKO_DOC_BUILD}/${page}" > "${LUMEKO_DOC_BUILD}/${page}.gz"
    DEPENDS "${LUMEKO_DOC_BUILD}/${page}" VERBATIM)
  list(APPEND compressed "${LUMEKO_DOC_BUILD}/${page}.gz")
endforeach()
add_custom_target(lumeko-docs ALL DEPENDS ${compressed})
install(FILES "${LUMEKO_DOC_BUILD}/changelog.gz" DESTINATION ${LUMEKO_DOC_DIR})
install(FILES "${LUMEKO_DOC_BUILD}/man/lumeko-trainer.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES "${LUMEKO_DOC_BUILD}/man/ja/lumeko-trainer.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man6)

# ---- the Debian package ---------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumeko-trainer)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${LUMEKO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMEKO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing practice that trains finding characters by sight")
# CPack puts the summary first and indents the rest.
set(CPACK_PACKAGE_DESCRIPTION "The characters of a practice line appear one at a time at random places
on the screen; find each one and type it. An on-screen Japanese keyboard
shows which finger presses each key. Lessons, random letter lines, a counting
game and a maze. The texts of the game are Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The section of the archive where the desktop entry files it: Education.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what it only runs
# or reads at run time is listed: the Japanese font its text is drawn in, the
# opener of the help page and the lesson file chooser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, xdg-utils, zenity")
set(CPACK_STRIP_FILES ON)
include(CPack)
