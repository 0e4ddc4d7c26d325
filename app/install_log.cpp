#include "install_log.h"

#include <windows.h>
#include <stdarg.h>

#include "bounded_text.h"
#include "handles.h"
#include "payload.h"

namespace {

FileHandle log_file;
constexpr int LOG_LINE_CAPACITY = 1100;  // wvsprintfA writes at most 1024 characters

void write_text(const char* text, DWORD length) {
  DWORD written = 0;
  WriteFile(log_file.get(), text, length, &written, nullptr);
}

}  // namespace

int open_install_log(const char* path) {
  log_file.reset(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
  return log_file.valid();
}

int install_log_open() { return log_file.valid(); }

void log_line(const char* text) {
  if (!log_file.valid()) return;
  char line[LOG_LINE_CAPACITY];
  copy_text(line, sizeof line - 2, text);
  append_text(line, "\r\n");
  write_text(line, static_cast<DWORD>(text_length(line)));
}

void log_format(const char* format, ...) {
  if (!log_file.valid()) return;
  char line[LOG_LINE_CAPACITY];
  va_list arguments;
  va_start(arguments, format);
  wvsprintfA(line, format, arguments);
  va_end(arguments);
  log_line(line);
}

void log_payload_written(const char* file_name, DWORD bytes) {
  log_format("written: %s (%lu bytes)", file_name, bytes);
}

void log_payload_skipped(const char* file_name) { log_format("skipped: %s (switched off)", file_name); }

void log_payload_failed(const char* file_name, DWORD error) {
  if (!log_file.valid()) return;
  char reason[512];
  failure_system_text(error, reason, sizeof reason);
  log_format("failed: %s (error %lu: %s)", file_name, error, reason);
}

void close_install_log() { log_file.reset(); }
