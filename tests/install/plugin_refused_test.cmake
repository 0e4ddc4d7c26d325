# Configures a small project that carries one file that cannot be carried (CASE) and
# prints what configuring said; the test's pass expression looks for the message.
#   cmake -DCASE=colon|empty|missing|twice|foreign -DWORK=folder [-DFOREIGN=file] -P plugin_refused_test.cmake
set(project "${WORK}/${CASE}")
file(REMOVE_RECURSE "${project}")
file(MAKE_DIRECTORY "${project}/files/twice")
file(WRITE "${project}/files/Bad:Name.8bf" "bytes")
file(WRITE "${project}/files/Empty.8bf" "")
file(WRITE "${project}/files/My Filter.8bf" "bytes")
file(WRITE "${project}/files/twice/MY FILTER.8bf" "bytes")
set(calls
  colon "veltrane_add_plugin(VeltraneSetup \"files/Bad:Name.8bf\")"
  empty "veltrane_add_plugin(VeltraneSetup files/Empty.8bf)"
  missing "veltrane_add_plugin(VeltraneSetup files/Missing.8bf)"
  twice "veltrane_add_plugin(VeltraneSetup \"files/My Filter.8bf\")\nveltrane_add_plugin(VeltraneSetup \"files/twice/MY FILTER.8bf\")"
  foreign "veltrane_add_plugin(VeltraneSetup \"${FOREIGN}\")")
list(FIND calls ${CASE} at)
math(EXPR at "${at} + 1")
list(GET calls ${at} call)
get_filename_component(rules "${CMAKE_CURRENT_LIST_DIR}/../../cmake/payload.cmake" ABSOLUTE)
file(WRITE "${project}/CMakeLists.txt"
  "cmake_minimum_required(VERSION 3.20)\nproject(refused LANGUAGES NONE)\n"
  "include(\"${rules}\")\nadd_custom_target(VeltraneSetup)\n${call}\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${project}" -B "${project}/build"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
# The message is wrapped at blanks; joined again so the expression can match it.
string(REGEX REPLACE "\n +" " " said "${out}${err}")
message("${said}")
if(result EQUAL 0)
  message(FATAL_ERROR "configuring succeeded, but ${CASE} should have been refused")
endif()
