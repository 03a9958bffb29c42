# SPDX-License-Identifier: MIT
# dw_add_module_subdirectories()
# Adds every direct sub-folder of the current source folder that holds a
# CMakeLists.txt, in name order. Targets may refer to targets of folders that
# come later: CMake resolves link names when it generates the build.
function(dw_add_module_subdirectories)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# dw_add_gtest(NAME SOURCES... LIBS ...)
# One test executable, registered with CTest test by test.
function(dw_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE DW_SHARED_DIR="${DW_SHARED_DIR}")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endfunction()

# dw_add_widget_gtest(NAME [MAIN FILE] SOURCES... LIBS ...)
# A test executable whose tests need widgets: they run inside an application
# object made by MAIN (by default a plain QApplication), on the offscreen
# platform.
function(dw_add_widget_gtest name)
  cmake_parse_arguments(ARG "" "MAIN" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_MAIN)
    set(ARG_MAIN ${PROJECT_SOURCE_DIR}/tests/platform/fileinfo/ApplicationMain.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES} ${ARG_MAIN})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest Qt6::Widgets)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endfunction()
