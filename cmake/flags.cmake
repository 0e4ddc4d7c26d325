# Compiler and linker settings shared by every target of the project.
# Warnings are errors everywhere; the product itself is built small: no exceptions,
# no RTTI, unused sections dropped, stripped, static runtime.

set(VELTRANE_WARNINGS -Wall -Wextra -Wshadow -Werror)

# The project's own code, product and tests alike. RTTI is off in both, since a test
# class derived from a product class needs the product's (absent) type information.
function(veltrane_warnings target)
  target_compile_options(${target} PRIVATE ${VELTRANE_WARNINGS} -fno-rtti)
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=0)
endfunction()

# Code generation of the product: for size first (GCC's -Oz), and a function called
# once is not inlined into its caller when that would only make the caller's frame
# and register shuffling larger.
set(VELTRANE_PRODUCT_CODE_OPTIONS -Oz -fno-inline-functions-called-once)
if(VELTRANE_ARCH STREQUAL "x86")
  # 32-bit Windows keeps the stack 4-byte aligned, and the product uses no data that
  # needs more: without 16-byte alignment no function re-aligns or pads its frame.
  # x86 Windows unwinds without tables, so the product carries none.
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -mpreferred-stack-boundary=2 -fno-asynchronous-unwind-tables)
  # Arguments are pushed, not stored into a frame kept for them: a tenth of the code
  # less. GCC only allows that without stack probes, and a probe is needed only for a
  # frame of a page or more, which could step past the stack's guard page; so no
  # function of the product may have a frame over 4,000 bytes (an error otherwise:
  # large buffers are static).
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -mno-stack-arg-probe -mno-accumulate-outgoing-args -Wframe-larger-than=4000)
  # No frame pointer, as x86 Windows release code is usually built (frame pointer
  # omission is part of optimising for x86 there): a register more, 1.5 KB less.
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -fomit-frame-pointer)
  # A switch compiles to compares rather than a table of code addresses, each of
  # which the loader would relocate; and tables and texts keep the alignment their
  # types need, without padding to 32 bytes for the cache.
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -fno-jump-tables -malign-data=abi)
  # Identical tails of branches are not merged into jumps to one copy: here that
  # costs more jumps than it saves.
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -fno-tree-tail-merge)
  # Passes that -Oz keeps although they work for speed, and that, measured on this
  # program, make its x86 code larger (together by half a kilobyte): keeping values
  # in call-clobbered registers across calls, turning tail calls into jumps, popping
  # the arguments of several calls at once, hoisting loop invariants and loads out of
  # loops, canonicalising loop counters, saving registers only on the paths that need
  # them, inlining the hot part of a function, and the extra "expensive" passes.
  list(APPEND VELTRANE_PRODUCT_CODE_OPTIONS -fno-caller-saves -fno-optimize-sibling-calls -fno-defer-pop
       -fno-move-loop-invariants -fno-tree-loop-im -fno-tree-loop-ivcanon -fno-shrink-wrap -fno-partial-inlining
       -fno-expensive-optimizations)
endif()
# x64 keeps its unwind tables (.pdata, .xdata): Windows walks the stack through them
# for every exception, crash report and debugger, and takes a function without them
# for a leaf.

# A static library that goes into the installer.
function(veltrane_product_library target)
  veltrane_warnings(${target})
  # No -fdata-sections: with it, GCC for Windows puts zero-initialised tables in .data$
  # sections that take their full size in the file instead of in .bss.
  target_compile_options(${target} PRIVATE -fno-exceptions -ffunction-sections
                         -fno-ident    # no compiler version string per object file
                         -fcheck-new   # operator new may return null: keep the checks after it
                         ${VELTRANE_PRODUCT_CODE_OPTIONS})
endfunction()

# A program users get: stripped, static runtime, only Windows' own DLLs imported.
function(veltrane_product_program target)
  veltrane_product_library(${target})
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections)
  target_link_libraries(${target} PRIVATE veltrane_runtime)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# A GUI program users get, compiled as a whole: every source of the product
# libraries it names, its own sources, the allocation operators and its own start-up
# code (common/gui_startup.cpp, in place of the C runtime's: a fifth of the size
# less) go into one translation unit compiled with -fwhole-program. The compiler then
# sees the whole program at once: small functions of one library are inlined into
# another and what nothing calls is dropped, about a tenth of the code less. (GCC's
# link-time optimiser would do the same, but this toolchain's linker crashes on it
# for some orders of the import libraries.) Two product files therefore never give
# file-local helpers the same name. The test programs link the libraries as usual.
#   veltrane_whole_program(target LIBRARIES lib...)
function(veltrane_whole_program target)
  cmake_parse_arguments(ARG "" "" "LIBRARIES" ${ARGN})
  set(sources ${PROJECT_SOURCE_DIR}/common/runtime.cpp ${PROJECT_SOURCE_DIR}/common/gui_startup.cpp)
  foreach(library IN LISTS ARG_LIBRARIES)
    get_target_property(library_sources ${library} SOURCES)
    get_target_property(library_dir ${library} SOURCE_DIR)
    foreach(source IN LISTS library_sources)
      list(APPEND sources ${library_dir}/${source})
    endforeach()
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
  endforeach()
  target_sources(${target} PRIVATE ${sources})
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0 UNITY_BUILD_MODE BATCH
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  veltrane_product_library(${target})
  target_compile_options(${target} PRIVATE -fwhole-program)
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections -nostartfiles
                      -Wl,-Map=${CMAKE_BINARY_DIR}/${target}.map)
  target_link_libraries(${target} PRIVATE gdi32 user32 shell32 advapi32 ole32 oleaut32)
endfunction()

# A test program (GoogleTest or a helper the tests start).
function(veltrane_test_program target)
  veltrane_warnings(${target})
  target_link_options(${target} PRIVATE -static)
endfunction()
