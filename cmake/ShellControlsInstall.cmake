# SPDX-License-Identifier: MIT
# Installs the shell controls for other programs: the library (component
# "runtime"), and its headers, CMake package and pkg-config file (component
# "dev"). Everything the project installs without naming a component belongs
# to the converter itself (component "program"): see cmake/Packaging.cmake.
include(CMakePackageConfigHelpers)

set(DW_QT_MIN_VERSION 6.4)
set(DW_SHELL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DatewrightShell)

function(dw_install_shell_controls)
  install(TARGETS dw_shell_controls EXPORT DatewrightShellTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${DW_SHELL_INCLUDE_SUBDIR})

  # The headers mirror the source tree: #include <shell/tree/StShellTreeView.h>.
  foreach(header IN LISTS DW_SHELL_HEADERS)
    get_filename_component(dir ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${DW_SHELL_INCLUDE_SUBDIR}/${dir} COMPONENT dev)
  endforeach()

  install(EXPORT DatewrightShellTargets NAMESPACE DatewrightShell::
          DESTINATION ${DW_SHELL_CMAKE_DIR} COMPONENT dev)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/DatewrightShellConfig.cmake.in
    ${PROJECT_BINARY_DIR}/DatewrightShellConfig.cmake
    INSTALL_DESTINATION ${DW_SHELL_CMAKE_DIR}
    NO_SET_AND_CHECK_MACRO)
  # Any 2.x serves a program written for 2.20 or an earlier 2.x.
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/DatewrightShellConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/DatewrightShellConfig.cmake
                ${PROJECT_BINARY_DIR}/DatewrightShellConfigVersion.cmake
          DESTINATION ${DW_SHELL_CMAKE_DIR} COMPONENT dev)

  # pkg-config: the prefix is found from the file's own place, so the file
  # names no folder of the build machine and works in any prefix.
  set(pcDir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  file(RELATIVE_PATH DW_PC_PREFIX_FROM_PCDIR /prefix/${pcDir} /prefix)
  string(REGEX REPLACE "/$" "" DW_PC_PREFIX_FROM_PCDIR "${DW_PC_PREFIX_FROM_PCDIR}")
  if(BUILD_SHARED_LIBS)
    set(DW_PC_PRIVATE "")
  else()
    set(DW_PC_PRIVATE "Requires.private: icu-i18n icu-uc\nLibs.private: -pthread")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/datewright-shell.pc.in
                 ${PROJECT_BINARY_DIR}/${DW_SHELL_LIBRARY_NAME}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${DW_SHELL_LIBRARY_NAME}.pc DESTINATION ${pcDir} COMPONENT dev)
endfunction()
