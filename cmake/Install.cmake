# Installing Pellium and packaging it as a Debian package.
#
#   cmake --install build --prefix P   P/bin/pellium, the desktop entry, the icon set, the
#                                      AppStream metadata, README and licence
#   (cd build && cpack -G DEB)         pellium_<version>_<arch>.deb with the same files
#
# One application id names the desktop entry, the icons and the metadata; the program gives
# it to the desktop at run time as its desktop file name. The developer tools are not installed.

include(GNUInstallDirs)

# The desktop entry and the metadata carry the application id in their names and inside.
foreach(file desktop metainfo.xml)
  configure_file(packaging/pellium.${file}.in
    "${PROJECT_BINARY_DIR}/packaging/${PELLIUM_APPLICATION_ID}.${file}" @ONLY)
endforeach()
set(PELLIUM_ICON_SIZES 16 24 32 48 64 128 256)

install(TARGETS pellium RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${PROJECT_BINARY_DIR}/packaging/${PELLIUM_APPLICATION_ID}.desktop"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${PROJECT_BINARY_DIR}/packaging/${PELLIUM_APPLICATION_ID}.metainfo.xml"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS PELLIUM_ICON_SIZES)
  install(FILES resources/icons/pellium-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${PELLIUM_APPLICATION_ID}.png)
endforeach()
install(FILES resources/icons/pellium.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${PELLIUM_APPLICATION_ID}.svg)
install(FILES README.md LICENSE packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pellium)
# The change log and the manual page, gzip-compressed without a time stamp as Debian keeps them.
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
foreach(doc changelog pellium.6)
  configure_file(packaging/${doc} "${PROJECT_BINARY_DIR}/packaging/${doc}" COPYONLY)
  # gzip -n leaves the name and time out of the header, so the file is the same on every build.
  execute_process(COMMAND gzip -9nc "${PROJECT_BINARY_DIR}/packaging/${doc}"
    OUTPUT_FILE "${PROJECT_BINARY_DIR}/packaging/${doc}.gz" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pellium)
install(FILES "${PROJECT_BINARY_DIR}/packaging/pellium.6.gz"
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# Pellium is a game (section games), yet its program stays in bin/ like every CMake install,
# so the path is the same from source and from the package; lintian is told so.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME pellium)

# The Debian package.
set(CPACK_PACKAGE_NAME "pellium")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Pellium Geliştiricileri")
set(CPACK_PACKAGE_CONTACT "Pellium Geliştiricileri <pellium@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess over a direct network link or against the computer")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ombrel.example.org/")
# The synopsis is the summary above; this is the long description under it.
# CPack indents each of its lines by one space itself: lines with a space of their own would
# be shown as a separate, verbatim paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pellium is a desktop chess program. Two people play each other over a
direct TCP link, with a chat beside the board, or one person plays alone
against the built-in engine at a difficulty from 1 to 4.")
# Library dependencies come from the binary; the fonts the window asks for by name are
# separate packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
