# SPDX-License-Identifier: MIT
# dw2convert as a user or a script runs it, its output and exit status, in a
# form that runs wherever the program does: natively, or as dw2convert.exe
# under Wine, where the Qt-based command-line tests cannot go.
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DDRIVE=Z:] -DWORK=... -DCASES=... -P CommandLineCheck.cmake
# On Windows the program joins a folder and a name with a backslash. (It ends
# its lines with CR LF there, which CMake reads back as LF.)
cmake_minimum_required(VERSION 3.25)

set(eol "\n")
if(EMULATOR)
  set(sep "\\")
else()
  set(sep "/")
endif()
set(needs_align "<datewright>\n<script>\n<weekcal>\n<events>\n<eventcolor>1\n")
set(converted "<datewright>\r\n<script>\r\n<weekcal>\r\n<events>\r\n        <EventAlign>Middle</EventAlign>\r\n<eventcolor>1\r\n")

function(fail what)
  message(SEND_ERROR "${what}")
endfunction()

# Runs the program; sets status, out and err in the caller.
function(dw2convert)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
  set(status "${result}" PARENT_SCOPE)
  set(out "${output}" PARENT_SCOPE)
  set(err "${errors}" PARENT_SCOPE)
endfunction()

function(expect_equal actual expected what)
  if(NOT "${actual}" STREQUAL "${expected}")
    fail("${what}:\n  got      [${actual}]\n  expected [${expected}]")
  endif()
endfunction()

function(expect_contains text part what)
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    fail("${what}: [${part}] not in [${text}]")
  endif()
endfunction()

# Compared as hexadecimal: reading text would drop the CRs.
function(expect_file path expected what)
  file(READ "${path}" actual HEX)
  string(HEX "${expected}" expected)
  expect_equal("${actual}" "${expected}" "${what}")
endfunction()

# A fresh folder under WORK; sets `dir` (as this script sees it) and `shown`
# (as the program is given it and prints it).
function(fresh_folder name)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}")
  set(dir "${dir}" PARENT_SCOPE)
  set(shown "${DRIVE}${dir}" PARENT_SCOPE)
endfunction()

# A folder: only its calendars, in any case, and not its subfolders without -r.
fresh_folder(folder)
file(WRITE "${dir}/a.dw2" "${needs_align}")
file(WRITE "${dir}/B.DW2" "<datewright>\n<script>\n")
file(WRITE "${dir}/notes.txt" "${needs_align}")
file(MAKE_DIRECTORY "${dir}/dir.dw2")
file(WRITE "${dir}/sub/c.dw2" "${needs_align}")
dw2convert("${shown}")
expect_equal("${status}" 0 "a folder: status (${err})")
expect_equal("${out}" "${shown}${sep}a.dw2${eol}Files modified: 1${eol}" "a folder: output")
expect_file("${dir}/a.dw2" "${converted}" "a folder: a.dw2")
expect_file("${dir}/notes.txt" "${needs_align}" "a folder: notes.txt")
expect_file("${dir}/sub/c.dw2" "${needs_align}" "a folder: descended without -r")
dw2convert(-r "${shown}")
expect_equal("${out}" "${shown}${sep}sub${sep}c.dw2${eol}Files modified: 1${eol}" "-r: output")
expect_file("${dir}/sub/c.dw2" "${converted}" "-r: sub/c.dw2")

# A dry run reads and counts, and writes nothing.
fresh_folder(dry)
file(WRITE "${dir}/a.dw2" "${needs_align}")
dw2convert(--dry-run "${shown}/a.dw2")
expect_equal("${status}" 0 "--dry-run: status")
expect_equal("${out}" "${shown}/a.dw2${eol}Files that would be modified: 1${eol}" "--dry-run: output")
expect_file("${dir}/a.dw2" "${needs_align}" "--dry-run wrote")

# Files that cannot be read, or hold a NUL byte, are skipped with status 3.
fresh_folder(skipped)
file(WRITE "${dir}/nul.dw2" "${needs_align}")
file(APPEND "${dir}/nul.dw2" "x")
file(READ "${dir}/nul.dw2" bytes HEX)
string(REGEX REPLACE "78$" "00" bytes "${bytes}")
string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${bytes}")
execute_process(COMMAND printf "${escaped}" OUTPUT_FILE "${dir}/nul.dw2")
file(WRITE "${dir}/good.dw2" "${needs_align}")
dw2convert("${shown}/missing.dw2" "${shown}/nul.dw2" "${shown}/good.dw2")
expect_equal("${status}" 3 "skipped files: status")
expect_equal("${out}" "${shown}/good.dw2${eol}Files modified: 1${eol}" "skipped files: output")
expect_contains("${err}" "${shown}/missing.dw2: cannot read" "skipped files: missing")
expect_contains("${err}" "${shown}/nul.dw2: holds a NUL byte" "skipped files: NUL")

# A calendar that may not be written stops the run with status 1; those
# after it are not touched.
fresh_folder(readonly)
foreach(n 1 2 3)
  file(WRITE "${dir}/${n}.dw2" "${needs_align}")
endforeach()
file(CHMOD "${dir}/2.dw2" PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
dw2convert("${shown}/1.dw2" "${shown}/2.dw2" "${shown}/3.dw2")
expect_equal("${status}" 1 "read-only: status")
expect_equal("${out}" "${shown}/1.dw2${eol}" "read-only: output")
expect_contains("${err}" "Cannot create file ${shown}/2.dw2." "read-only: message")
expect_file("${dir}/3.dw2" "${needs_align}" "read-only: a calendar after it was touched")

# Names beyond ASCII keep every byte, in what is printed and on disk.
fresh_folder(unicode)
set(name "café 日本 ünïcödé.dw2")
file(WRITE "${dir}/${name}" "${needs_align}")
dw2convert("${shown}")
expect_equal("${out}" "${shown}${sep}${name}${eol}Files modified: 1${eol}" "a Unicode name: output")
expect_file("${dir}/${name}" "${converted}" "a Unicode name: contents")

# -0 ends paths with NUL and sends the count to standard error.
fresh_folder(null)
file(WRITE "${dir}/a.dw2" "${needs_align}")
dw2convert(-0 --dry-run "${shown}/a.dw2")
string(LENGTH "${out}" out_length)
string(LENGTH "${shown}/a.dw2" path_length)
expect_equal("${out_length}" "${path_length}" "-0: output is the path and its NUL") # CMake stops at the NUL
expect_contains("${err}" "Files that would be modified: 1" "-0: count")

# Usage errors, help and version.
dw2convert()
expect_equal("${status}" 2 "no PATH: status")
dw2convert(--frobnicate x)
expect_equal("${status}" 2 "unknown option: status")
expect_contains("${err}" "unrecognized option '--frobnicate'" "unknown option: message")
dw2convert(--help)
expect_equal("${status}" 0 "--help: status")
expect_contains("${out}" "Usage: dw2convert" "--help")
dw2convert(--version)
expect_contains("${out}" "2.20" "--version")

# Every shared conversion case, converted as one folder, gives its bytes.
if(CASES)
  fresh_folder(cases)
  file(GLOB inputs "${CASES}/*.dw2")
  list(LENGTH inputs case_count)
  if(case_count LESS 50)
    fail("conversion cases not found in ${CASES}")
  endif()
  # Writable copies, as users' calendars are (the cases themselves may be read-only).
  file(COPY ${inputs} DESTINATION "${dir}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
  dw2convert("${shown}")
  if(NOT status EQUAL 0 AND NOT status EQUAL 3)
    fail("conversion cases: status ${status}: ${err}")
  endif()
  foreach(input IN LISTS inputs)
    get_filename_component(stem "${input}" NAME_WLE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${dir}/${stem}.dw2" "${CASES}/${stem}.expected"
                    RESULT_VARIABLE differs)
    if(differs)
      fail("conversion case ${stem}: bytes differ from ${stem}.expected")
    endif()
  endforeach()
endif()

file(REMOVE_RECURSE "${WORK}")
