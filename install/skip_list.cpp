#include "skip_list.h"

#include <string.h>

#include "bounded_text.h"

void clear_skip_list(SkipList& list) {
  for (CandidateFolder& entry : list.entries) {
    entry.path[0] = '\0';
    entry.append_subfolder = 1;
  }
}

void add_skip_key(SkipList& list, const char* key) {
  for (CandidateFolder& entry : list.entries) {
    if (!entry.path[0]) {
      copy_text(entry.path, key);
      return;
    }
  }
}

int is_skipped(const SkipList& list, const char* file_name) {
  for (const CandidateFolder& entry : list.entries) {
    if (!entry.path[0]) break;
    if (strstr(file_name, entry.path)) return 1;
  }
  return 0;
}
