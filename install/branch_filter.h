// Undoing the branch filter that the build put each carried PE image through before
// compressing it (resources/payload_types.h, BRANCH_FILTER_*): the absolute targets of
// calls and jumps turned back into the relative ones the image holds.
#pragma once
#include <windows.h>

// Undoes `filter` in place on `size` bytes that start `position` bytes into their
// file, and returns how many of them are final. The few bytes after those (at most 4)
// may hold the start of an instruction whose end has not come yet: the caller hands
// them in again, at the front of the next bytes. With `last` (the file ends with
// these bytes) every byte is final.
DWORD unfilter_branches(DWORD filter, unsigned char* bytes, DWORD size, DWORD position, int last);
