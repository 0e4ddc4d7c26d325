// Unpacking a cabinet held in memory with Windows' own cabinet.dll (its FDI
// functions, there since Windows 95). cabinet.dll is not one of the DLLs Windows
// always takes from the system folder, so it is loaded at run time from there only:
// a copy planted beside an elevated installer in a downloads folder is never used.
#pragma once
#include <windows.h>

#include "byte_sink.h"

// Hands the bytes of the files in the `size`-byte cabinet at `cabinet` to `sink`, in
// order, as cabinet.dll unpacks them (at most 32 KB at a time). ERROR_SUCCESS; the
// sink's error; ERROR_NOT_ENOUGH_MEMORY; why cabinet.dll could not be loaded; or
// ERROR_CRC for a cabinet that is not well formed.
DWORD unpack_cabinet(const unsigned char* cabinet, DWORD size, ByteSink sink, void* context);
