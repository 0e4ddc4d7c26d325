#include "crc32.h"

namespace {

// Made at first use: a table in zero-initialised storage costs the program file
// nothing, where a constant one would cost it a kilobyte. Its entry for 1 is never 0
// once made.
DWORD crc_table[256];

void make_crc_table() {
  for (DWORD n = 0; n < 256; ++n) {
    DWORD c = n;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    crc_table[n] = c;
  }
}

}  // namespace

DWORD crc32_update(DWORD crc, const void* bytes, DWORD size) {
  if (!crc_table[1]) make_crc_table();
  const unsigned char* next = static_cast<const unsigned char*>(bytes);
  crc = ~crc;
  while (size--) crc = crc_table[(crc ^ *next++) & 0xff] ^ (crc >> 8);
  return ~crc;
}
