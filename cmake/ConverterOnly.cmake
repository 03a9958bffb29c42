# SPDX-License-Identifier: MIT
# The conversion engine, dw2convert and their tests alone: no Qt, ICU or
# Google Benchmark. This is what the Windows build is made of (the preset
# "windows"); it configures natively too.

get_filename_component(DW_SHARED_DEFAULT ${CMAKE_SOURCE_DIR}/../shared REALPATH)
if(CMAKE_CROSSCOMPILING)
  # Wine shows the Linux file system as drive Z:.
  set(DW_SHARED_DEFAULT Z:${DW_SHARED_DEFAULT})
endif()
set(DW_SHARED_DIR ${DW_SHARED_DEFAULT} CACHE PATH "Folder with the shared conversion cases")

set(DW_CONVERTER_FOLDERS platform/files platform/signals app/about app/convert app/dw2convert)
foreach(folder IN LISTS DW_CONVERTER_FOLDERS)
  add_subdirectory(${folder})
endforeach()

if(DW_BUILD_TESTS)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest as sources too; built with the cross compiler.
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
  if(CMAKE_CROSSCOMPILING)
    # Tests are listed when ctest runs, not at build time: building needs no Wine.
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
  endif()
  add_library(dw_test_support STATIC tests/support/TempFolder.cpp tests/support/TempFolder.h)
  target_include_directories(dw_test_support PUBLIC ${PROJECT_SOURCE_DIR})
  foreach(folder IN ITEMS tests/platform/files tests/platform/signals tests/app/convert tests/app/dw2convert)
    add_subdirectory(${folder})
  endforeach()
endif()
