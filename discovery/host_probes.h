// Probes that first locate a host editor's program folder, from the command its
// document type registers (or its App Paths entry), and then read plug-in folders
// out of the host's settings files: text and INI files near the program, one INI
// file in the Windows directory, and binary settings files.
#pragma once
#include <windows.h>

#include "host_architecture.h"  // ProbeFindings
#include "path_helpers.h"

constexpr int SEARCH_LEVELS = 10;     // listings held by find_host_file: start folder + 9 below
constexpr int BINARY_PATH_LIMIT = 250;  // a binary path record reaching this length is dropped

// The host's program folder (a drive path ending in "\") from the default value of
// key\subkey under `root`. Returns `out`, or null when there is no usable command.
// The program it names is the host program of the folders the probe admits (its PE
// header tells their architecture): in `program`, "" when the command names none.
char* host_folder_from_command(HKEY root, const char* key, const char* subkey, char* out, char* program);

// Depth-first search, `levels_up` folders above `start` and at most 9 levels below,
// for files whose names begin with `prefix` and end with `extension` (both lower case,
// names compared in any case). Set `first` to 1 before the first call; each call
// returns 1 with the next file's full path in `out`, or 0 when the search is over.
// A folder below the start that cannot be listed (this account may not, or its
// pattern passes the platform's path limit) or is a link or junction is passed over;
// the search goes on.
// The search state is process-wide: one search at a time.
int find_host_file(const char* start, const char* prefix, const char* extension, char* out, int& first,
                   int levels_up);

// Releases the listings of a search that is abandoned before it is exhausted.
void end_host_file_search();

// Follows `progid`'s open command to the host folder, then reads the matching text
// files below it and admits the first drive path that follows "=" or "(" in a line
// containing `key` (lower case). Offers at most one candidate, with `findings` and
// the host's program.
void scan_host_text_settings(const char* progid, const char* prefix, const char* extension, const char* key,
                             int levels_up, const ProbeFindings& findings);

// Reads `file_name` in the Windows directory and admits every drive path that follows
// "=" or "(" in lines containing `key` (lower case).
void scan_windows_ini(const char* file_name, const char* key, const ProbeFindings& findings);

// Admits the first path record of a binary settings file: the bytes 0x80, a length L,
// a drive letter, ":" and "\", and then the rest of the path up to a NUL, L bytes long.
void scan_binary_settings(const char* path, const ProbeFindings& findings);
