#include "versioned_hosts.h"

#include <string.h>

#include "bounded_text.h"
#include "candidate_list.h"
#include "code_page.h"
#include "message_text.h"
#include "path_helpers.h"
#include "host_architecture.h"
#include "letters.h"
#include "registry_scan.h"

namespace {

constexpr unsigned MINOR_LIMIT = 999;
constexpr unsigned VERSION_TOO_LARGE = 0xFFFFFFFFu;
constexpr unsigned MAJOR_LIMIT = (VERSION_TOO_LARGE - MINOR_LIMIT) / 1000 - 1;  // major * 1000 + minor stays below it

bool is_digit(char c) { return c >= '0' && c <= '9'; }

void scan_version(const ProbeRow& row, const ProbeFindings& findings, const char* version_key, unsigned version,
                  REGSAM view, FoundHost& newest) {
  HKEY root = root_key(row.root);
  char program_folder[PATH_CAPACITY], program_path[PATH_CAPACITY], folder[PATH_CAPACITY];
  program_path[0] = '\0';
  int have_program = read_folder_place(root, version_key, row.match, program_folder, view) &&
                     join_path(program_path, row.detail, program_folder);
  if (row.match && !have_program) return;  // a version key without its program folder
  if (have_program) note_host_program(newest, program_path, version);
  if (!read_folder_place(root, version_key, row.extra, folder, view) &&
      !(have_program && row.folder && join_path(folder, row.folder, program_folder)))
    return;
  admit_row_folder(row, folder, with_host_program(findings, program_path));
}

// Calls `scan` for the key itself, or for every version key below it, in every view
// of the row.
using VersionScan = void (*)(const ProbeRow& row, const ProbeFindings& findings, const char* key, unsigned version,
                             REGSAM view, FoundHost& found);
void for_each_version_key(const ProbeRow& row, const ProbeFindings& findings, VersionScan scan, FoundHost& found) {
  REGSAM views[2];
  for (int v = 0, count = row_views(row.views, views); v < count; ++v) {
    if (!(row.flags & ROW_VERSIONS)) {
      scan(row, findings, row.key, 0, views[v], found);
      continue;
    }
    char name[PATH_CAPACITY], key[PATH_CAPACITY];
    for (int index = 0; subkey_at(root_key(row.root), row.key, index, name, views[v]) == 0; ++index)
      if (join_path(key, name, row.key)) scan(row, findings, key, version_rank(name), views[v], found);
  }
}

void scan_numbered(const ProbeRow& row, const ProbeFindings& findings, const char* key, unsigned, REGSAM view,
                   FoundHost&) {
  // Another product of the same maker keeps its own keys beside the host's versions.
  if (row.detail && !starts_with_lower(after_last_backslash(key), row.detail)) return;
  for (int number = row.number;; ++number) {
    char place[PATH_CAPACITY], folder[PATH_CAPACITY];
    format_text(place, row.match, number);
    LONG read = read_place(root_key(row.root), key, place, folder, view);
    if (read != ERROR_SUCCESS && read != ERROR_MORE_DATA) break;  // the last one; one too long is passed over
    if (as_drive_folder(folder)) admit_row_folder(row, folder, findings);
    if (!strchr(row.match, '%')) break;  // a place without a number is one place
  }
}

}  // namespace

unsigned version_rank(const char* key_name) {
  unsigned major = 0, minor = 0;
  const char* p = key_name;
  for (; is_digit(*p); ++p) {
    major = major * 10 + static_cast<unsigned>(*p - '0');
    if (major > MAJOR_LIMIT) return VERSION_TOO_LARGE;  // larger than any rank: ranked the largest
  }
  if (*p == '.')
    for (++p; is_digit(*p); ++p)
      if (minor <= MINOR_LIMIT) minor = minor * 10 + static_cast<unsigned>(*p - '0');
  if (minor > MINOR_LIMIT) minor = MINOR_LIMIT;
  return major * 1000 + minor;
}

void scan_versioned_host(const ProbeRow& row, const ProbeFindings& findings, FoundHost& newest) {
  for_each_version_key(row, findings, scan_version, newest);
}

void admit_shared_folder(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& host) {
  if (!host.found) return;
  char folder[PATH_CAPACITY];
  // An unset variable stays as written, "%NAME%".
  if (!expand_exactly(row.key, folder) || !folder[0] || folder[0] == '%' || !join_path(folder, row.match, nullptr))
    return;
  admit_existing_folder(folder, with_host_program(findings, host.program));
}

void scan_numbered_folders(const ProbeRow& row, const ProbeFindings& findings) {
  FoundHost unused;
  for_each_version_key(row, findings, scan_numbered, unused);
}
