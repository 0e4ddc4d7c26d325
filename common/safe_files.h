// Files in folders that other accounts may write. The installer runs elevated, often
// as the system account, so every name it opens there may be a link planted to lead
// it elsewhere, or a device or a pipe. These calls never follow a link in the last
// component of a name, read only disk files, and never let a pipe server act as the
// installer (SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION). Folders above the last
// component may be links or junctions (users move Program Files folders that way):
// they are followed as usual.
#pragma once
#include <windows.h>

#include <stddef.h>

#include "handles.h"

// Sharing that lets a running program keep its own handles on the file.
constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Flags for every CreateFileA on such a name: a link in the last component is opened
// itself, not followed, and a pipe server may only identify the caller.
constexpr DWORD UNTRUSTED_NAME_FLAGS = FILE_FLAG_OPEN_REPARSE_POINT | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// 1 when `path` names the device namespace ("\\.\..." or "\\?\..."), never a file.
int is_device_path(const char* path);

// 1 when `path` is rooted: a drive path ("X:\...") or "\\server\share\..." with both names
// (never the device namespace).
int is_rooted_path(const char* path);

// The final path Windows gives an open handle, without its "\\?\" prefix ("\\?\UNC\"
// becomes "\\"), in `out`. 1, or 0 when it cannot be had or does not fit.
int final_path_of(HANDLE handle, char* out, size_t capacity);

// The decision itself, on the facts about one open name: 1 when it is a file of its
// own at that very place, not a link: no reparse point, and the final path of the
// open handle is the final path of its folder plus its name (compared in any case).
// Under Wine a link to a folder shows as a reparse point and a link to a file only by
// its final path, which names the target. A hard link (several names) is a file of
// its own at each of its places.
int is_own_file(DWORD attributes, const char* final_path, const char* folder_final_path, const char* name);

// is_own_file for `handle`, opened on `path` (a full path) with UNTRUSTED_NAME_FLAGS.
int is_own_file_at(HANDLE handle, const char* path);

// Opens `path` for reading when it is a disk file, never a device or a pipe; a link
// in its name is followed. Shared with everything, so that a file a running program
// holds open is still read. INVALID_HANDLE_VALUE otherwise.
HANDLE open_disk_file(const char* path);

// The same, only when it is a disk file of its own at that place: no link.
HANDLE open_own_disk_file(const char* path);

// Deletes the open file through its handle (opened with DELETE access), so that the
// file deleted is the one that was examined. 1 when done.
int delete_open_file(HANDLE file);

// A disk file (open_disk_file) read a byte at a time through a buffer of its own.
// In text mode it reads as a C runtime text stream does: CR LF gives LF, and Ctrl-Z
// ends the text.
struct DiskReader {
  FileHandle file;
  int text;
  int ended;
  DWORD held, next;
  unsigned char buffer[512];
};

// 1 when `path` is open in `reader` (text: 1 for text mode); 0 when it is no disk
// file or cannot be opened. The reader closes the file when it goes.
int open_disk_reader(DiskReader& reader, const char* path, int text);
// The next byte, 0 to 255, or -1 at the end (and after a failed read).
int read_byte(DiskReader& reader);
