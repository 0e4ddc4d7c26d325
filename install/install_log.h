// The plain-text log that /LOG= asks for. The program opens one at start-up, for
// appending, and hands it to every part of a run that reports; every line is written
// through at once, so a run that is killed still leaves what it did. A log that is
// not open (none asked for, or the file could not be opened) takes every call and
// writes nothing: the installation never depends on it.
#pragma once
#include <windows.h>

// Plain data: zero is a closed log.
struct InstallLog {
  HANDLE file;  // null when closed
};

// Opens `path` for appending, creating the file when missing. 1 when opened. The log
// is never written through a link: an existing file is used only when it is a disk
// file of its own with one name, and a device path ("\\.\...") is refused.
int open_install_log(InstallLog& log, const char* path);
int install_log_open(const InstallLog& log);
void close_install_log(InstallLog& log);

constexpr int LOG_LINE_CAPACITY = 1100;  // a log line: wvsprintfA writes at most 1024 characters

// Appends one line (CR LF added). Texts longer than a log line are cut.
void log_line(InstallLog& log, const char* text);
// Appends one line formatted by wvsprintfA (%s, %d, %lu, %08lX...).
void log_format(InstallLog& log, const char* format, ...);

// What became of each carried plug-in: written (with its size), skipped because
// its selector was off, or not written (with the Windows error and its text).
void log_payload_written(InstallLog& log, const char* file_name, DWORD bytes);
void log_payload_skipped(InstallLog& log, const char* file_name);
void log_payload_failed(InstallLog& log, const char* file_name, DWORD error);
