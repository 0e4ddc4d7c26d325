#include "host_folders.h"

#include <shlobj.h>

#include "candidate_list.h"
#include "code_page.h"
#include "handles.h"
#include "host_architecture.h"
#include "host_probes.h"
#include "letters.h"
#include "path_helpers.h"

namespace {

// Admits `folder` with `program` (may be empty) as its host program, where the row's
// condition holds.
void admit_with_program(const ProbeRow& row, const ProbeFindings& findings, char* folder, const char* program) {
  if ((row.flags & ROW_PSFILTERPDN) && !holds_psfilterpdn(folder)) return;
  admit_existing_folder(folder, with_host_program(findings, program));
}

}  // namespace

int holds_psfilterpdn(const char* folder) {
  char found[PATH_CAPACITY];
  int first = 1;
  int holds = find_host_file(folder, "psfilterpdn.dll", ".dll", found, first, 0);
  end_host_file_search();
  return holds;
}

void scan_program_subfolder(const ProbeRow& row, const ProbeFindings& findings, FoundHost& found) {
  REGSAM views[2];
  for (int v = 0, count = row_views(row.views, views); v < count; ++v) {
    char program_folder[PATH_CAPACITY], program[PATH_CAPACITY], folder[PATH_CAPACITY];
    if (!read_folder_place(root_key(row.root), row.key, row.match, program_folder, views[v]) ||
        !join_path(program, row.detail, program_folder) || !join_path(folder, row.folder, program_folder))
      continue;
    note_host_program(found, program, 0);
    admit_with_program(row, findings, folder, program);
  }
}

// Asked in the wide form: a folder whose name the code page cannot hold is none.
int user_folder_path(int csidl, const char* sub_path, char* out) {
  WCHAR base[MAX_PATH];
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK) return 0;
  return narrow_exactly(base, out, PATH_CAPACITY) && join_path(out, sub_path, nullptr);
}

void scan_user_folder(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& found) {
  char folder[PATH_CAPACITY];
  if (!user_folder_path(row.number, row.folder, folder)) return;
  admit_with_program(row, findings, folder, (row.flags & ROW_FOUND_HOST) && found.found ? found.program : "");
}
