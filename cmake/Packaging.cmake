# SPDX-License-Identifier: MIT
# A Debian package of what `cmake --install` puts in place: `cpack -G DEB` in
# the build folder. Its library dependencies are found by dpkg-shlibdeps
# (package dpkg-dev). Nothing here runs the desktop's database updates: dpkg
# triggers of shared-mime-info, desktop-file-utils and the icon caches do
# that for every package that installs into their folders.
set(CPACK_PACKAGE_NAME datewright-converter)
set(CPACK_PACKAGE_VENDOR "Datewright Converter developers")
set(CPACK_PACKAGE_CONTACT "Datewright Converter developers <datewright-converter@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "brings Datewright calendar files up to the 2.20 layout")
set(CPACK_PACKAGE_DESCRIPTION
    "Datewright Converter inserts the EventAlign, EventIconHeight and UseEventColor
property lines that Datewright 2.20 reads into calendar files (*.dw2) saved by
earlier versions, and leaves every other byte of a calendar as it was. It comes
as a window with a folder tree and as a command line, dw2convert.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, hicolor-icon-theme")
include(CPack)
