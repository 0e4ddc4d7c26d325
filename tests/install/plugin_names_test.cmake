# The build's resource-name rule against the installer's own normaliser examples,
# and the resource names it picks for file names that plug-in makers use.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/payload.cmake)
set(failures 0)
macro(expect what expected actual)
  if(NOT "${expected}" STREQUAL "${actual}")
    message("FAIL ${what}: expected [${expected}], got [${actual}]")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

# The same rows as the installer's normaliser test: resource name, file name.
set(examples
  "TESSORA__ONDEL__DEMO.8BF" "TessoraOndelDemo.8bf"
  "MY_FILTER.8BF" "My Filter.8bf"
  "BIG-SKY_2.8BF" "Big-Sky 2.8bf"
  "X___Y.8BF" "X Y.8bf"
  "ROCK'N_ROLL.8BF" "Rock'n Roll.8bf"
  "V1.5_BETA.8BF" "V1.5 Beta.8bf"
  "7SEAS.8BF" "7Seas.8bf"
  "A9B.8BF" "A9B.8bf"
  "A8B.8BF" "A8b.8bf"
  "_A.8BF" " A.8bf"
  "__A.8BF" "A.8bf"
  "A:B.8BF" "Ab.8bf"
  "A::B.8BF" "A:b.8bf"
  "A:_B.8BF" "A_b.8bf"
  "ABC_" "Abc_"
  "Q" "Q")
list(LENGTH examples count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET examples ${i} resource)
  list(GET examples ${j} file)
  veltrane_normalise_file_name("${resource}" installed)
  expect("normalise ${resource}" "${file}" "${installed}")
endforeach()

# File name -> resource name, where the name is fixed: the shipped demo and the
# maker's example keep the plain form; others need __ and : to keep their case.
set(chosen
  "TessoraOndelDemo.8bf" "TESSORA__ONDEL__DEMO.8BF"
  "My Filter.8bf" "MY_FILTER.8BF"
  "Big-Sky 2.8bf" "BIG-SKY_2.8BF"
  "my filter.8bf" ":MY_:FILTER.8BF"
  "A_b.8bf" "A:_B.8BF"
  "CAPS.8BF" "C__A__P__S.8__B__F"
  "Two  Spaces.8bf" "TWO_ SPACES.8BF")
list(LENGTH chosen count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET chosen ${i} file)
  list(GET chosen ${j} expected)
  veltrane_plugin_resource_name("${file}" resource reason)
  expect("resource name of ${file}" "${expected}" "${resource}")
  expect("reason for ${file}" "" "${reason}")
endforeach()

# Every printable name a Windows file may have comes back as itself.
foreach(file "x" "_" "a__b" "aB-c" "a_B" " lead" "q.8BF" "8ball" "it's" "V2.0 (beta)+Extra.8bf"
             "lower start_x-Y z.8bf" "Tab__Key" "__x__" "A'B'c" "[x]{y}#!~%&=,@$^`"
             "a  b" "  lead" "x _ y" "x_ y" "a_  B" "8  8")
  veltrane_plugin_resource_name("${file}" resource reason)
  veltrane_normalise_file_name("${resource}" installed)
  expect("round trip of [${file}] via [${resource}]" "${file}" "${installed}")
  expect("reason for ${file}" "" "${reason}")
endforeach()

# Names no resource name can give, each with its reason.
set(refused
  "Bad:Name.8bf" "colon"
  "Trailing " "trailing space"
  "Trailing." "trailing space or full stop"
  "Quest?.8bf" "does not allow"
  "Café.8bf" "printable ASCII")
list(LENGTH refused count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET refused ${i} file)
  list(GET refused ${j} why)
  veltrane_plugin_resource_name("${file}" resource reason)
  expect("resource name of refused ${file}" "" "${resource}")
  if(NOT reason MATCHES "${why}")
    message("FAIL reason for ${file}: [${reason}] does not say ${why}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

# A semicolon cannot even be put in a CMake list, so this one is checked alone.
string(ASCII 59 semicolon)
veltrane_plugin_resource_name("Semi${semicolon}colon.8bf" resource reason)
expect("resource name of Semi;colon" "" "${resource}")
if(NOT reason MATCHES "semicolon")
  message("FAIL reason for Semi;colon: [${reason}]")
  math(EXPR failures "${failures} + 1")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
message("all resource-name checks passed")
