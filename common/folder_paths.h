// Folder paths as both discovery and the install engine take them: the trailing
// separator, and whether a path names a folder or a file that exists.
#pragma once

// Appends "\" unless the path already ends with one. Returns `path`, or null
// (path unchanged) when the separator would not fit in PATH_CAPACITY bytes.
char* ensure_trailing_separator(char* path);

// 1 when `path` names an existing folder / an existing file (not a folder).
int folder_exists(const char* path);
int file_exists(const char* path);
