# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks that the programs, the
# menu entry, the icon and the file type land where the desktop looks.
# cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstallLayout.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(expected
    bin/dw2convert
    bin/datewright-converter
    share/applications/datewright-converter.desktop
    share/icons/hicolor/scalable/apps/datewright-converter.svg
    share/mime/packages/datewright-converter.xml)
  if(NOT EXISTS ${PREFIX}/${expected})
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/datewright-converter.desktop
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the menu entry does not validate")
  endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
