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

# A static library that goes into the installer.
function(veltrane_product_library target)
  veltrane_warnings(${target})
  # No -fdata-sections: with it, GCC for Windows puts zero-initialised tables in .data$
  # sections that take their full size in the file instead of in .bss.
  target_compile_options(${target} PRIVATE -fno-exceptions -ffunction-sections
                         -fno-asynchronous-unwind-tables
                         -fno-ident    # no compiler version string per object file
                         -fcheck-new)  # operator new may return null: keep the checks after it
  # 32-bit Windows keeps the stack 4-byte aligned, and the product uses no data that
  # needs more: without 16-byte alignment no function re-aligns or pads its frame.
  if(VELTRANE_ARCH STREQUAL "x86")
    target_compile_options(${target} PRIVATE -mpreferred-stack-boundary=2)
  endif()
endfunction()

# A program users get: stripped, static runtime, only Windows' own DLLs imported.
function(veltrane_product_program target)
  veltrane_product_library(${target})
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections)
  target_link_libraries(${target} PRIVATE veltrane_runtime)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# A GUI program users get that starts through the product's own start-up code
# instead of the C runtime's (common/gui_startup.cpp): a fifth of the size less.
function(veltrane_own_startup target)
  target_link_options(${target} PRIVATE -nostartfiles)
  target_link_libraries(${target} PRIVATE veltrane_gui_startup)
endfunction()

# A test program (GoogleTest or a helper the tests start).
function(veltrane_test_program target)
  veltrane_warnings(${target})
  target_link_options(${target} PRIVATE -static)
endfunction()
