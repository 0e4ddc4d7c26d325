// Replacing a file in one step, so that an existing plug-in is never truncated
// before its replacement is complete on disk: the new bytes go to a temporary file
// in the same folder (same volume), which is moved over the old file only once every
// byte is written, flushed and the file closed.
#pragma once
#include <windows.h>

#include <stddef.h>

#include "carried_file.h"

// The temporary name "~VeltraneSetup-partial-PPPPPPPP-SSSSSSSS.tmp": the process id
// and a serial, each as eight upper-case hexadecimal digits. A user's file does not
// have that form by chance; it never ends in .8bf, since host editors load every .8bf
// file in their folders; and no other process makes one with the same process id.
// 1, or 0 when it does not fit `capacity`.
int make_temp_file_name(char* buffer, size_t capacity, DWORD process_id, unsigned serial);

// 1 when `name` (a file name, no folder) has exactly the form make_temp_file_name makes.
int is_temp_file_name(const char* name);

// ERROR_ACCESS_DENIED when `path` is a read-only file or a folder, else ERROR_SUCCESS
// (also when there is nothing at `path`). Windows refuses to replace or delete a
// read-only file; Wine run as root does not, so the attribute is checked here to keep
// a read-only plug-in as it is everywhere.
DWORD check_replaceable(const char* path);

// Puts the bytes of the carried file `content` into `path`, replacing a file of that
// name, via a temporary file named in `folder` (the prefix of `path` that names its
// folder); the temporary file is moved only once its length and checksum are the
// recorded ones. Returns ERROR_SUCCESS, or why not: the error of the step that
// failed, with ERROR_ACCESS_DENIED for a read-only target or a folder of that name,
// ERROR_SHARING_VIOLATION when another program holds the target open, and ERROR_CRC
// when the carried file turned out damaged. On failure the temporary file is gone and
// the target is as it was.
DWORD replace_file(const char* folder, const char* path, const CarriedFile& content);

// Deletes the temporary files that a killed run left in `folder` (a prefix as above):
// only names of exactly that form, and only files of their own there, never through
// a link. Only one installer runs at a time, so none of them belongs to a live write.
// Returns how many it deleted.
int remove_leftover_temp_files(const char* folder);
