#include "versioned_hosts.h"

#include "bounded_text.h"
#include "candidate_list.h"
#include "host_architecture.h"
#include "letters.h"
#include "registry_scan.h"

namespace {

constexpr REGSAM VIEW_64 = KEY_WOW64_64KEY;
constexpr unsigned MINOR_LIMIT = 999;
constexpr unsigned VERSION_TOO_LARGE = 0xFFFFFFFFu;
constexpr unsigned MAJOR_LIMIT = (VERSION_TOO_LARGE - MINOR_LIMIT) / 1000 - 1;  // major * 1000 + minor stays below it

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_file(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_folder(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool starts_with_drive(const char* path) { return is_letter(path[0]) && path[1] == ':'; }

// The plug-in folder of one version: its own key's path, else the program folder's sub-folder.
int version_plugin_folder(const char* version_key, const char* program_folder, const char* plugin_key,
                          const char* plugin_folder, char* out) {
  char key[PATH_CAPACITY];
  if (join_path(key, plugin_key, version_key) && read_string_value(HKEY_LOCAL_MACHINE, key, "", out, VIEW_64) == 0) {
    strip_leading_nonletters(out);
    if (starts_with_drive(out)) return 1;
  }
  return join_path(out, plugin_folder, program_folder) != nullptr;
}

void scan_version(const char* version_key, unsigned version, const char* path_value, const char* program,
                  const char* plugin_key, const char* plugin_folder, FoundHost& newest) {
  char program_folder[PATH_CAPACITY];
  if (read_string_value(HKEY_LOCAL_MACHINE, version_key, path_value, program_folder, VIEW_64) != 0) return;
  strip_leading_nonletters(program_folder);
  if (!starts_with_drive(program_folder)) return;
  char program_path[PATH_CAPACITY];
  if (!join_path(program_path, program, program_folder)) return;
  if (is_file(program_path) && (!newest.found || version > newest.version)) {
    newest.found = 1;
    newest.version = version;
    copy_text(newest.program, program_path);
  }
  char folder[PATH_CAPACITY];
  if (!version_plugin_folder(version_key, program_folder, plugin_key, plugin_folder, folder)) return;
  set_probe_host_program(program_path);
  admit_candidate(folder);
  set_probe_host_program(nullptr);
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

void scan_versioned_host(const char* hosts_key, const char* path_value, const char* program,
                         const char* plugin_key, const char* plugin_folder, FoundHost& newest) {
  char name[PATH_CAPACITY];
  for (int index = 0; subkey_at(HKEY_LOCAL_MACHINE, hosts_key, index, name, VIEW_64) == 0; ++index) {
    char version_key[PATH_CAPACITY];
    if (!join_path(version_key, name, hosts_key)) continue;
    scan_version(version_key, version_rank(name), path_value, program, plugin_key, plugin_folder, newest);
  }
}

void admit_shared_folder(const char* folder_variable, const char* sub_path, const FoundHost& host) {
  if (!host.found) return;
  char folder[PATH_CAPACITY];
  DWORD length = GetEnvironmentVariableA(folder_variable, folder, PATH_CAPACITY);
  if (length == 0 || length >= static_cast<DWORD>(PATH_CAPACITY)) return;
  // Only the folder itself: admission would otherwise walk up to a parent that exists.
  if (!join_path(folder, sub_path, nullptr) || !is_folder(folder)) return;
  set_probe_host_program(host.program);
  admit_candidate(folder);
  set_probe_host_program(nullptr);
}
