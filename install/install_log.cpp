#include "install_log.h"

#include <stdarg.h>

#include "bounded_text.h"
#include "message_text.h"

namespace {

constexpr int LOG_LINE_CAPACITY = 1100;  // wvsprintfA writes at most 1024 characters

}  // namespace

int open_install_log(InstallLog& log, const char* path) {
  close_install_log(log);
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
  log.file = file == INVALID_HANDLE_VALUE ? nullptr : file;
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
