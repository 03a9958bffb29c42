# SPDX-License-Identifier: MIT
# Debian packages of what `cmake --install` puts in place: `cpack -G DEB` in
# the build folder gives three, split as Debian splits a library:
#
#   datewright-converter            the programs, menu entry, icons, file type, manuals
#   libdatewright-shell<SOVERSION>  the shell controls' shared library
#   libdatewright-shell-dev         its headers, CMake package and pkg-config file
#
# Their library dependencies are found by dpkg-shlibdeps (package dpkg-dev,
# which needs `file`). Nothing here runs the desktop's database updates: the
# dpkg triggers of shared-mime-info, desktop-file-utils, the icon caches and
# ldconfig do that for every package that installs into their folders.

# Each package carries the licence in Debian's machine-readable format and
# the changelog; both are installed with the package's own files.
set(_dwChangelog ${PROJECT_BINARY_DIR}/debian/changelog)
find_program(DW_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${_dwChangelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${_dwChangelog}
  COMMAND ${DW_GZIP} -9 -n -f ${_dwChangelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(dw_debian_changelog ALL DEPENDS ${_dwChangelog}.gz)
set(_dwComponents program runtime dev)
set(_dwPackages ${DW_DEB_PROGRAM_PACKAGE} ${DW_DEB_RUNTIME_PACKAGE} ${DW_DEB_DEV_PACKAGE})
foreach(component package IN ZIP_LISTS _dwComponents _dwPackages)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${_dwChangelog}.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# A project that adds this one with add_subdirectory() keeps its own packaging.
if(NOT CMAKE_SOURCE_DIR STREQUAL PROJECT_SOURCE_DIR)
  return()
endif()

set(CPACK_PACKAGE_NAME datewright-converter)
set(CPACK_PACKAGE_VENDOR "The Datewright Converter developers")
set(CPACK_PACKAGE_CONTACT "The Datewright Converter developers <datewright-converter@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# The database updates of a plain install are left to dpkg's triggers.
set(CPACK_COMPONENTS_ALL program runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the library the programs need in the build; the
# package holding it is one of this build's, named through the components'
# dependencies below (CPack knows no shlibs of a package it is still making).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_PROGRAM_DEPENDS runtime)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SOURCE datewright-converter)
# Debian's own compression; lintian expects nothing else.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${DW_DEB_PROGRAM_PACKAGE})
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "bring Datewright calendar files up to the 2.20 layout
Datewright Converter inserts the EventAlign, EventIconHeight and
UseEventColor property lines that Datewright 2.20 reads into calendar
files (*.dw2) saved by earlier versions, and leaves every other byte of a
calendar as it was. It comes as a window with a folder tree and as a
command line, dw2convert.")
# The window's icon is an SVG, which Qt draws only with its SVG plugin; the
# program has PNGs of its own for where that plugin is missing.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "libqt6svg6, shared-mime-info, hicolor-icon-theme")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${DW_DEB_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "shell controls for Qt programs (folder tree, shell namespace)
The shell controls of Datewright Converter: a lazily filled folder tree
over a shell namespace for Linux (the desktop, Computer, Network, Trash
and file-system folders), with change notification, context menus and
drag and drop.
.
This package holds the shared library.")
# The shlibs file tells dpkg-shlibdeps which package a program that links
# the library needs; the same file gives the library its ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
# The dynamic linker's cache is updated through dpkg's ldconfig trigger, as
# Debian does it now, not by maintainer scripts calling ldconfig. CPack
# writes such scripts unless the package names its own postinst and postrm:
# these two are named but never exist, so the package has no scripts at all.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/debian/triggers
    ${PROJECT_BINARY_DIR}/debian/no-scripts/postinst
    ${PROJECT_BINARY_DIR}/debian/no-scripts/postrm)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/libdatewright-shell.triggers
               ${PROJECT_BINARY_DIR}/debian/triggers COPYONLY)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${DW_DEB_DEV_PACKAGE})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "shell controls for Qt programs - development files
The shell controls of Datewright Converter: a lazily filled folder tree
over a shell namespace for Linux (the desktop, Computer, Network, Trash
and file-system folders), with change notification, context menus and
drag and drop.
.
This package holds the headers, the CMake package (find_package
DatewrightShell, target DatewrightShell::Controls) and the pkg-config
file needed to build programs that use the controls.")
# The CMake package finds Qt's; nothing else is needed to build against it.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qt6-base-dev (>= ${DW_QT_MIN_VERSION})")
if(NOT BUILD_SHARED_LIBS)
  string(APPEND CPACK_DEBIAN_DEV_PACKAGE_DEPENDS ", libicu-dev")
endif()
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)

include(CPack)
