# Build step of the installer (cmake -P): fails the build when the linker map shows a
# static constructor or destructor. The installer starts through its own start-up
# code (common/gui_startup.cpp), which runs none: one added unnoticed would simply
# never run. Tables are zero-initialised and filled by explicit calls instead.
#   -DMAP=<the linker's map file> -DLABEL=<text>
file(READ "${MAP}" map)
string(FIND "${map}" "__CTOR_LIST__ = ." ctor_start)
string(FIND "${map}" "__DTOR_LIST__ = ." dtor_start)
if(ctor_start LESS 0 OR dtor_start LESS ctor_start)
  message(FATAL_ERROR "${LABEL}: the map ${MAP} has no constructor list")
endif()
math(EXPR ctor_length "${dtor_start} - ${ctor_start}")
string(SUBSTRING "${map}" ${ctor_start} ${ctor_length} ctor_list)
# An object file's contribution is a line of its own that starts with the section name.
if(ctor_list MATCHES "\n[ \t]*\\.ctors?[^ \t\n]*[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+([^\n]+)")
  message(FATAL_ERROR "${LABEL} has a static constructor, from ${CMAKE_MATCH_1}: "
          "fill the table by an explicit call at start-up instead")
endif()
# A local static object with a destructor registers it with atexit on first use.
if(map MATCHES "[ \t(_]atexit[ \t)\n]")
  message(FATAL_ERROR "${LABEL} registers a destructor with atexit: "
          "close what it holds explicitly where the program ends instead")
endif()
