#include "install_log.h"

#include <stdarg.h>

#include "bounded_text.h"
#include "handles.h"
#include "message_text.h"
#include "safe_files.h"

namespace {

HANDLE open_log_file(const char* path, DWORD disposition) {
  return CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH | UNTRUSTED_NAME_FLAGS, nullptr);
}

// A log may be appended to only when it is a disk file of its own with one name:
// a link, or a second name of another file (a hard link), would have the elevated
// installer write where somebody else chose.
bool is_log_of_its_own(HANDLE file, const char* path) {
  BY_HANDLE_FILE_INFORMATION information;
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
         information.nNumberOfLinks == 1 && is_own_file_at(file, path);
}

}  // namespace

int open_install_log(InstallLog& log, const char* path) {
  close_install_log(log);
  char full[OUTPUT_PATH_CAPACITY];
  DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full || is_device_path(full)) return 0;
  FileHandle file(open_log_file(full, OPEN_EXISTING));
  if (file.valid() && !is_log_of_its_own(file.get(), full)) return 0;
  // CREATE_NEW never opens a name that is already there, a dangling link included.
  if (!file.valid() && GetLastError() == ERROR_FILE_NOT_FOUND) file.reset(open_log_file(full, CREATE_NEW));
  log.file = file.valid() ? file.release() : nullptr;
  return install_log_open(log);
}

int install_log_open(const InstallLog& log) { return log.file != nullptr; }

void close_install_log(InstallLog& log) {
  if (log.file) CloseHandle(log.file);
  log.file = nullptr;
}

void log_line(InstallLog& log, const char* text) {
  if (!log.file) return;
  char line[LOG_LINE_CAPACITY];
  copy_text(line, sizeof line - 2, text);
  append_text(line, "\r\n");
  DWORD written = 0;
  WriteFile(log.file, line, static_cast<DWORD>(text_length(line)), &written, nullptr);
}

void log_format(InstallLog& log, const char* format, ...) {
  if (!log.file) return;
  char line[LOG_LINE_CAPACITY];
  va_list arguments;
  va_start(arguments, format);
  wvsprintfA(line, format, arguments);
  va_end(arguments);
  log_line(log, line);
}

void log_payload_written(InstallLog& log, const char* file_name, DWORD bytes) {
  log_format(log, "written: %s (%lu bytes)", file_name, bytes);
}

void log_payload_skipped(InstallLog& log, const char* file_name) {
  log_format(log, "skipped: %s (switched off)", file_name);
}

void log_payload_failed(InstallLog& log, const char* file_name, DWORD error) {
  if (!log.file) return;
  char phrase[ERROR_PHRASE_CAPACITY];
  error_phrase(error, phrase, sizeof phrase);
  log_format(log, "failed: %s %s", file_name, phrase);
}
