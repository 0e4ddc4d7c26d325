// The CRC-32 checksum that zlib and gzip compute, with which the build records every
// carried file.
#pragma once
#include <windows.h>

// The checksum of `size` more bytes after a run whose checksum was `crc` (0 to start).
DWORD crc32_update(DWORD crc, const void* bytes, DWORD size);
