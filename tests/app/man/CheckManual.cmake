# SPDX-License-Identifier: MIT
# A program's manual documents every option its --help names, and man reads
# it without a warning.
# cmake -DPROGRAM=... -DMANUAL=... -P CheckManual.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()
file(READ ${MANUAL} page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX MATCHALL "\n +(-[A-Za-z0-9], )?--[a-z][a-z-]*" options "${help}")
list(LENGTH options count)
if(count LESS 2)
  message(FATAL_ERROR "no options found in the help of ${PROGRAM}:\n${help}")
endif()
foreach(option IN LISTS options)
  string(REGEX MATCHALL "-?-[A-Za-z0-9][a-z-]*" names "${option}")
  foreach(name IN LISTS names)
    if(NOT page MATCHES "[^A-Za-z0-9-]${name}[^a-z-]")
      message(FATAL_ERROR "${MANUAL} does not document ${name}")
    endif()
  endforeach()
endforeach()

find_program(MAN man)
if(MAN)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                          ${MAN} --warnings -E UTF-8 -l ${MANUAL}
                  OUTPUT_QUIET ERROR_VARIABLE warnings RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "man reports on ${MANUAL} (${result}):\n${warnings}")
  endif()
endif()
