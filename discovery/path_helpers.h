// Small helpers on path buffers shared by the discovery probes. Paths are narrow
// strings in the system code page, in caller-owned buffers of PATH_CAPACITY bytes,
// changed in place. Letters are what IsCharAlphaA calls letters.
#pragma once
#include "bounded_text.h"  // PATH_CAPACITY
#include "folder_paths.h"  // ensure_trailing_separator, folder_exists, file_exists
#include "safe_files.h"    // DiskReader

constexpr int LINE_PIECE = 200;  // most characters read_line stores at once

// Reads one line (or the next 200-character piece of a longer one) into `buffer`,
// which needs room for 201 characters. The line end is consumed, not stored.
// 0 when the file ends before a line end; what was read since then is dropped.
int read_line(DiskReader& file, char* buffer);

// Removes everything before the first letter (after cutting a longer text to 390
// characters); a text that starts with a letter is left alone. Returns `path`.
char* strip_leading_nonletters(char* path);

// Ends `text` just after the last `c` found between its second and its last but one
// character; unchanged when there is none. Returns `text`.
char* cut_after_last(char* text, char c);

// destination := base (when given) + "\" unless present + name. Returns
// `destination`, or null with `destination` emptied when the result would not fit.
char* join_path(char* destination, const char* name, const char* base);

// The search pattern of a folder's parent: C:\a\b\* -> C:\a\*, C:\a\* -> C:\*,
// C:\* stays. Returns `pattern`.
char* parent_pattern(char* pattern);

// C:\a\* with name b -> C:\a\b\*. Returns `pattern`, or null (unchanged) when the
// result would not fit. Without any "\" the pattern is unchanged.
char* child_pattern(char* pattern, const char* name);

// 1 when `path` begins with a drive letter, ":" and a separator ("\" or "/"). "C:name"
// names a place below that drive's current folder, whatever it is at the time.
int is_drive_path(const char* path);
