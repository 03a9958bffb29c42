# SPDX-License-Identifier: MIT
# Configures and builds a program of someone else's against the installed
# package alone (CMAKE_PREFIX_PATH=PREFIX, out of this source tree), then
# runs it offscreen on a scratch folder that holds
#
#   3 folders:  Archive/  Projects/  Reports/
#   4 files:    a.dw2  b.dw2  notes.txt  .hidden.dw2
#
# ARGS may name that folder as @FOLDER@; the program checks what it sees
# there and exits with 0 when it is right.
# cmake -DPREFIX=... -DSOURCE=... -DBINARY=... -DPROGRAM=... -DARGS=... [-DLAUNCHER=ccache] -P BuildConsumer.cmake
file(REMOVE_RECURSE ${BINARY})
set(configure ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY}/build -G Ninja
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_PREFIX_PATH=${PREFIX})
if(LAUNCHER)
  list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
execute_process(COMMAND ${configure} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring ${SOURCE} against ${PREFIX} failed:\n${output}")
endif()
# The package must come from the prefix, not from an installed copy.
file(STRINGS ${BINARY}/build/CMakeCache.txt found REGEX "^DatewrightShell_DIR:")
string(FIND "${found}" "${PREFIX}/" at)
if(NOT at GREATER -1)
  message(FATAL_ERROR "the package was not taken from ${PREFIX}: ${found}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY}/build
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building ${SOURCE} against ${PREFIX} failed:\n${output}")
endif()

set(folder ${BINARY}/folder)
file(MAKE_DIRECTORY ${folder}/Archive ${folder}/Projects ${folder}/Reports)
foreach(name a.dw2 b.dw2 notes.txt .hidden.dw2)
  file(WRITE ${folder}/${name} "<datewright>\r\n")
endforeach()
list(TRANSFORM ARGS REPLACE "@FOLDER@" "${folder}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${BINARY}/build/${PROGRAM} ${ARGS}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 120)
list(JOIN ARGS " " shownArgs)
message(STATUS "${PROGRAM} ${shownArgs}:\n${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed its self-check (${result})")
endif()
file(REMOVE_RECURSE ${BINARY})
