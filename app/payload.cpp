#include "payload.h"

#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "install_log.h"
#include "path_helpers.h"
#include "replace_file.h"

SkipList skip_list;
PayloadFailures payload_failures;

namespace {
Architecture current_set;  // the set of the last install_payloads (unknown: the x86 set)
}

SkipList::SkipList() {
  for (CandidateFolder& entry : entries) {
    entry.path[0] = '\0';
    entry.append_subfolder = 1;
  }
}

void add_skip_key(const char* key) {
  for (CandidateFolder& entry : skip_list.entries) {
    if (!entry.path[0]) {
      copy_text(entry.path, key);
      return;
    }
  }
}

void begin_install_attempt() { skip_list = SkipList(); }

namespace {

void delete_chars(char* text, size_t at, size_t count) {
  size_t i = at;
  while ((text[i] = text[i + count]) != '\0') ++i;
}

// A full stop and the digit 8 leave their successor alone, so ".8BF" ends as ".8bf";
// the apostrophe does, so "ROCK'N" ends as "Rock'n".
bool upper_cases_successor(char c) { return !is_letter(c) && c != '\'' && c != '.' && c != '8'; }

bool is_skipped(const char* file_name) {
  for (const CandidateFolder& entry : skip_list.entries) {
    if (!entry.path[0]) break;
    if (strstr(file_name, entry.path)) return true;
  }
  return false;
}

void clear_failures() {
  payload_failures.count = 0;
  payload_failures.dropped = 0;
  payload_failures.stopped = 0;
}

void record_failure(const char* resource_name, const char* file_name, DWORD error) {
  log_payload_failed(file_name, error);
  if (payload_failures.count == FAILURE_CAPACITY) {
    ++payload_failures.dropped;
    return;
  }
  PayloadFailure& failure = payload_failures.entries[payload_failures.count++];
  copy_text(failure.resource_name, resource_name);
  copy_text(failure.file_name, file_name);
  failure.error = error;
}

// A resource that cannot be found, is empty or cannot be loaded ends the run.
BOOL stop_with_failure(const char* resource_name, const char* file_name, DWORD error) {
  record_failure(resource_name, file_name, error ? error : ERROR_RESOURCE_DATA_NOT_FOUND);
  payload_failures.stopped = 1;
  return FALSE;
}

}  // namespace

char* normalise_file_name(char* name) {
  lower_ascii(name);
  name[0] = upper_char(name[0]);
  if (text_length(name) < 2) return name;
  // The bound is taken again before every step, as deletions shorten the text; the
  // last character is therefore only ever changed as a successor.
  for (size_t i = 0; i + 1 < text_length(name); ++i) {
    if (name[i] == '_' && name[i + 1] == '_') {
      delete_chars(name, i, 2);
      name[i] = upper_char(name[i]);
      if (!name[i]) break;
    }
    if (name[i] == '_') name[i] = ' ';
    if (name[i] == ':') {
      delete_chars(name, i, 1);  // the character moving up is passed over
      continue;
    }
    if (upper_cases_successor(name[i])) name[i + 1] = upper_char(name[i + 1]);
  }
  return name;
}

DWORD load_payload(LPCSTR type, LPCSTR name, const void** bytes, DWORD* size) {
  // Found, sized and loaded through the same module, the program's own.
  HRSRC resource = FindResourceA(instance_handle, name, type);
  if (!resource) {
    DWORD error = GetLastError();
    return error ? error : ERROR_RESOURCE_DATA_NOT_FOUND;
  }
  *size = SizeofResource(instance_handle, resource);
  if (*size == 0) return ERROR_INVALID_DATA;
  HGLOBAL loaded = LoadResource(instance_handle, resource);
  *bytes = loaded ? LockResource(loaded) : nullptr;
  if (*bytes) return ERROR_SUCCESS;
  DWORD error = GetLastError();
  return error ? error : ERROR_RESOURCE_DATA_NOT_FOUND;
}

BOOL CALLBACK write_payload(HMODULE, LPCSTR type, LPSTR name, LONG_PTR) {
  if (IS_INTRESOURCE(name)) return TRUE;  // a numeric id names no file: not a carried plug-in

  // The name is normalised in a copy, so that the record keeps the name a retry finds.
  char file_name[OUTPUT_PATH_CAPACITY];
  int name_fits = copy_text(file_name, name);
  normalise_file_name(file_name);

  const void* bytes = nullptr;
  DWORD size = 0;
  DWORD error = load_payload(type, name, &bytes, &size);
  if (error != ERROR_SUCCESS) return stop_with_failure(name, file_name, error);

  if (is_skipped(file_name)) {
    log_payload_skipped(file_name);
    return TRUE;
  }

  char path[OUTPUT_PATH_CAPACITY];
  if (!name_fits || !copy_text(path, chosen_folder) || !append_text(path, file_name)) {
    record_failure(name, file_name, ERROR_FILENAME_EXCED_RANGE);
    return TRUE;
  }
  error = replace_file(chosen_folder, path, bytes, size);
  if (error != ERROR_SUCCESS)
    record_failure(name, file_name, error);
  else
    log_payload_written(file_name, size);
  return TRUE;
}

int payload_failure_total() { return payload_failures.count + payload_failures.dropped; }

WORD payload_type_for(Architecture architecture) {
  switch (architecture) {
    case ARCH_X64:
      return PAYLOAD_TYPE_X64;
    case ARCH_ARM64:
      return PAYLOAD_TYPE_ARM64;
    default:
      return PAYLOAD_TYPE_X86;
  }
}

namespace {

BOOL CALLBACK note_carried(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) return TRUE;  // a numeric id names no file
  *reinterpret_cast<int*>(found) = 1;
  return FALSE;
}

}  // namespace

int carries_set_for(Architecture architecture) {
  int found = 0;
  EnumResourceNamesA(instance_handle, MAKEINTRESOURCEA(payload_type_for(architecture)), note_carried,
                     reinterpret_cast<LONG_PTR>(&found));
  return found;
}

void carried_sets_text(char* text, size_t capacity) {
  static const Architecture builds[] = {ARCH_X86, ARCH_X64, ARCH_ARM64};
  int carried[3];
  int named = 0, total = 0;
  for (int i = 0; i < 3; ++i) total += carried[i] = carries_set_for(builds[i]);
  copy_text(text, capacity, "");
  for (int i = 0; i < 3; ++i) {
    if (!carried[i]) continue;
    Architecture build = builds[i];
    ++named;
    if (named > 1) append_text(text, capacity, named == total ? " and " : ", ");
    append_text(text, capacity, architecture_build_text(build));
  }
  if (!named) copy_text(text, capacity, "no");
}

namespace {

int write_current_set() {
  clear_failures();
  remove_leftover_temp_files(chosen_folder);
  EnumResourceNamesA(instance_handle, MAKEINTRESOURCEA(payload_type_for(current_set)), write_payload, 0);
  return payload_failure_total();
}

}  // namespace

int install_payloads(Architecture architecture) {
  current_set = architecture;
  return write_current_set();
}

int retry_failed_payloads() {
  if (payload_failures.stopped || payload_failures.dropped) return write_current_set();
  static PayloadFailures previous;  // static: two 500-byte names per entry
  previous = payload_failures;
  clear_failures();
  remove_leftover_temp_files(chosen_folder);
  for (int i = 0; i < previous.count; ++i)
    if (!write_payload(instance_handle, MAKEINTRESOURCEA(payload_type_for(current_set)), previous.entries[i].resource_name, 0))
      break;
  return payload_failure_total();
}

FailureKind classify_failure(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FAILURE_DISK_FULL;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FAILURE_IN_USE;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FAILURE_ACCESS_DENIED;
    default:
      return FAILURE_OTHER;
  }
}

int failure_system_text(DWORD error, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                buffer, static_cast<DWORD>(capacity), nullptr);
  if (length == 0 || length >= capacity) {
    char fallback[24];
    wsprintfA(fallback, "Error %lu", error);
    copy_text(buffer, capacity, fallback);
    return 0;
  }
  // The system's texts end in a line break, which has no place inside a message box line.
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
    buffer[--length] = '\0';
  return 1;
}
