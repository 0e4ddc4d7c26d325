# Configures a small project that carries the x86 and the x64 build of one plug-in
# and a file that is not a PE image, and checks the set each went into.
#   cmake -DWORK=folder -DX86=<x86 image> -DX64=<x64 image> -P plugin_sets_test.cmake
set(project "${WORK}/sets")
file(REMOVE_RECURSE "${project}")
configure_file("${X86}" "${project}/files/x86/Sharpen.8bf" COPYONLY)
configure_file("${X64}" "${project}/files/x64/Sharpen.8bf" COPYONLY)
file(WRITE "${project}/files/Notes.8bf" "not an image")
get_filename_component(rules "${CMAKE_CURRENT_LIST_DIR}/../../cmake/payload.cmake" ABSOLUTE)
file(WRITE "${project}/CMakeLists.txt"
  "cmake_minimum_required(VERSION 3.20)\nproject(sets LANGUAGES NONE)\n"
  "include(\"${rules}\")\nadd_custom_target(VeltraneSetup)\n"
  "veltrane_add_plugin(VeltraneSetup files/x86/Sharpen.8bf)\n"
  "veltrane_add_plugin(VeltraneSetup files/x64/Sharpen.8bf)\n"
  "veltrane_add_plugin(VeltraneSetup files/Notes.8bf)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${project}" -B "${project}/build"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring failed:\n${out}${err}")
endif()
if(NOT out MATCHES "files/Notes.8bf\" is not a PE image; carried with the 32-bit \\(x86\\) plug-ins")
  message(FATAL_ERROR "no message about the file that is not a PE image:\n${out}")
endif()
file(GLOB scripts "${project}/build/carried/VeltraneSetup/*.rc")
list(FILTER scripts EXCLUDE REGEX "/stream\\.rc$")  # the compressed stream's own script
set(carried "")
foreach(script IN LISTS scripts)
  # The resource line names the file's carried form; the comment above it, the file.
  file(STRINGS "${script}" line REGEX "^\"")
  file(STRINGS "${script}" source REGEX "^// ")
  string(REGEX REPLACE " \"[^\"]*\"$" "" line "${line}")
  string(REPLACE "// ${project}/" "" source "${source}")
  list(APPEND carried "${line} ${source}")
endforeach()
list(SORT carried)
set(expected [["NOTES.8BF" 3000 files/Notes.8bf]] [["SHARPEN.8BF" 3000 files/x86/Sharpen.8bf]]
             [["SHARPEN.8BF" 3001 files/x64/Sharpen.8bf]])
if(NOT carried STREQUAL expected)
  message(FATAL_ERROR "carried\n  ${carried}\ninstead of\n  ${expected}")
endif()
message("carried as expected: ${carried}")
