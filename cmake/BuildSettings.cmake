# SPDX-License-Identifier: MIT
# How the libraries and programs are built, before any target exists.

# The shell controls' library is shared (with a SONAME that carries the
# version) unless BUILD_SHARED_LIBS is OFF; its code then goes into programs
# from one static archive. Either way Debian's compiler makes position-
# independent executables, so every object is compiled position-independent.
option(BUILD_SHARED_LIBS "Build the shell controls as a shared library" ON)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

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
# The optimisation and debug levels stay those of CMAKE_BUILD_TYPE.
option(DW_HARDENING "Build with Debian's hardening flags from dpkg-buildflags" ON)
find_program(DW_DPKG_BUILDFLAGS dpkg-buildflags)
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
    set(_dw_${kind} ${_dwFlags})
  endforeach()
  # Fortification needs optimisation; without it glibc only warns.
  foreach(flag IN LISTS _dw_CPPFLAGS)
    if(flag MATCHES "^-D_FORTIFY_SOURCE")
      add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
    else()
      add_compile_options(${flag})
    endif()
  endforeach()
  add_compile_options(${_dw_CXXFLAGS})
  add_link_options(${_dw_LDFLAGS})
  message(STATUS "Hardening flags: ${_dw_CPPFLAGS} ${_dw_CXXFLAGS} ${_dw_LDFLAGS}")
elseif(DW_HARDENING)
  message(STATUS "Hardening flags: none (dpkg-buildflags not found; package dpkg-dev)")
endif()

# What is installed without naming a component is the converter itself: its
# programs, menu entry, icons, file type, manuals and documents.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
