# SPDX-License-Identifier: MIT
# Configures parent-project/, which adds this project with add_subdirectory(),
# and checks that this project set up no CPack packaging in the parent's build.
# cmake -DSOURCE_DIR=... -DBINARY=... -P ConfigureParent.cmake
file(REMOVE_RECURSE ${BINARY})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/parent-project -B ${BINARY} -G Ninja -DDW_SOURCE_DIR=${SOURCE_DIR}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring a project that adds this one failed:\n${output}")
endif()
if(EXISTS ${BINARY}/CPackConfig.cmake)
  file(STRINGS ${BINARY}/CPackConfig.cmake name REGEX "CPACK_PACKAGE_NAME")
  message(FATAL_ERROR "the parent project got this project's packaging: ${name}")
endif()
file(REMOVE_RECURSE ${BINARY})
