# Build step of an installer (cmake -P): one line on the plug-in files it carries,
# their bytes, and the bytes they take in the installer as carried (each file's
# resource and the compressed stream, headers included), with how many of them are
# in the stream; the others are stored.
#   -DLIST=<one "file|carried form" per line> -DSTREAM=<the stream, or empty> -DLABEL=<text>
file(STRINGS "${LIST}" pairs)
set(count 0)
set(original 0)
set(carried 0)
set(compressed 0)
if(NOT "${STREAM}" STREQUAL "")
  file(SIZE "${STREAM}" carried)
endif()
foreach(pair IN LISTS pairs)
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 file)
  list(GET parts 1 packed)
  file(SIZE "${file}" file_size)
  file(SIZE "${packed}" packed_size)
  file(READ "${packed}" method OFFSET 4 LIMIT 1 HEX)  # resources/payload_types.h
  math(EXPR count "${count} + 1")
  math(EXPR original "${original} + ${file_size}")
  math(EXPR carried "${carried} + ${packed_size}")
  if(method STREQUAL "02")
    math(EXPR compressed "${compressed} + 1")
  endif()
endforeach()
set(share "")
if(original GREATER 0)
  math(EXPR tenths "${carried} * 1000 / ${original}")
  math(EXPR whole "${tenths} / 10")
  math(EXPR fraction "${tenths} % 10")
  set(share " (${whole}.${fraction}%)")
endif()
message("${LABEL} carries ${count} file(s): ${original} bytes, ${carried} bytes as carried${share}; "
        "${compressed} compressed in one stream, the others stored")
