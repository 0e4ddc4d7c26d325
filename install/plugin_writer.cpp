#include "plugin_writer.h"

#include "carried_plugins.h"
#include "current_directory.h"
#include "replace_file.h"

namespace {

void clear_failures(PayloadFailures& failures) {
  failures.count = 0;
  failures.dropped = 0;
  failures.stopped = 0;
}

void record_failure(const WriteRun& run, const char* resource_name, const char* file_name, DWORD error) {
  if (run.target->log && error == ERROR_CRC)
    log_format(*run.target->log, "failed: %s (%s)", file_name, DAMAGED_INSTALLER_TEXT);
  else if (run.target->log)
    log_payload_failed(*run.target->log, file_name, error);
  PayloadFailures& failures = *run.failures;
  if (failures.count == FAILURE_CAPACITY) {
    ++failures.dropped;
    return;
  }
  PayloadFailure& failure = failures.entries[failures.count++];
  copy_text(failure.resource_name, resource_name);
  copy_text(failure.file_name, file_name);
  failure.error = error;
}

// A resource that cannot be found, is empty or cannot be loaded ends the run.
BOOL stop_with_failure(const WriteRun& run, const char* resource_name, const char* file_name, DWORD error) {
  record_failure(run, resource_name, file_name, error ? error : ERROR_RESOURCE_DATA_NOT_FOUND);
  run.failures->stopped = 1;
  return FALSE;
}

// Records a carried file of the set that is damaged. Checking costs a checksum over
// the carried bytes (the compressed stream's once, at its first file), a fraction of
// decoding them.
BOOL CALLBACK check_carried(HMODULE, LPCSTR type, LPSTR name, LONG_PTR run_parameter) {
  const WriteRun& run = *reinterpret_cast<const WriteRun*>(run_parameter);
  char file_name[OUTPUT_PATH_CAPACITY];
  CarriedFile file;
  if (carried_file_name(name, file_name) &&
      load_carried_file(run.target->module, type, name, file, *run.stream) == ERROR_CRC)
    record_failure(run, name, file_name, ERROR_CRC);
  return TRUE;
}

// Enumerates the set with `enumerate`. An enumeration ends early only when a callback
// ends it (`stopped`); one that ends otherwise met a damaged resource directory (the
// system's enumeration turns a fault there into a failure), and what it did not reach
// was neither checked nor written.
void enumerate_set(WriteRun& run, ENUMRESNAMEPROCA enumerate) {
  if (!EnumResourceNamesA(run.target->module, MAKEINTRESOURCEA(payload_type_for(run.target->set)), enumerate,
                          reinterpret_cast<LONG_PTR>(&run)) &&
      !run.failures->stopped)
    stop_with_failure(run, "", "plug-ins", ERROR_CRC);
}

// Names the reason once, after the files it damaged, and frees the decoder.
int end_run(const WriteRun& run, int damaged) {
  if ((damaged || run.stream->damage) && run.target->log)
    log_format(*run.target->log, "damaged: %s", run.stream->damage ? run.stream->damage : CARRIED_DAMAGED_FILE);
  close_carried_stream(*run.stream);
  return payload_failure_total(*run.failures);
}

int write_whole_set(const InstallTarget& target, PayloadFailures& failures) {
  clear_failures(failures);
  CarriedStream stream = {};
  WriteRun run = {&target, &failures, &stream};
  enumerate_set(run, check_carried);
  if (failures.count) return end_run(run, 1);
  remove_leftover_temp_files(target.folder);
  enumerate_set(run, write_payload);
  return end_run(run, 0);
}

}  // namespace

BOOL CALLBACK write_payload(HMODULE, LPCSTR type, LPSTR name, LONG_PTR run_parameter) {
  if (IS_INTRESOURCE(name)) return TRUE;  // a numeric id names no file: not a carried plug-in
  const WriteRun& run = *reinterpret_cast<const WriteRun*>(run_parameter);
  const InstallTarget& target = *run.target;

  // The name is normalised in a copy, so that the record keeps the name a retry finds.
  char file_name[OUTPUT_PATH_CAPACITY];
  int name_fits = copy_text(file_name, name);
  normalise_file_name(file_name);

  CarriedFile file;
  DWORD error = load_carried_file(target.module, type, name, file, *run.stream);
  if (error != ERROR_SUCCESS && error != ERROR_CRC) return stop_with_failure(run, name, file_name, error);

  if (target.skip && is_skipped(*target.skip, file_name)) {
    if (target.log) log_payload_skipped(*target.log, file_name);
    return TRUE;
  }

  char path[OUTPUT_PATH_CAPACITY];
  if (!name_fits || !copy_text(path, target.folder) || !append_text(path, file_name)) {
    record_failure(run, name, file_name, ERROR_FILENAME_EXCED_RANGE);
    return TRUE;
  }
  // A stream found damaged while decoding damages every file after it: each is told.
  if (error == ERROR_SUCCESS) error = replace_file(target.folder, path, file);
  if (error != ERROR_SUCCESS)
    record_failure(run, name, file_name, error);
  else if (target.log)
    log_payload_written(*target.log, file_name, file.size);
  return TRUE;
}

int payload_failure_total(const PayloadFailures& failures) { return failures.count + failures.dropped; }

int install_payloads(const InstallTarget& target, PayloadFailures& failures) {
  return write_whole_set(target, failures);
}

int retry_failed_payloads(const InstallTarget& target, PayloadFailures& failures) {
  if (failures.stopped || failures.dropped) return write_whole_set(target, failures);
  static PayloadFailures previous;  // static: two 500-byte names per entry
  previous = failures;
  clear_failures(failures);
  remove_leftover_temp_files(target.folder);
  CarriedStream stream = {};
  WriteRun run = {&target, &failures, &stream};
  LPCSTR type = MAKEINTRESOURCEA(payload_type_for(target.set));
  for (int i = 0; i < previous.count; ++i)
    if (!write_payload(target.module, type, previous.entries[i].resource_name, reinterpret_cast<LONG_PTR>(&run)))
      break;
  return end_run(run, 0);
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
    case ERROR_CRC:
      return FAILURE_DAMAGED;
    default:
      return FAILURE_OTHER;
  }
}

int is_linked_folder(const char* folder) {
  char name[PATH_CAPACITY];
  copy_text(name, folder);
  size_t length = text_length(name);
  if (length > 3 && name[length - 1] == '\\') name[length - 1] = '\0';
  DWORD attributes = GetFileAttributesA(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

const char* enter_or_create_folder(const char* folder) {
  if (is_linked_folder(folder)) return "a link";
  return can_enter_folder(folder) || CreateDirectoryA(folder, nullptr) ? nullptr : FOLDER_NOT_ENTERED;
}
