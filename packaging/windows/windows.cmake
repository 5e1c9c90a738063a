# windows.cmake -- the Windows program and its zip.
#
# Included by the top-level CMakeLists.txt when cross-building with MinGW-w64
# (cmake/mingw-w64.cmake, see tools/build-windows.sh). The logic links against
# the system's own libraries; the resource file adds the icon, the version
# information and the manifest. `cpack -G ZIP` packs the program with its data
# in one folder, ready to unpack and run.

enable_language(RC)
configure_file(packaging/windows/lumeko-trainer.rc.in "${CMAKE_BINARY_DIR}/lumeko-trainer.rc" @ONLY)
add_executable(lumeko-trainer WIN32 "${CMAKE_BINARY_DIR}/lumeko-trainer.rc")
target_include_directories(lumeko-trainer PRIVATE "${CMAKE_SOURCE_DIR}/packaging/windows")
set_source_files_properties("${CMAKE_BINARY_DIR}/lumeko-trainer.rc" PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/packaging/windows/lumeko-trainer.ico;${CMAKE_SOURCE_DIR}/packaging/windows/lumeko-trainer.manifest")
# Static runtime: the program needs no DLL beyond those of Windows itself.
# WinMain lives in the shell library; the C runtime asks for it only after
# the libraries have been searched, so it is pulled in from the start.
target_link_options(lumeko-trainer PRIVATE -static -Wl,--undefined=WinMain)
target_link_libraries(lumeko-trainer PRIVATE "$<LINK_GROUP:RESCAN,${LOGIC_GROUP}>"
  gdi32 user32 winmm shell32 comdlg32 imm32)

# Everything in one folder: the program looks for its data beside itself.
install(TARGETS lumeko-trainer RUNTIME DESTINATION .)
install(DIRECTORY data/ DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lumeko-trainer)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "lumeko-trainer-${PROJECT_VERSION}-win64")
set(CPACK_STRIP_FILES ON)
include(CPack)
