// Where unpacked bytes go: the temporary file a plug-in is written to, or the
// comparison with a file on disk. Bytes arrive in order, a block at a time, so that
// nobody holds a whole plug-in in memory.
#pragma once
#include <windows.h>

// Takes the next `size` bytes; ERROR_SUCCESS, or why not (which ends the unpacking).
typedef DWORD (*ByteSink)(void* context, const unsigned char* bytes, DWORD size);
