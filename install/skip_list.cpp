#include "skip_list.h"

#include <string.h>

#include "bounded_text.h"

void clear_skip_list(SkipList& list) {
  for (SkipKey& entry : list.entries) {
    entry.key[0] = '\0';
    entry.flag = 1;
  }
}

void add_skip_key(SkipList& list, const char* key) {
  for (SkipKey& entry : list.entries) {
    if (!entry.key[0]) {
      copy_text(entry.key, key);
      return;
    }
  }
}

int is_skipped(const SkipList& list, const char* file_name) {
  for (const SkipKey& entry : list.entries) {
    if (!entry.key[0]) break;
    if (strstr(file_name, entry.key)) return 1;
  }
  return 0;
}
