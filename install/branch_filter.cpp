#include "branch_filter.h"

#include <string.h>

#include "payload_types.h"

namespace {

DWORD word_at(const unsigned char* bytes) {
  DWORD word;
  memcpy(&word, bytes, sizeof word);
  return word;
}

void put_word_at(unsigned char* bytes, DWORD word) { memcpy(bytes, &word, sizeof word); }

}  // namespace

DWORD unfilter_branches(DWORD filter, unsigned char* bytes, DWORD size, DWORD position, int last) {
  DWORD done = 0;
  if (filter == BRANCH_FILTER_X86) {
    // E8 (call) and E9 (jmp) take their four bytes with them. An operand of 00 or FF
    // in its top byte the build made absolute modulo 2^25, so the same test finds it
    // again here.
    while (done + 4 < size) {
      if ((bytes[done] & 0xFE) != 0xE8) {
        ++done;
        continue;
      }
      DWORD target = word_at(bytes + done + 1), top = target >> 24;
      if (top == 0 || top == 0xFF) {
        DWORD relative = (target - (position + done + 5)) & 0x1FFFFFF;
        put_word_at(bytes + done + 1, (relative ^ 0x1000000) - 0x1000000);  // bit 24 fills the top byte
      }
      done += 5;
    }
  } else if (filter == BRANCH_FILTER_ARM64) {
    for (; done + 4 <= size; done += 4) {
      DWORD word = word_at(bytes + done), at = position + done;
      if ((word >> 26) == 0x25) {  // BL: a count of words
        word = 0x94000000 | ((word - (at >> 2)) & 0x03FFFFFF);
      } else if ((word & 0x9F000000) == 0x90000000) {  // ADRP: a count of pages
        DWORD page = (((word >> 29) & 3) | ((word >> 3) & 0x1FFFFC)) - (at >> 12);
        word = (word & 0x9F00001F) | (page & 3) << 29 | (page & 0x1FFFFC) << 3;
      }
      put_word_at(bytes + done, word);
    }
  }
  return filter == BRANCH_FILTER_NONE || last ? size : done;
}
