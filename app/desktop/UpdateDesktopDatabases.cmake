# SPDX-License-Identifier: MIT
# Run by `cmake --install` after the files are in place: the desktop reads
# file types, menu entries and icons from caches, and the dynamic linker finds
# libraries through its own, so each is brought up to date for the prefix
# installed into. A staged install (DESTDIR, as packagers do) is skipped:
# there the package's triggers do it on the machine it is installed on.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  return()
endif()

function(dw_update_cache program)
  find_program(tool ${program})
  if(NOT tool)
    list(JOIN ARGN " " arguments)
    message(STATUS "Not updated (${program} not found): ${arguments}")
    return()
  endif()
  list(JOIN ARGN " " arguments)
  # Their chatter (hints on XDG_DATA_DIRS for a prefix outside it) is left
  # out; failing is worth a warning, not a failed install.
  execute_process(COMMAND ${tool} ${ARGN} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(result EQUAL 0)
    message(STATUS "Updated: ${program} ${arguments}")
  else()
    message(WARNING "${program} ${arguments} failed (${result})")
  endif()
  unset(tool CACHE)
endfunction()

set(share ${CMAKE_INSTALL_PREFIX}/share)
# The file type (*.dw2 as application/x-datewright-calendar): shared-mime-info.
if(EXISTS ${share}/mime/packages)
  dw_update_cache(update-mime-database ${share}/mime)
endif()
# The menu's file associations: desktop-file-utils.
if(EXISTS ${share}/applications)
  dw_update_cache(update-desktop-database -q ${share}/applications)
endif()
# The icon cache, where the theme keeps one: GTK's icon cache.
if(EXISTS ${share}/icons/hicolor/icon-theme.cache)
  dw_update_cache(gtk-update-icon-cache -q -t -f ${share}/icons/hicolor)
endif()
# The new library, where the dynamic linker looks for libraries by itself.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid STREQUAL "0" AND CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  dw_update_cache(ldconfig)
endif()
