# Carrying plug-in files inside an installer.
#
#   veltrane_add_plugin(<target> <file> [ARCH x86|x64|arm64] [STORED] [DEPENDS <targets>...])
#
# adds <file> to the program <target> as a resource whose name the installer turns
# back into the file's own name: "My Filter.8bf" is carried as MY_FILTER.8BF and
# installed as "My Filter.8bf". The resource compiler upper-cases every name, and
# the installer rebuilds the case of a name from its underscores, colons and
# separators, so the resource name is worked out here and checked by running the
# installer's rule over it.
#
# The file goes into the set of its build, read from the Machine field of its PE
# header: the x86 set (resource type 3000), the x64 set or the ARM64 set
# (resources/payload_types.h). A file that is not a PE image goes into the x86 set,
# with a message saying so; a PE image for another machine is refused. The builds
# of one plug-in share its name, one in each set.
#
# The file is carried in the form resources/payload_types.h describes, made during
# the build: in the target's one compressed stream (every such file of every set,
# put together and compressed by Debian's xz; its resource holds where the file lies
# in the stream), or stored as it is with STORED or when VELTRANE_COMPRESS is OFF
# (veltrane_pack_file). Its length and checksum are recorded either way.
#
# Configuring fails with a message naming the file and the reason when no resource
# name comes out as the file's name, when the file is missing or empty, when its
# set already holds a file of that name, or when its machine is none of the three.
# DEPENDS names the targets that make <file> during the build; such a file need not
# exist yet when configuring, and ARCH then names its build.
#
#   veltrane_pack_file(<target> <file> <out-var> [STORED] [DEPENDS <targets>...])
#
# makes <file>'s stored carried form during the build, before <target> is built, and
# sets <out-var> to its path: for resource scripts that name their carried files
# themselves (the stream holds only the files veltrane_add_plugin adds; STORED is
# accepted and changes nothing).
#
#   veltrane_normalise_file_name(<name> <out-var>)
#
# the installer's own rule (install/carried_plugins.cpp, normalise_file_name) for names of printable
# ASCII characters, and
#
#   veltrane_plugin_resource_name(<file-name> <out-name> <out-reason>)
#
# the resource name for a file name, or an empty name and the reason there is none.
# Both run in script mode too (cmake -P), which is how the tests call them.

cmake_policy(VERSION 3.20)  # also in script mode: quoted if() arguments are plain strings

include(${CMAKE_CURRENT_LIST_DIR}/pe_image.cmake)
get_filename_component(_source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set_property(GLOBAL PROPERTY VELTRANE_SOURCE_DIR "${_source}")  # seen from every folder

# The resource types of the three sets, from the installer's own header.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../resources/payload_types.h _veltrane_payload_types)
foreach(_arch X86 X64 ARM64 STREAM)
  string(REGEX MATCH "#define PAYLOAD_TYPE_${_arch} ([0-9]+)" _found "${_veltrane_payload_types}")
  string(TOLOWER ${_arch} _lower)
  set_property(GLOBAL PROPERTY VELTRANE_PAYLOAD_TYPE_${_lower} ${CMAKE_MATCH_1})  # seen from every folder
endforeach()
string(REGEX MATCH "#define PAYLOAD_STREAM_ID ([0-9]+)" _found "${_veltrane_payload_types}")
set_property(GLOBAL PROPERTY VELTRANE_PAYLOAD_STREAM_ID ${CMAKE_MATCH_1})

# text with the character at index replaced (or removed, for an empty replacement).
function(_veltrane_replace_at text index replacement out)
  string(SUBSTRING "${text}" 0 ${index} head)
  math(EXPR after "${index} + 1")
  string(SUBSTRING "${text}" ${after} -1 tail)
  set(${out} "${head}${replacement}${tail}" PARENT_SCOPE)
endfunction()

function(_veltrane_upper_at text index out)
  string(LENGTH "${text}" length)
  if(index LESS length)
    string(SUBSTRING "${text}" ${index} 1 c)
    string(TOUPPER "${c}" c)
    _veltrane_replace_at("${text}" ${index} "${c}" text)
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(veltrane_normalise_file_name name out)
  string(TOLOWER "${name}" s)
  _veltrane_upper_at("${s}" 0 s)
  string(LENGTH "${s}" length)
  set(i 0)
  while(length GREATER 1)
    math(EXPR bound "${length} - 1")
    if(NOT i LESS bound)
      break()
    endif()
    string(SUBSTRING "${s}" ${i} 2 pair)
    if("${pair}" STREQUAL "__")
      _veltrane_replace_at("${s}" ${i} "" s)
      _veltrane_replace_at("${s}" ${i} "" s)
      _veltrane_upper_at("${s}" ${i} s)
      string(LENGTH "${s}" length)
      if(NOT i LESS length)
        break()
      endif()
    endif()
    string(SUBSTRING "${s}" ${i} 1 c)
    if("${c}" STREQUAL "_")
      _veltrane_replace_at("${s}" ${i} " " s)
      set(c " ")
    endif()
    if("${c}" STREQUAL ":")
      _veltrane_replace_at("${s}" ${i} "" s)  # the character moving up is passed over
    elseif(NOT "${c}" MATCHES "^[A-Za-z'.8]$")
      math(EXPR next "${i} + 1")
      _veltrane_upper_at("${s}" ${next} s)
    endif()
    math(EXPR i "${i} + 1")
    string(LENGTH "${s}" length)
  endwhile()
  set(${out} "${s}" PARENT_SCOPE)
endfunction()

# Works out the name character by character from how the installer writes the next
# letter: upper case at the start and after a separator, lower case after a letter,
# ' . or 8. "__" before a letter upper-cases it where it would come out lower case,
# ":" before a letter or "_" keeps the installer from changing it.
function(veltrane_plugin_resource_name file_name out_name out_reason)
  set(${out_name} "" PARENT_SCOPE)
  set(reason "")
  if("${file_name}" STREQUAL "")
    set(reason "the file name is empty")
  elseif(NOT "${file_name}" MATCHES "^[ -~]+$")
    string(CONCAT reason "its name holds characters other than printable ASCII; the installer reads "
           "resource names in the code page of the machine it runs on, so how such a name comes out "
           "cannot be known when building")
  elseif("${file_name}" MATCHES ":")
    set(reason "a colon cannot be part of a Windows file name")
  elseif("${file_name}" MATCHES "[<>\"/\\|?*]")
    set(reason "its name holds a character that Windows does not allow in file names (< > \" / \\ | ? *)")
  elseif("${file_name}" MATCHES ";")
    set(reason "a semicolon in the file name would split CMake's list of sources; rename the file")
  elseif("${file_name}" MATCHES "[ .]$")
    set(reason "Windows drops a trailing space or full stop from a file name")
  endif()
  if(NOT reason STREQUAL "")
    set(${out_reason} "${reason}" PARENT_SCOPE)
    return()
  endif()

  set(name "")
  set(next_letter upper)  # how the installer writes the next letter left as it is
  string(LENGTH "${file_name}" length)
  math(EXPR last "${length} - 1")
  foreach(i RANGE ${last})
    string(SUBSTRING "${file_name}" ${i} 1 c)
    if("${c}" MATCHES "^[A-Za-z]$")
      string(TOUPPER "${c}" upper)
      if("${c}" STREQUAL "${upper}" AND next_letter STREQUAL "lower")
        string(APPEND name "__${upper}")
      elseif(NOT "${c}" STREQUAL "${upper}" AND next_letter STREQUAL "upper")
        string(APPEND name ":${upper}")
      else()
        string(APPEND name "${upper}")
      endif()
      set(next_letter lower)
    elseif("${c}" STREQUAL " ")
      if("${name}" MATCHES "_$")
        string(APPEND name " ")  # "__" would be taken as a pair and removed
      else()
        string(APPEND name "_")
      endif()
      set(next_letter upper)
    elseif("${c}" STREQUAL "_")
      string(APPEND name ":_")  # passed over, so it stays and changes nothing after it
      set(next_letter lower)
    elseif("${c}" MATCHES "^['.8]$")
      string(APPEND name "${c}")
      set(next_letter lower)
    else()
      string(APPEND name "${c}")
      set(next_letter upper)
    endif()
  endforeach()

  veltrane_normalise_file_name("${name}" installed)
  if(NOT "${installed}" STREQUAL "${file_name}")
    string(CONCAT reason "no resource name is installed under this name (the nearest, ${name}, "
           "would be installed as \"${installed}\")")
    set(${out_reason} "${reason}" PARENT_SCOPE)
    return()
  endif()
  set(${out_name} "${name}" PARENT_SCOPE)
  set(${out_reason} "" PARENT_SCOPE)
endfunction()

# The set a file is carried in: its PE header's machine, or ARCH for a file the
# build makes; stops the configure when neither decides.
function(_veltrane_plugin_set file given cannot out)
  if(NOT EXISTS "${file}")
    if(given STREQUAL "")
      message(FATAL_ERROR "${cannot}: the build makes it, so ARCH must name its build (x86, x64 or arm64).")
    endif()
    set(${out} ${given} PARENT_SCOPE)
    return()
  endif()
  veltrane_pe_machine("${file}" machine)
  if(machine STREQUAL "none")
    message(STATUS "veltrane_add_plugin: \"${file}\" is not a PE image; carried with the 32-bit (x86) plug-ins.")
    set(machine x86)
  elseif(machine MATCHES "^other:")
    string(REPLACE "other:" "" code "${machine}")
    message(FATAL_ERROR "${cannot}: it is a PE image for another machine (Machine ${code}); "
                        "the installer carries x86, x64 and ARM64 plug-ins.")
  endif()
  if(NOT given STREQUAL "" AND NOT given STREQUAL machine)
    message(FATAL_ERROR "${cannot}: ARCH says ${given}, but its PE header says ${machine}.")
  endif()
  set(${out} ${machine} PARENT_SCOPE)
endfunction()

# The packer (resources/packer/pack_plugin.cpp), built once per build tree with the
# build machine's own compiler; `out` is set to its path. Its target,
# veltrane_packer, is what every packing step waits for.
function(_veltrane_packer out)
  set(tool "${CMAKE_BINARY_DIR}/tools/pack_plugin")
  get_property(_veltrane_source_dir GLOBAL PROPERTY VELTRANE_SOURCE_DIR)
  if(NOT TARGET veltrane_packer)
    find_program(VELTRANE_NATIVE_CXX NAMES g++ c++ REQUIRED
                 DOC "the build machine's own C++ compiler, for programs that run during the build")
    set(source "${_veltrane_source_dir}/resources/packer/pack_plugin.cpp")
    add_custom_command(OUTPUT "${tool}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/tools"
      COMMAND ${VELTRANE_NATIVE_CXX} -std=c++17 -O2 -Wall -Wextra -Werror "-I${_veltrane_source_dir}/resources"
              "${source}" -o "${tool}"
      DEPENDS "${source}" "${_veltrane_source_dir}/resources/payload_types.h"
      COMMENT "Building the plug-in packer"
      VERBATIM)
    add_custom_target(veltrane_packer DEPENDS "${tool}")
  endif()
  set(${out} "${tool}" PARENT_SCOPE)
endfunction()

function(veltrane_pack_file target file out)
  cmake_parse_arguments(ARG "STORED" "" "DEPENDS" ${ARGN})
  _veltrane_packer(tool)
  string(MD5 key "${target}:${file}:${ARG_STORED}")
  string(SUBSTRING "${key}" 0 12 key)
  set(packed "${CMAKE_BINARY_DIR}/carried/${target}/${key}.carried")
  get_filename_component(file_name "${file}" NAME)
  add_custom_command(OUTPUT "${packed}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/carried/${target}"
    COMMAND "${tool}" "${file}" - "${packed}"
    DEPENDS "${file}" "${tool}" veltrane_packer ${ARG_DEPENDS}
    COMMENT "Packing ${file_name} for ${target} (stored)"
    VERBATIM)
  # A target of its own, so that the packing runs whichever folder's target carries it.
  add_custom_target(carry_${target}_${key} DEPENDS "${packed}")
  add_dependencies(${target} carry_${target}_${key})
  set(${out} "${packed}" PARENT_SCOPE)
endfunction()

# The stream of `target` (deferred to the end of the top folder, once every
# veltrane_add_plugin has run): one packing step writes the stream and every record,
# and one resource script carries the stream.
function(_veltrane_pack_stream target)
  _veltrane_packer(tool)
  find_program(VELTRANE_XZ xz REQUIRED DOC "xz (Debian's xz-utils), which compresses the carried stream")
  get_property(entries TARGET ${target} PROPERTY VELTRANE_STREAM_ENTRIES)
  get_property(depends TARGET ${target} PROPERTY VELTRANE_STREAM_DEPENDS)
  set(folder "${CMAKE_BINARY_DIR}/carried/${target}")
  set(stream "${folder}/stream.carried")
  set(list_file "${folder}/stream.list")
  set(files "")
  set(records "")
  set(content "")
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 2 file)
    list(GET parts 3 record)
    list(APPEND files "${file}")
    list(APPEND records "${record}")
    string(APPEND content "${entry}\n")
  endforeach()
  set(old "")
  if(EXISTS "${list_file}")
    file(READ "${list_file}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${list_file}" "${content}")
  endif()
  list(LENGTH files count)
  add_custom_command(OUTPUT "${stream}" ${records}
    COMMAND "${tool}" --stream "${VELTRANE_XZ}" "${list_file}" "${stream}"
    DEPENDS ${files} "${list_file}" "${tool}" veltrane_packer ${depends}
    COMMENT "Compressing the ${count} file(s) ${target} carries into one stream"
    VERBATIM)
  add_custom_target(carry_${target}_stream DEPENDS "${stream}" ${records})
  add_dependencies(${target} carry_${target}_stream)
  get_property(stream_type GLOBAL PROPERTY VELTRANE_PAYLOAD_TYPE_stream)
  get_property(stream_id GLOBAL PROPERTY VELTRANE_PAYLOAD_STREAM_ID)
  set(script "${folder}/stream.rc")
  set(content "#pragma code_page(65001)\n${stream_id} ${stream_type} \"${stream}\"\n")
  set(old "")
  if(EXISTS "${script}")
    file(READ "${script}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${script}" "${content}")
  endif()
  target_sources(${target} PRIVATE "${script}")
  set_source_files_properties("${script}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${stream}")
  set_property(TARGET ${target} PROPERTY VELTRANE_CARRIED_STREAM "${stream}")
endfunction()

function(veltrane_add_plugin target file)
  cmake_parse_arguments(ARG "STORED" "ARCH" "DEPENDS" ${ARGN})
  get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(file_name "${file}" NAME)
  set(cannot "veltrane_add_plugin: cannot carry \"${file}\" in ${target}")

  veltrane_plugin_resource_name("${file_name}" resource_name reason)
  if(NOT reason STREQUAL "")
    message(FATAL_ERROR "${cannot}: ${reason}.")
  endif()
  if("${file}" MATCHES "[\"\\]")
    message(FATAL_ERROR "${cannot}: the resource compiler cannot read a path that holds \" or \\.")
  endif()
  if(NOT ARG_DEPENDS)
    if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
      message(FATAL_ERROR "${cannot}: there is no such file.")
    endif()
    file(SIZE "${file}" size)
    if(size EQUAL 0)
      message(FATAL_ERROR "${cannot}: the file is empty, and an empty payload ends the installation, "
                          "so the plug-ins after it would not be installed either.")
    endif()
  endif()

  if(NOT "${ARG_ARCH}" STREQUAL "" AND NOT "${ARG_ARCH}" MATCHES "^(x86|x64|arm64)$")
    message(FATAL_ERROR "${cannot}: ARCH is x86, x64 or arm64, not ${ARG_ARCH}.")
  endif()
  _veltrane_plugin_set("${file}" "${ARG_ARCH}" "${cannot}" set)
  get_property(type GLOBAL PROPERTY VELTRANE_PAYLOAD_TYPE_${set})

  # Windows file names ignore case: of two such files only the last would remain.
  # The builds of one plug-in, one per set, share its name.
  string(TOLOWER "${set}:${file_name}" key)
  get_property(carried TARGET ${target} PROPERTY VELTRANE_CARRIED_FILES)
  if(key IN_LIST carried)
    message(FATAL_ERROR "${cannot}: it already carries a file of that name in its ${set} set "
                        "(Windows file names ignore case, so only one of them would be installed).")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY VELTRANE_CARRIED_FILES "${key}")

  # One resource script per file: in a shared script, a missing line break would join
  # two quoted names into one. Rewritten only when it changes, so builds stay quiet.
  if(ARG_STORED OR (DEFINED VELTRANE_COMPRESS AND NOT VELTRANE_COMPRESS))
    veltrane_pack_file(${target} "${file}" packed STORED DEPENDS ${ARG_DEPENDS})
  else()
    string(MD5 key "${target}:${file}:stream")
    string(SUBSTRING "${key}" 0 12 key)
    set(packed "${CMAKE_BINARY_DIR}/carried/${target}/${key}.carried")
    get_property(entries TARGET ${target} PROPERTY VELTRANE_STREAM_ENTRIES)
    if(NOT entries)
      # A deferred call's arguments are read when it runs: the name goes in as it is now.
      cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _veltrane_pack_stream [[${target}]])")
    endif()
    set_property(TARGET ${target} APPEND PROPERTY VELTRANE_STREAM_ENTRIES "${type}|${resource_name}|${file}|${packed}")
    set_property(TARGET ${target} APPEND PROPERTY VELTRANE_STREAM_DEPENDS ${ARG_DEPENDS})
  endif()
  set_property(TARGET ${target} APPEND PROPERTY VELTRANE_CARRIED_PAIRS "${file}|${packed}")
  string(MD5 script_name "${type}:${resource_name}")
  set(script "${CMAKE_BINARY_DIR}/carried/${target}/${script_name}.rc")
  set(content "#pragma code_page(65001)\n// ${file}\n\"${resource_name}\" ${type} \"${packed}\"\n")
  set(old "")
  if(EXISTS "${script}")
    file(READ "${script}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${script}" "${content}")
  endif()
  target_sources(${target} PRIVATE "${script}")
  set_source_files_properties("${script}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${packed}")
endfunction()
