// The plain-text log that /LOG= asks for. The file is opened once, at start-up,
// for appending; every line is written through at once, so a run that is killed
// still leaves what it did. Without a log (none asked for, or the file could not
// be opened) every call does nothing: the installation never depends on it.
#pragma once
#include <windows.h>

// Opens `path` for appending, creating the file when missing. 1 when opened.
int open_install_log(const char* path);
int install_log_open();

// Appends one line (CR LF added). Texts longer than a log line are cut.
void log_line(const char* text);
// Appends one line formatted by wvsprintfA (%s, %d, %lu, %08lX...).
void log_format(const char* format, ...);

// What became of each carried plug-in: written (with its size), skipped because
// its selector was off, or not written (with the Windows error and its text).
void log_payload_written(const char* file_name, DWORD bytes);
void log_payload_skipped(const char* file_name);
void log_payload_failed(const char* file_name, DWORD error);

void close_install_log();
