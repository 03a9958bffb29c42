# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix, as a user would into /usr/local,
# for the programs that are then built against it.
# cmake -DBUILD_DIR=... -DPREFIX=... -P InstallPrefix.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} --prefix ${PREFIX} failed: ${result}")
endif()
if(NOT EXISTS ${PREFIX}/${LIBDIR}/cmake/DatewrightShell/DatewrightShellConfig.cmake)
  message(FATAL_ERROR "no CMake package in ${PREFIX}/${LIBDIR}/cmake/DatewrightShell")
endif()
