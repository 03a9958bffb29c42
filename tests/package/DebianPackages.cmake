# SPDX-License-Identifier: MIT
# Builds the Debian packages from the build folder as `cpack -G DEB` does,
# checks what each holds and needs, that the programs and the library carry
# Debian's hardening, and runs lintian on each: no error and no warning.
# cmake -DBUILD_DIR=... -DOUT=... -DRUNTIME=... -DDEV=... -DPROGRAM=... -DVERSION=... -P DebianPackages.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUT}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack -G DEB failed:\n${output}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)

function(deb_of package out)
  set(deb ${OUT}/${package}_${VERSION}_${arch}.deb)
  if(NOT EXISTS ${deb})
    file(GLOB made ${OUT}/*.deb)
    message(FATAL_ERROR "no ${deb}; made: ${made}")
  endif()
  set(${out} ${deb} PARENT_SCOPE)
endfunction()

# The package holds each path (a regular expression over `dpkg-deb -c`).
function(expect_contents package)
  deb_of(${package} deb)
  execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE listing)
  foreach(path IN LISTS ARGN)
    if(NOT listing MATCHES " \\./usr/${path}( |\n)")
      message(FATAL_ERROR "${package} lacks /usr/${path}:\n${listing}")
    endif()
  endforeach()
endfunction()

function(expect_field package field pattern)
  deb_of(${package} deb)
  execute_process(COMMAND dpkg-deb -f ${deb} ${field} OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT value MATCHES "${pattern}")
    message(FATAL_ERROR "${package}: ${field} is \"${value}\", expected to match ${pattern}")
  endif()
endfunction()

foreach(package ${PROGRAM} ${RUNTIME} ${DEV})
  expect_contents(${package} "share/doc/${package}/copyright" "share/doc/${package}/changelog.gz")
endforeach()
expect_contents(${PROGRAM}
  "bin/datewright-converter" "bin/dw2convert"
  "share/man/man1/dw2convert.1.gz" "share/man/man1/datewright-converter.1.gz"
  "share/applications/datewright-converter.desktop"
  "share/icons/hicolor/scalable/apps/datewright-converter.svg"
  "share/icons/hicolor/16x16/apps/datewright-converter.png"
  "share/icons/hicolor/256x256/apps/datewright-converter.png"
  "share/mime/packages/datewright-converter.xml"
  "share/metainfo/org.example.DatewrightConverter.metainfo.xml")
expect_contents(${RUNTIME} "lib/[^ ]*libdatewright-shell.so.${VERSION}.0" "lib/[^ ]*libdatewright-shell.so.${VERSION}")
expect_contents(${DEV}
  "lib/[^ ]*libdatewright-shell.so"
  "include/datewright-shell/shell/tree/StShellTreeView.h"
  "include/datewright-shell/shell/list/StShellListView.h"
  "lib/[^ ]*cmake/DatewrightShell/DatewrightShellConfig.cmake"
  "lib/[^ ]*cmake/DatewrightShell/DatewrightShellConfigVersion.cmake"
  "lib/[^ ]*cmake/DatewrightShell/DatewrightShellTargets.cmake"
  "lib/[^ ]*pkgconfig/datewright-shell.pc")

# dpkg-shlibdeps found the library's package for the programs, Qt and ICU for the library.
string(REPLACE "." "\\." runtimeName "${RUNTIME}")
expect_field(${PROGRAM} Depends "(^|, )${runtimeName} \\(= ${VERSION}\\)")
expect_field(${PROGRAM} Depends "libqt6widgets6")
expect_field(${RUNTIME} Depends "libqt6widgets6")
expect_field(${RUNTIME} Depends "libicu[0-9]+")
expect_field(${DEV} Depends "(^|, )${runtimeName} \\(= ${VERSION}\\)")
expect_field(${RUNTIME} Section "^libs$")
expect_field(${DEV} Section "^libdevel$")

# Hardening: every program and the library resolve all symbols at start into
# a read-only table (relro, bindnow); the fortified functions are in use.
set(unpacked ${OUT}/unpacked)
foreach(package ${PROGRAM} ${RUNTIME})
  deb_of(${package} deb)
  execute_process(COMMAND dpkg-deb -x ${deb} ${unpacked} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x ${deb} failed")
  endif()
endforeach()
file(GLOB_RECURSE elves ${unpacked}/usr/bin/* ${unpacked}/usr/lib/*.so.*)
set(fortified FALSE)
foreach(elf IN LISTS elves)
  if(IS_SYMLINK ${elf})
    continue()
  endif()
  execute_process(COMMAND readelf -W -l -d --dyn-syms ${elf} OUTPUT_VARIABLE dump)
  if(NOT dump MATCHES "GNU_RELRO")
    message(FATAL_ERROR "${elf} has no read-only relocations (relro)")
  endif()
  if(NOT dump MATCHES "BIND_NOW" AND NOT dump MATCHES "FLAGS_1[^\n]*NOW")
    message(FATAL_ERROR "${elf} resolves symbols lazily (no bindnow)")
  endif()
  if(dump MATCHES "__[a-z_]+_chk")
    set(fortified TRUE)
  endif()
endforeach()
if(NOT fortified)
  message(FATAL_ERROR "no program and not the library uses fortified functions: ${elves}")
endif()

# lintian: no errors, no warnings. Tags that do not apply are named here with
# the reason, so that every other warning still fails.
set(suppressed "")
foreach(package ${PROGRAM} ${RUNTIME} ${DEV})
  deb_of(${package} deb)
  set(command lintian --fail-on error,warning --tag-display-limit 0 ${deb})
  if(suppressed)
    list(JOIN suppressed "," tags)
    list(APPEND command --suppress-tags ${tags})
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message(STATUS "lintian ${package}:\n${output}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian finds errors or warnings in ${package}")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
