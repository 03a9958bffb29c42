# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks that the programs, the
# menu entry, the icons, the file type, the manuals, the AppStream data and
# the library with its headers and packages land where they are looked for;
# that the file-type database was brought up to date; and that no installed
# text names a folder of the build machine.
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -DLIBDIR=... -P CheckInstallLayout.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    bin/dw2convert
    bin/datewright-converter
    share/applications/datewright-converter.desktop
    share/icons/hicolor/scalable/apps/datewright-converter.svg
    share/mime/packages/datewright-converter.xml
    share/metainfo/org.example.DatewrightConverter.metainfo.xml
    share/man/man1/dw2convert.1.gz
    share/man/man1/datewright-converter.1.gz
    include/datewright-shell/shell/tree/StShellTreeView.h
    include/datewright-shell/shell/list/StShellListView.h
    include/datewright-shell/shell/notification/StShellNotification.h
    include/datewright-shell/shell/dragdrop/StDropHandler.h
    ${LIBDIR}/cmake/DatewrightShell/DatewrightShellConfig.cmake
    ${LIBDIR}/cmake/DatewrightShell/DatewrightShellConfigVersion.cmake
    ${LIBDIR}/cmake/DatewrightShell/DatewrightShellTargets.cmake
    ${LIBDIR}/pkgconfig/datewright-shell.pc)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/datewright-converter.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(GLOB library ${PREFIX}/${LIBDIR}/libdatewright-shell.*)
if(NOT library)
  message(FATAL_ERROR "the shell controls' library is not installed in ${LIBDIR}")
endif()

# Each PNG is the size its folder says.
foreach(size 16 22 24 32 48 64 128 256)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/datewright-converter.png header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR expectedHex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" expectedHex "${expectedHex}")
  string(LENGTH "${expectedHex}" digits)
  math(EXPR pad "8 - ${digits}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT dimensions STREQUAL "${zeros}${expectedHex}${zeros}${expectedHex}")
    message(FATAL_ERROR "the ${size}x${size} icon is not ${size} pixels square (${dimensions})")
  endif()
endforeach()

# The file-type database knows calendars right after the install.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME AND NOT EXISTS ${PREFIX}/share/mime/application/x-datewright-calendar.xml)
  message(FATAL_ERROR "the file-type database was not brought up to date")
endif()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/datewright-converter.desktop
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the menu entry does not validate")
  endif()
endif()

# Installed text names no folder of this machine: the package works in any prefix.
file(GLOB_RECURSE texts ${PREFIX}/${LIBDIR}/cmake/* ${PREFIX}/${LIBDIR}/pkgconfig/* ${PREFIX}/include/*)
foreach(text IN LISTS texts)
  file(READ ${text} contents)
  foreach(folder ${BUILD_DIR} ${SOURCE_DIR} ${PREFIX})
    string(FIND "${contents}" "${folder}" at)
    if(at GREATER -1)
      message(FATAL_ERROR "${text} names ${folder}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
