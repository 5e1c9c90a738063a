# linux.cmake -- installing the game on Linux and packing it for Debian.
#
# Included by the top-level CMakeLists.txt. `cmake --install` puts the program
# in bin/, the whole data/ tree in share/lumeko-trainer/, and the desktop
# entry, the icons and the AppStream data where desktops look for them;
# `cpack -G DEB` packs the same install.

install(DIRECTORY data/ DESTINATION ${LUMEKO_DATA_SUBDIR})

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

# ---- the Debian package ---------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumeko-trainer)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Lumeko Trainer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing practice that trains finding characters by sight")
# CPack puts the summary first and indents the rest.
set(CPACK_PACKAGE_DESCRIPTION "The characters of a practice line appear one at a time at random places
on the screen; find each one and type it. An on-screen Japanese keyboard
shows which finger presses each key. Lessons, random letter lines, a counting
game and a maze. The texts of the game are Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what it only runs
# or reads at run time is listed: the Japanese font its text is drawn in, the
# opener of the help page and the lesson file chooser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, xdg-utils, zenity")
set(CPACK_STRIP_FILES ON)
include(CPack)
