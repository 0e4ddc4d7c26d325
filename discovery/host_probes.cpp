#include "host_probes.h"

#include <string.h>

#include "bounded_text.h"
#include "candidate_list.h"
#include "handles.h"
#include "host_architecture.h"
#include "letters.h"
#include "registry_scan.h"
#include "safe_files.h"

namespace {

// The one search of find_host_file: the pattern of the folder being listed and one
// open listing per level from the start folder (depth 0) down. Zero-initialised
// storage without a destructor: a null listing is none, and end_host_file_search
// closes what is open.
struct HostFileSearch {
  char pattern[PATH_CAPACITY];
  HANDLE listings[SEARCH_LEVELS];
  int depth;
};
HostFileSearch host_file_search;

// Opens the listing of the search pattern at `level`; 0 when it cannot be listed.
int open_listing(int level, WIN32_FIND_DATAA& entry) {
  HANDLE listing = FindFirstFileA(host_file_search.pattern, &entry);
  host_file_search.listings[level] = listing == INVALID_HANDLE_VALUE ? nullptr : listing;
  return host_file_search.listings[level] != nullptr;
}

void close_listing(int level) {
  if (host_file_search.listings[level]) FindClose(host_file_search.listings[level]);
  host_file_search.listings[level] = nullptr;
}

constexpr unsigned char PATH_RECORD_MARK = 0x80;
constexpr int RECORD_HEAD = 5;  // 0x80, length, letter, ":", "\"

int start_host_file_search(const char* start, int levels_up, WIN32_FIND_DATAA& entry) {
  end_host_file_search();
  char* pattern = host_file_search.pattern;
  if (!copy_text(pattern, PATH_CAPACITY, start) || !ensure_trailing_separator(pattern) ||
      !append_text(pattern, PATH_CAPACITY, "*"))
    return 0;
  for (int i = 0; i < levels_up; ++i) parent_pattern(pattern);
  // The entry that opens a listing is never examined: "." in every folder but a root.
  return open_listing(0, entry);
}

// out := the listed folder (the pattern without its "*") + name. 0 when it does not fit.
int listed_file_path(const char* name, char* out) {
  if (!copy_text(out, PATH_CAPACITY, host_file_search.pattern)) return 0;
  size_t length = text_length(out);
  if (length > 0 && out[length - 1] == '*') out[length - 1] = '\0';
  return append_text(out, PATH_CAPACITY, name);
}

// Offers the drive paths that follow "=" or "(" in `line`: after each, non-letters are
// skipped; a letter followed by ":" starts a path that runs to the end of the line.
// A line holds at most 200 characters of its 400-byte buffer, so admission may work
// on the line itself (it appends at most one "\"). With `first_only` the scan ends at
// the first path offered and the result is 1.
int offer_assigned_paths(char* line, bool first_only, const ProbeFindings& findings) {
  for (size_t i = 0; line[i]; ++i) {
    if (line[i] != '=' && line[i] != '(') continue;
    size_t letter = i + 1;
    while (line[letter] && !is_letter(line[letter])) ++letter;
    if (!line[letter]) return 0;
    if (is_drive_path(line + letter)) {
      admit_candidate(line + letter, findings);  // keeps at least the letter and ":" in place
      if (first_only) return 1;
    }
    i = letter;
  }
  return 0;
}

// Reads a settings file as text and offers paths from the lines that hold `key`.
// 1 when `first_only` and a path was offered.
int scan_settings_file(const char* path, const char* key, bool first_only, const ProbeFindings& findings) {
  DiskReader file;
  if (!open_disk_reader(file, path, 1)) return 0;
  char line[PATH_CAPACITY];
  while (read_line(file, line))
    if (strstr(lower_ascii(line), key) && offer_assigned_paths(line, first_only, findings)) return 1;
  return 0;
}

// The last bytes read, oldest first, at most RECORD_HEAD of them.
struct ByteWindow {
  unsigned char bytes[RECORD_HEAD];
  int held;
  void push(unsigned char byte) {
    if (held == RECORD_HEAD) {
      memmove(bytes, bytes + 1, RECORD_HEAD - 1);
      --held;
    }
    bytes[held++] = byte;
  }
  bool holds_record_head() const {
    return held == RECORD_HEAD && bytes[0] == PATH_RECORD_MARK && is_letter(static_cast<char>(bytes[2])) &&
           bytes[3] == ':' && bytes[4] == '\\';
  }
};

enum RecordEnd { RECORD_FILE_ENDED, RECORD_TERMINATED, RECORD_TOO_LONG };

// Reads the rest of a path record after its "X:\" into `candidate` (holding `length`
// characters), up to its NUL; the NUL is not stored and `candidate` is terminated.
RecordEnd read_path_record(DiskReader& file, char* candidate, int& length) {
  RecordEnd end = RECORD_TOO_LONG;
  while (length < BINARY_PATH_LIMIT) {
    int c = read_byte(file);
    if (c <= 0) {
      end = c < 0 ? RECORD_FILE_ENDED : RECORD_TERMINATED;
      break;
    }
    candidate[length++] = static_cast<char>(c);
  }
  candidate[length] = '\0';
  return end;
}

}  // namespace

char* host_folder_from_command(HKEY root, const char* key, const char* subkey, char* out, char* program) {
  char command_key[PATH_CAPACITY];
  char command[PATH_CAPACITY];
  if (!join_path(command_key, subkey, key)) return nullptr;
  if (read_string_value(root, command_key, "", command) != ERROR_SUCCESS) return nullptr;
  if (!host_program_from_command(command, program)) program[0] = '\0';
  cut_after_last(command, '\\');      // drops the program's file name and its arguments
  strip_leading_nonletters(command);  // drops a leading quotation mark
  if (!is_drive_path(command)) return nullptr;
  copy_text(out, PATH_CAPACITY, command);
  return out;
}

void end_host_file_search() {
  for (int level = 0; level < SEARCH_LEVELS; ++level) close_listing(level);
  host_file_search.depth = 0;
}

int find_host_file(const char* start, const char* prefix, const char* extension, char* out, int& first,
                   int levels_up) {
  WIN32_FIND_DATAA entry;
  if (first) {
    first = 0;
    if (!start_host_file_search(start, levels_up, entry)) return 0;
  }
  HostFileSearch& search = host_file_search;
  for (;;) {
    HANDLE listing = search.listings[search.depth];
    if (!listing) return 0;  // the search is already over
    if (!FindNextFileA(listing, &entry)) {
      close_listing(search.depth);
      if (search.depth == 0) return 0;
      --search.depth;
      parent_pattern(search.pattern);
      continue;
    }
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A link or junction is not descended into: it may lead anywhere, to a drive's
      // root or back up its own tree, and what lies there is not the host's.
      if (entry.cFileName[0] == '.' || search.depth == SEARCH_LEVELS - 1 ||
          (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        continue;
      if (!child_pattern(search.pattern, entry.cFileName)) continue;  // too long to list
      ++search.depth;
      if (!open_listing(search.depth, entry)) {  // not listable here (access, path length): passed over
        --search.depth;
        parent_pattern(search.pattern);
      }
      continue;
    }
    if (ends_with_lower(entry.cFileName, extension) && starts_with_lower(entry.cFileName, prefix) &&
        listed_file_path(entry.cFileName, out))
      return 1;
  }
}

void scan_host_text_settings(const char* progid, const char* prefix, const char* extension, const char* key,
                             int levels_up, const ProbeFindings& findings) {
  char folder[PATH_CAPACITY], program[PATH_CAPACITY];
  if (!host_folder_from_command(HKEY_CLASSES_ROOT, progid, "shell\\open\\command", folder, program)) return;
  const ProbeFindings with_program = with_host_program(findings, program);
  char path[PATH_CAPACITY];
  int first = 1;
  while (find_host_file(folder, prefix, extension, path, first, levels_up)) {
    if (scan_settings_file(path, key, true, with_program)) break;
  }
  end_host_file_search();
}

void scan_windows_ini(const char* file_name, const char* key, const ProbeFindings& findings) {
  char path[PATH_CAPACITY];
  UINT length = GetWindowsDirectoryA(path, PATH_CAPACITY);
  if (length == 0 || length >= static_cast<UINT>(PATH_CAPACITY)) return;
  if (!join_path(path, file_name, nullptr)) return;
  scan_settings_file(path, key, false, findings);
}

void scan_binary_settings(const char* path, const ProbeFindings& findings) {
  DiskReader file;
  if (!open_disk_reader(file, path, 0)) return;
  ByteWindow window;
  window.held = 0;
  int c;
  while ((c = read_byte(file)) >= 0) {
    window.push(static_cast<unsigned char>(c));
    if (!window.holds_record_head()) continue;
    char candidate[PATH_CAPACITY] = {static_cast<char>(window.bytes[2]), ':', '\\'};
    int length = 3;
    RecordEnd end = read_path_record(file, candidate, length);
    if (end == RECORD_FILE_ENDED) return;
    if (end == RECORD_TERMINATED && length == window.bytes[1]) {
      admit_candidate(candidate, findings);
      return;
    }
    // Dropped: the next record may begin at this one's last byte at the earliest.
    window.held = 0;
    window.push(static_cast<unsigned char>(candidate[length - 1]));
    if (end == RECORD_TERMINATED) window.push(0);
  }
}
