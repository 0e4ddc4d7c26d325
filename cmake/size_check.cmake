# Build step of the installer (cmake -P): prints its size without the resources it
# carries (bitmaps, plug-ins) and without the signature of a signed installer (the
# certificate table at the end of the file), and fails the build when that passes
# the budget; fails too when the program holds writable data with file contents.
#   -DPROGRAM=<exe> -DLABEL=<text> -DLIMIT=<bytes, 0 = no limit>
include(${CMAKE_CURRENT_LIST_DIR}/pe_image.cmake)

file(SIZE "${PROGRAM}" size)
veltrane_pe_certificate_table("${PROGRAM}" signature signature_size)
if(signature GREATER 0)
  set(size ${signature})  # everything from the table on is the signature
endif()
veltrane_pe_section_raw_size("${PROGRAM}" ".rsrc" resources)
math(EXPR code "${size} - ${resources}")
math(EXPR tenths "${code} * 10 / 1024")
math(EXPR whole "${tenths} / 10")
math(EXPR fraction "${tenths} % 10")
set(figure "${LABEL} without resources: ${code} bytes (${whole}.${fraction} KB)")
# No writable section may take bytes of the file but the import table and the
# resources, which Windows writes into when it loads the program: an initialised
# writable variable would bring a .data section, half a kilobyte of file alignment
# for a few bytes. Zero-initialised storage (.bss) takes no file bytes.
veltrane_pe_writable_sections("${PROGRAM}" writable)
list(REMOVE_ITEM writable ".idata" ".rsrc")
if(writable)
  message(FATAL_ERROR "${LABEL} has writable data with file contents (${writable}): make it const, or zero-initialised")
endif()
if(LIMIT GREATER 0 AND code GREATER LIMIT)
  message(FATAL_ERROR "${figure}: more than the budget of ${LIMIT} bytes")
endif()
if(LIMIT GREATER 0)
  message("${figure}, budget ${LIMIT}")
else()
  message("${figure}")
endif()
