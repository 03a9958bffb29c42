# SPDX-License-Identifier: MIT
# The shell controls as one library for other programs: DatewrightShell::Controls.
#
# The modules under base/, platform/ and shell/ stay small static libraries of
# their own, each with its CMakeLists.txt. The library is made of the objects
# of the controls' modules and of every module below them, so a program sees
# one target and links one copy of the code.
#
# That single copy matters: the namespace, the change registry and the shell
# version are process-wide, and a program linking the library and one of its
# modules again would hold two of each. So once every target exists,
# dw_finish_shell_controls() makes each target outside the library that names
# one of its modules link the library instead. The programs, benchmarks and
# tests of this repository link exactly what a consumer links, and a module
# added later is taken care of without touching this file.

# The controls a consumer uses; everything they need below them comes along.
# A new control joins the library by being named here.
set(DW_SHELL_CONTROLS_MODULES
  dw_shell_items
  dw_shell_controller
  dw_shell_notification
  dw_shell_tree
  dw_shell_list
  dw_shell_dragdrop)

# Linked into every program that takes the library, never into the library:
# the program's own version block describes the program, not the controls.
set(DW_SHELL_PROGRAM_PARTS dw_platform_version_block)

# Tools that run while the library is being built: they link the modules they
# need directly (the version-block generator makes part of the library).
set(DW_SHELL_BUILD_TOOLS dw_make_version_block)

set(DW_SHELL_LIBRARY_NAME datewright-shell)
set(DW_SHELL_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(DW_SHELL_INCLUDE_SUBDIR datewright-shell)

# The Debian packages: the library's is named after its SONAME.
set(DW_DEB_PROGRAM_PACKAGE datewright-converter)
set(DW_DEB_RUNTIME_PACKAGE lib${DW_SHELL_LIBRARY_NAME}${DW_SHELL_SOVERSION})
set(DW_DEB_DEV_PACKAGE lib${DW_SHELL_LIBRARY_NAME}-dev)

# _dw_link_item_target(ITEM OUT): the target named by one entry of a link
# list (plain or wrapped in $<LINK_ONLY:...>), or nothing.
function(_dw_link_item_target item out)
  set(name "${item}")
  if(name MATCHES "^\\$<LINK_ONLY:([^>]+)>$")
    set(name "${CMAKE_MATCH_1}")
  endif()
  if(TARGET "${name}")
    set(${out} "${name}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# _dw_direct_links(TARGET OUT): the project's own targets TARGET links.
function(_dw_direct_links target out)
  set(result "")
  get_target_property(type ${target} TYPE)
  set(properties INTERFACE_LINK_LIBRARIES)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    list(APPEND properties LINK_LIBRARIES)
  endif()
  foreach(property IN LISTS properties)
    get_target_property(items ${target} ${property})
    if(NOT items)
      continue()
    endif()
    foreach(item IN LISTS items)
      _dw_link_item_target("${item}" name)
      if(name)
        get_target_property(imported ${name} IMPORTED)
        get_target_property(aliased ${name} ALIASED_TARGET)
        if(aliased)
          set(name ${aliased})
        endif()
        if(NOT imported)
          list(APPEND result ${name})
        endif()
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES result)
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# _dw_closure(ROOTS OUT): ROOTS and every project target they link, at any depth.
function(_dw_closure roots out)
  set(done "")
  set(pending ${roots})
  while(pending)
    list(POP_FRONT pending target)
    if(target IN_LIST done)
      continue()
    endif()
    list(APPEND done ${target})
    _dw_direct_links(${target} links)
    list(APPEND pending ${links})
  endwhile()
  set(${out} "${done}" PARENT_SCOPE)
endfunction()

# _dw_all_targets(DIR OUT): every target defined in DIR and below it.
function(_dw_all_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(children DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(child IN LISTS children)
    _dw_all_targets(${child} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# _dw_external_links(MODULES OUT): what the modules link from outside the
# project (Qt, ICU, threads), in the order first named.
function(_dw_external_links modules out)
  set(result "")
  foreach(module IN LISTS modules)
    get_target_property(type ${module} TYPE)
    set(properties INTERFACE_LINK_LIBRARIES)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      list(APPEND properties LINK_LIBRARIES)
    endif()
    foreach(property IN LISTS properties)
      get_target_property(items ${module} ${property})
      if(NOT items)
        continue()
      endif()
      foreach(item IN LISTS items)
        if(item MATCHES "^\\$<LINK_ONLY:([^>]+)>$")
          set(item "${CMAKE_MATCH_1}")
        endif()
        if(item MATCHES "^::@" OR item STREQUAL "")
          continue()
        endif()
        if(TARGET ${item})
          get_target_property(imported ${item} IMPORTED)
          if(NOT imported)
            continue()
          endif()
        endif()
        list(APPEND result ${item})
      endforeach()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES result)
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# A module's usage requirements reach consumers only through the library's
# own; one the library would not pass on must not be dropped silently.
function(_dw_check_usage_requirements modules)
  foreach(module IN LISTS modules)
    foreach(property INTERFACE_COMPILE_DEFINITIONS INTERFACE_COMPILE_OPTIONS INTERFACE_COMPILE_FEATURES
                     INTERFACE_SYSTEM_INCLUDE_DIRECTORIES)
      get_target_property(value ${module} ${property})
      if(value)
        message(FATAL_ERROR "${module} sets ${property} (${value}): pass it on in cmake/ShellControls.cmake")
      endif()
    endforeach()
    get_target_property(includes ${module} INTERFACE_INCLUDE_DIRECTORIES)
    if(NOT includes)
      continue()
    endif()
    foreach(dir IN LISTS includes)
      if(NOT dir STREQUAL PROJECT_SOURCE_DIR)
        message(FATAL_ERROR "${module} adds the include folder ${dir}: install it in cmake/ShellControls.cmake")
      endif()
    endforeach()
  endforeach()
endfunction()

# _dw_rewrite_links(TARGET MODULES): TARGET links the library (and the
# program's own parts those modules carried) in place of MODULES.
function(_dw_rewrite_links target modules)
  get_target_property(type ${target} TYPE)
  set(properties INTERFACE_LINK_LIBRARIES)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    list(APPEND properties LINK_LIBRARIES)
  endif()
  foreach(property IN LISTS properties)
    get_target_property(items ${target} ${property})
    if(NOT items)
      continue()
    endif()
    set(rewritten "")
    set(changed FALSE)
    foreach(item IN LISTS items)
      _dw_link_item_target("${item}" name)
      if(name AND name IN_LIST modules)
        _dw_closure(${name} below)
        set(replacement dw_shell_controls)
        foreach(part IN LISTS DW_SHELL_PROGRAM_PARTS)
          if(part IN_LIST below)
            list(APPEND replacement ${part})
          endif()
        endforeach()
        if(item MATCHES "^\\$<LINK_ONLY:")
          list(TRANSFORM replacement REPLACE "^(.*)$" "$<LINK_ONLY:\\1>")
        endif()
        list(APPEND rewritten ${replacement})
        set(changed TRUE)
      else()
        list(APPEND rewritten "${item}")
      endif()
    endforeach()
    if(changed)
      set_property(TARGET ${target} PROPERTY ${property} "${rewritten}")
    endif()
  endforeach()
endfunction()

# _dw_installed_headers(MODULES OUT): the headers of the controls' own
# folders and every project header they include, at any depth, as paths
# relative to the top of the source tree.
function(_dw_installed_headers roots out)
  set(pending "")
  foreach(module IN LISTS roots)
    get_target_property(dir ${module} SOURCE_DIR)
    file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} ${dir}/*.h)
    list(APPEND pending ${headers})
  endforeach()
  set(done "")
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST done)
      continue()
    endif()
    list(APPEND done ${header})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(headerDir ${header} DIRECTORY)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
      if(EXISTS ${PROJECT_SOURCE_DIR}/${headerDir}/${included})
        file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${headerDir}/${included})
      elseif(EXISTS ${PROJECT_SOURCE_DIR}/${included})
        set(relative ${included})
      else()
        message(FATAL_ERROR "${header} includes \"${included}\", which is no header of the project")
      endif()
      list(APPEND pending ${relative})
    endforeach()
  endwhile()
  list(SORT done)
  set(${out} "${done}" PARENT_SCOPE)
endfunction()

# dw_finish_shell_controls(): called once, after every folder has been added.
function(dw_finish_shell_controls)
  _dw_closure("${DW_SHELL_CONTROLS_MODULES}" everything)
  set(members "")
  set(objects "")
  set(mocHeaders "")
  foreach(module IN LISTS everything)
    if(module IN_LIST DW_SHELL_PROGRAM_PARTS)
      continue()
    endif()
    get_target_property(type ${module} TYPE)
    if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "OBJECT_LIBRARY")
      # The meta-object code that AUTOMOC makes from a module's headers is
      # not always among its objects (that depends on the order in which
      # CMake sets up its code generators): the library leaves it out and
      # makes its own from the same headers.
      list(APPEND objects "$<FILTER:$<TARGET_OBJECTS:${module}>,EXCLUDE,_autogen/mocs_compilation>")
      get_target_property(automoc ${module} AUTOMOC)
      if(automoc)
        get_target_property(sources ${module} SOURCES)
        get_target_property(dir ${module} SOURCE_DIR)
        list(FILTER sources INCLUDE REGEX "\\.h$")
        foreach(header IN LISTS sources)
          cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY ${dir})
          list(APPEND mocHeaders ${header})
        endforeach()
      endif()
    elseif(NOT type STREQUAL "INTERFACE_LIBRARY")
      message(FATAL_ERROR "${module} (${type}) cannot be part of the shell controls' library")
    endif()
    list(APPEND members ${module})
  endforeach()
  _dw_check_usage_requirements("${members}")

  # BUILD_SHARED_LIBS decides: shared with a versioned SONAME, or one static archive.
  add_library(dw_shell_controls ${objects} ${mocHeaders})
  add_library(DatewrightShell::Controls ALIAS dw_shell_controls)
  dw_shipped_target(dw_shell_controls)
  set_target_properties(dw_shell_controls PROPERTIES
    OUTPUT_NAME ${DW_SHELL_LIBRARY_NAME}
    EXPORT_NAME Controls
    VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0
    SOVERSION ${DW_SHELL_SOVERSION}
    LINKER_LANGUAGE CXX
    AUTOMOC ON)
  target_include_directories(dw_shell_controls PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${DW_SHELL_INCLUDE_SUBDIR}>)
  _dw_external_links("${members}" externals)
  foreach(external IN LISTS externals)
    # Qt is in the controls' headers; the rest only in their code.
    if(external MATCHES "^Qt6::")
      target_link_libraries(dw_shell_controls PUBLIC ${external})
    else()
      target_link_libraries(dw_shell_controls PRIVATE ${external})
    endif()
  endforeach()

  # Everything else links the library in place of the modules that bring
  # code; a module of headers alone may stay where it is named.
  set(withCode "")
  foreach(module IN LISTS members)
    _dw_closure(${module} below)
    foreach(part IN LISTS below)
      get_target_property(type ${part} TYPE)
      if(NOT part IN_LIST DW_SHELL_PROGRAM_PARTS AND NOT type STREQUAL "INTERFACE_LIBRARY")
        list(APPEND withCode ${module})
        break()
      endif()
    endforeach()
  endforeach()
  _dw_all_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    if(target IN_LIST members OR target STREQUAL "dw_shell_controls" OR target IN_LIST DW_SHELL_BUILD_TOOLS)
      continue()
    endif()
    get_target_property(imported ${target} IMPORTED)
    get_target_property(aliased ${target} ALIASED_TARGET)
    if(NOT imported AND NOT aliased)
      _dw_rewrite_links(${target} "${withCode}")
    endif()
  endforeach()

  _dw_installed_headers("${DW_SHELL_CONTROLS_MODULES}" headers)
  set(DW_SHELL_HEADERS "${headers}" PARENT_SCOPE)
  set(DW_SHELL_EXTERNALS "${externals}" PARENT_SCOPE)
endfunction()
