# SPDX-License-Identifier: MIT
# How the libraries and programs are built, before any target exists.

# The shell controls' library is shared (with a SONAME that carries the
# version) unless BUILD_SHARED_LIBS is OFF; its code then goes into programs
# from one static archive. Either way Debian's compiler makes position-
# independent executables, so the code that goes into it is compiled
# position-independent (see dw_begin_shipped_code()).
option(BUILD_SHARED_LIBS "Build the shell controls as a shared library" ON)

# An installed program finds the library through the dynamic linker's own
# folders where the library lands in one of them, and otherwise through a
# search path relative to itself, so that a prefix can be moved.
set(_dwSystemLibDirs ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES} /usr/local/lib)
if(CMAKE_LIBRARY_ARCHITECTURE)
  list(APPEND _dwSystemLibDirs /usr/local/lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
if(NOT CMAKE_INSTALL_FULL_LIBDIR IN_LIST _dwSystemLibDirs)
  file(RELATIVE_PATH _dwLibFromBin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set(CMAKE_INSTALL_RPATH "$ORIGIN/${_dwLibFromBin}")
endif()

# Debian's hardening flags, as dpkg-buildflags gives them to packages:
# fortified string and memory functions, the strong stack protector, format
# checks, and a read-only relocation table resolved at start (relro, bindnow).
# The optimisation and debug levels stay those of CMAKE_BUILD_TYPE. They go
# to what is installed and packaged (see dw_begin_shipped_code()).
option(DW_HARDENING "Build with Debian's hardening flags from dpkg-buildflags" ON)
find_program(DW_DPKG_BUILDFLAGS dpkg-buildflags)
set(DW_HARDENING_COMPILE_OPTIONS "")
set(DW_HARDENING_LINK_OPTIONS "")
if(DW_HARDENING AND DW_DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DW_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE _dwFlags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _dwResult)
    if(NOT _dwResult EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
    separate_arguments(_dwFlags UNIX_COMMAND "${_dwFlags}")
    list(FILTER _dwFlags EXCLUDE REGEX "^-g|^-O|prefix-map=")
    if(kind STREQUAL "LDFLAGS")
      list(APPEND DW_HARDENING_LINK_OPTIONS ${_dwFlags})
      continue()
    endif()
    foreach(flag IN LISTS _dwFlags)
      # Fortification needs optimisation; without it glibc only warns.
      if(flag MATCHES "^-D_FORTIFY_SOURCE")
        list(APPEND DW_HARDENING_COMPILE_OPTIONS $<$<NOT:$<CONFIG:Debug>>:${flag}>)
      else()
        list(APPEND DW_HARDENING_COMPILE_OPTIONS ${flag})
      endif()
    endforeach()
  endforeach()
  message(STATUS "Hardening flags: ${DW_HARDENING_COMPILE_OPTIONS} ${DW_HARDENING_LINK_OPTIONS}")
elseif(DW_HARDENING)
  message(STATUS "Hardening flags: none (dpkg-buildflags not found; package dpkg-dev)")
endif()

# dw_begin_shipped_code() ... dw_end_shipped_code(): the targets of the
# folders added in between (what is installed and packaged) are compiled
# position-independent and with the hardening flags; tests and benchmarks,
# which are not shipped, keep the plain flags.
macro(dw_begin_shipped_code)
  get_directory_property(_dwSavedCompileOptions COMPILE_OPTIONS)
  get_directory_property(_dwSavedLinkOptions LINK_OPTIONS)
  add_compile_options(${DW_HARDENING_COMPILE_OPTIONS})
  add_link_options(${DW_HARDENING_LINK_OPTIONS})
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endmacro()
macro(dw_end_shipped_code)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_dwSavedCompileOptions}"
                                      LINK_OPTIONS "${_dwSavedLinkOptions}")
  unset(CMAKE_POSITION_INDEPENDENT_CODE)
endmacro()

# dw_shipped_target(TARGET): the same for one shipped target made elsewhere.
function(dw_shipped_target target)
  target_compile_options(${target} PRIVATE ${DW_HARDENING_COMPILE_OPTIONS})
  target_link_options(${target} PRIVATE ${DW_HARDENING_LINK_OPTIONS})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# What is installed without naming a component is the converter itself: its
# programs, menu entry, icons, file type, manuals and documents.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
