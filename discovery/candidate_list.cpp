#include "candidate_list.h"

#include <string.h>
#include <windows.h>

#include "bounded_text.h"
#include "current_directory.h"
#include "letters.h"
#include "path_helpers.h"

CandidateList candidate_list;

void reset_candidate_list() {
  for (CandidateFolder& entry : candidate_list.entries) {
    entry.path[0] = '\0';
    entry.append_subfolder = 1;
    entry.host = {ARCH_UNKNOWN, EVIDENCE_NONE, 0};
    entry.row = 0;
  }
}

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
// already holds it is cut just before it. Only the first "velt" is looked at, and
// only a component that begins with the maker's whole name is the maker's folder:
// "C:\Veltman Tools\" is another maker's. `path` is lower case here.
void cut_at_maker_folder(char* path) {
  char* found = strstr(path, "velt");
  if (found && found > path && found[-1] == '\\' && strncmp(found, "veltrane", 8) == 0) *found = '\0';
}

// `path` in place in the form Windows resolves it to: "." and ".." components
// resolved, "/" made "\", trailing blanks and full stops dropped. 0 (unchanged) when
// the system cannot (a path longer than it takes) or the result does not fit.
int make_canonical(char* path) {
  char full[PATH_CAPACITY];
  DWORD length = GetFullPathNameA(path, PATH_CAPACITY, full, nullptr);
  return length && length < static_cast<DWORD>(PATH_CAPACITY) && copy_text(path, PATH_CAPACITY, full);
}

// 1 when the canonical, lower-case `path` (ends in "\") is the Windows folder or lies
// below it: no host keeps its plug-ins there, and a place a user's settings name there
// would have the elevated installer write among the system's files.
bool in_windows_folder(const char* path) {
  char windows[PATH_CAPACITY];
  UINT length = GetWindowsDirectoryA(windows, PATH_CAPACITY);  // "C:\Windows", 0 when it fails
  return length - 1 < static_cast<UINT>(PATH_CAPACITY - 1) && strncmp(path, lower_ascii(windows), length) == 0 &&
         path[length] == '\\';
}

}  // namespace

int walk_up_to_existing_folder(char* path) {
  size_t length = text_length(path);
  if (length > 0 && path[length - 1] == '\\') path[--length] = '\0';
  for (;;) {
    if (length <= 3) return 0;
    char last = path[length - 1];
    if (!resolves_to_shorter_name(last) && can_enter_folder(path)) return 1;
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

void admit_candidate(char* path, const ProbeFindings& findings) {
  // "C:name" would be made a folder below the drive's current folder. A path too long
  // to be made canonical before the walk is made so after it: the walk shortens it.
  if (path[1] == ':' && !is_drive_path(path)) return;
  make_canonical(path);
  if (!walk_up_to_existing_folder(path) || !make_canonical(path)) return;
  lower_ascii(path);
  cut_at_maker_folder(path);
  int listed_unchanged = strstr(path, "igrafx") != nullptr || findings.no_subfolders;
  // A folder name that fills the buffer has no room for its separator.
  if (!ensure_trailing_separator(path) || in_windows_folder(path)) return;
  title_case(path);
  HostArchitecture host = admission_evidence(path, findings);
  for (CandidateFolder& entry : candidate_list.entries) {
    if (!entry.path[0]) {
      copy_text(entry.path, path);
      if (listed_unchanged) entry.append_subfolder = 0;
      entry.host = host;
      entry.row = findings.row;
      return;
    }
    if (lstrcmpA(entry.path, path) == 0) {  // found again: its place and listing stay
      int bridged = entry.host.bridged | host.bridged;
      if (host.evidence > entry.host.evidence) entry.host = host;
      entry.host.bridged = bridged;
      return;
    }
  }
}

HostArchitecture target_architecture(const char* folder) {
  char target[PATH_CAPACITY];
  if (!copy_text(target, folder) || !ensure_trailing_separator(target)) return {ARCH_UNKNOWN, EVIDENCE_NONE, 0};
  lower_ascii(target);
  const CandidateFolder* innermost = nullptr;
  size_t innermost_length = 0;
  for (int i = 0; i < candidate_count(); ++i) {
    const CandidateFolder& entry = candidate_list.entries[i];
    char listed[PATH_CAPACITY];
    copy_text(listed, entry.path);
    size_t length = text_length(lower_ascii(listed));
    // Listed paths end in "\", so a matching prefix is a whole folder.
    bool tells = entry.host.architecture != ARCH_UNKNOWN || entry.host.bridged;
    if (tells && length > innermost_length && strncmp(target, listed, length) == 0) {
      innermost = &entry;
      innermost_length = length;
    }
  }
  if (innermost && innermost->host.architecture != ARCH_UNKNOWN)
    return {innermost->host.architecture, EVIDENCE_LISTED_FOLDER, innermost->host.bridged};
  HostArchitecture own = folder_files_evidence(folder);
  own.bridged = innermost != nullptr;  // inside a bridged folder whose architecture is unknown
  return own;
}
