#include "candidate_list.h"

#include <string.h>
#include <windows.h>

#include "bounded_text.h"

CandidateList candidate_list;

CandidateList::CandidateList() {
  for (CandidateFolder& entry : entries) {
    entry.path[0] = '\0';
    entry.append_subfolder = 1;
    entry.host = {ARCH_UNKNOWN, EVIDENCE_NONE};
  }
}

void reset_candidate_list() { candidate_list = CandidateList(); }

int candidate_count() {
  int count = 0;
  while (count < CANDIDATE_CAPACITY && candidate_list.entries[count].path[0]) ++count;
  return count;
}

int format_listed_entry(const CandidateFolder& entry, char* out) {
  if (copy_text(out, PATH_CAPACITY, entry.path) &&
      (!entry.append_subfolder || append_text(out, PATH_CAPACITY, MAKER_SUBFOLDER)))
    return 1;
  out[0] = '\0';
  return 0;
}

namespace {

// Windows resolves "C:\p " and "C:\p." to the folder C:\p, so such a prefix would
// pass the existence check yet store a name that differs from the folder's own.
// Trimming goes on to the prefix without the blank or full stop instead.
bool resolves_to_shorter_name(char last) { return last == ' ' || last == '.'; }

// The maker's own folder is added back by the installer's list, so a path that
// already ends in it is cut just before it.
void cut_at_maker_folder(char* path) {
  char* found = strstr(path, "velt");
  if (found && found > path && found[-1] == '\\') *found = '\0';
}

}  // namespace

int walk_up_to_existing_folder(char* path) {
  size_t length = text_length(path);
  if (length > 0 && path[length - 1] == '\\') path[--length] = '\0';
  for (;;) {
    if (length <= 3) return 0;
    char last = path[length - 1];
    if (!resolves_to_shorter_name(last) && SetCurrentDirectoryA(path)) return 1;
    if (last == '\\') return 0;
    path[--length] = '\0';
  }
}

char* title_case(char* path) {
  lower_ascii(path);
  if (!path[0]) return path;
  path[0] = upper_char(path[0]);
  for (size_t i = 0; path[i] && path[i + 1]; ++i) {
    unsigned char next = static_cast<unsigned char>(path[i + 1]);
    if (!is_letter(path[i]) && next >= 0x41 && next <= 0x7A) path[i + 1] = upper_char(path[i + 1]);
  }
  return path;
}

void admit_candidate(char* path) {
  if (!walk_up_to_existing_folder(path)) return;
  lower_ascii(path);
  cut_at_maker_folder(path);
  int listed_unchanged = strstr(path, "igrafx") != nullptr;
  if (!ensure_trailing_separator(path)) return;  // a folder name that fills the buffer
  title_case(path);
  HostArchitecture host = admission_evidence(path);
  for (CandidateFolder& entry : candidate_list.entries) {
    if (!entry.path[0]) {
      copy_text(entry.path, path);
      if (listed_unchanged) entry.append_subfolder = 0;
      entry.host = host;
      return;
    }
    if (lstrcmpA(entry.path, path) == 0) {
      if (host.evidence > entry.host.evidence) entry.host = host;
      return;
    }
  }
}
