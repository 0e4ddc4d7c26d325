// The smallest file whose headers say "PE image for `machine`": a DOS header
// pointing at a PE signature and the Machine field. Enough for everything that only
// reads the headers; not loadable.
#pragma once
#include <string>

inline std::string pe_stub(unsigned machine, unsigned header_at = 64) {
  std::string bytes(header_at + 24 > 64 ? header_at + 24 : 64, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[60 + i] = static_cast<char>((header_at >> (8 * i)) & 0xFF);
  if (header_at + 6 <= bytes.size()) {
    bytes.replace(header_at, 4, std::string("PE\0\0", 4));
    bytes[header_at + 4] = static_cast<char>(machine & 0xFF);
    bytes[header_at + 5] = static_cast<char>(machine >> 8);
  }
  return bytes;
}

constexpr unsigned MACHINE_I386 = 0x014C, MACHINE_AMD64 = 0x8664, MACHINE_ARM64 = 0xAA64, MACHINE_ARMNT = 0x01C4;
