#include "probe_row.h"

#include "candidate_list.h"
#include "path_helpers.h"
#include "letters.h"
#include "registry_scan.h"

HKEY root_key(RegistryRoot root) {
  switch (root) {
    case CLASSES_ROOT:
      return HKEY_CLASSES_ROOT;
    case CURRENT_USER:
      return HKEY_CURRENT_USER;
    default:
      return HKEY_LOCAL_MACHINE;
  }
}

int row_views(RegistryViews views, REGSAM* out) {
  out[0] = views == VIEW_OWN ? 0 : views == VIEW_32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  out[1] = KEY_WOW64_32KEY;
  return views == VIEWS_64_32 ? 2 : 1;
}

LONG read_place(HKEY root, const char* key, const char* place, char* out, REGSAM view) {
  char key_path[PATH_CAPACITY];
  if (!copy_text(key_path, key)) return ERROR_FILENAME_EXCED_RANGE;
  const char* value = after_last_backslash(place);
  if (value != place) {  // a subkey first: "Subkey\\" or "Subkey\\Value"
    size_t length = text_length(key_path);
    size_t subkey = static_cast<size_t>(value - place);  // with its "\\"
    if (length + 1 + subkey > sizeof key_path - 1) return ERROR_FILENAME_EXCED_RANGE;
    key_path[length] = '\\';
    copy_text(key_path + length + 1, subkey, place);  // without the last "\\"
  }
  return read_string_value(root, key_path, value, out, view);
}

int as_drive_folder(char* text) { return is_drive_path(strip_leading_nonletters(text)); }

int read_folder_place(HKEY root, const char* key, const char* place, char* out, REGSAM view) {
  return place && read_place(root, key, place, out, view) == ERROR_SUCCESS && as_drive_folder(out);
}

void note_host_program(FoundHost& found, char* program, unsigned version) {
  if (!file_exists(program)) {
    program[0] = '\0';
    return;
  }
  if (found.found && version <= found.version) return;
  found.found = 1;
  found.version = version;
  copy_text(found.program, program);
}

void admit_existing_folder(char* folder, const ProbeFindings& findings) {
  if (folder_exists(folder)) admit_candidate(folder, findings);
}

void admit_row_folder(const ProbeRow& row, char* folder, const ProbeFindings& findings) {
  if (row.flags & ROW_EXACT)
    admit_existing_folder(folder, findings);
  else
    admit_candidate(folder, findings);
}
