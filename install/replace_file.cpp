#include "replace_file.h"

#include "bounded_text.h"
#include "handles.h"
#include "message_text.h"
#include "safe_files.h"

namespace {

constexpr char TEMP_PREFIX[] = "~VeltraneSetup-partial-";
constexpr char TEMP_SUFFIX[] = ".tmp";
constexpr char TEMP_PATTERN[] = "~VeltraneSetup-partial-*.tmp";
constexpr size_t TEMP_NUMBERS = 8 + 1 + 8;  // "PPPPPPPP-SSSSSSSS"
constexpr int TEMP_NAME_TRIES = 16;  // serials tried when a name is taken

unsigned next_serial = 0;

// CREATE_NEW never opens a file that is already there, so a name that another run
// left behind is skipped rather than reused. Sets `created` once the file exists.
DWORD create_temp_file(const char* folder, char* temp_path, FileHandle& file, bool& created) {
  for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
    char name[64];
    if (!make_temp_file_name(name, sizeof name, GetCurrentProcessId(), ++next_serial) ||
        !copy_text(temp_path, OUTPUT_PATH_CAPACITY, folder) ||
        !append_text(temp_path, OUTPUT_PATH_CAPACITY, name))
      return ERROR_FILENAME_EXCED_RANGE;
    file.reset(CreateFileA(temp_path, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | UNTRUSTED_NAME_FLAGS, nullptr));
    if (file.valid()) {
      created = true;
      return ERROR_SUCCESS;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
  }
  return ERROR_FILE_EXISTS;
}

// The sink that puts unpacked bytes into the temporary file. Wine reports a write cut
// short by a full disk as a success with fewer bytes; writing the rest then gives the
// reason (ERROR_DISK_FULL), as Windows gives it at once.
DWORD write_to_file(void* file, const unsigned char* bytes, DWORD size) {
  for (DWORD left = size; left > 0;) {
    DWORD written = 0;
    if (!WriteFile(*static_cast<HANDLE*>(file), bytes, left, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress and no reason given
    bytes += written;
    left -= written;
  }
  return ERROR_SUCCESS;
}

// Complete means every byte unpacked and written, its length and checksum the
// recorded ones, flushed to the disk and the handle closed without error: a close can
// still report a failed delayed write.
DWORD write_complete_file(FileHandle& file, const CarriedFile& content) {
  HANDLE handle = file.get();
  DWORD error = unpack_carried_file(content, write_to_file, &handle);
  if (error != ERROR_SUCCESS) return error;
  if (!FlushFileBuffers(file.get())) return GetLastError();
  if (!CloseHandle(file.release())) return GetLastError();
  return ERROR_SUCCESS;
}

// A move over a file that a running program holds open fails with access denied,
// the same code a read-only file or a locked folder gives. Opening the target for
// writing and deleting, sharing everything, fails with a sharing violation only when
// another program holds it: that is the "in use" case the user can end.
DWORD explain_refused_move(const char* path, DWORD move_error) {
  if (move_error != ERROR_ACCESS_DENIED && move_error != ERROR_SHARING_VIOLATION) return move_error;
  FileHandle probe(CreateFileA(path, GENERIC_WRITE | DELETE, SHARE_ALL, nullptr, OPEN_EXISTING, UNTRUSTED_NAME_FLAGS,
                               nullptr));
  if (!probe.valid()) {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return ERROR_SHARING_VIOLATION;
  }
  return move_error;
}

bool is_upper_hex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

DWORD check_replaceable(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;  // nothing to replace
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

int make_temp_file_name(char* buffer, size_t capacity, DWORD process_id, unsigned serial) {
  char name[64];
  format_text(name, "%s%08lX-%08X%s", TEMP_PREFIX, process_id, serial, TEMP_SUFFIX);
  return copy_text(buffer, capacity, name);
}

int is_temp_file_name(const char* name) {
  const size_t prefix = sizeof TEMP_PREFIX - 1;
  if (text_length(name) != prefix + TEMP_NUMBERS + sizeof TEMP_SUFFIX - 1) return 0;
  for (size_t i = 0; i < prefix; ++i)
    if (name[i] != TEMP_PREFIX[i]) return 0;
  for (size_t i = 0; i < TEMP_NUMBERS; ++i)
    if (i == 8 ? name[prefix + i] != '-' : !is_upper_hex(name[prefix + i])) return 0;
  return lstrcmpA(name + prefix + TEMP_NUMBERS, TEMP_SUFFIX) == 0;
}

DWORD replace_file(const char* folder, const char* path, const CarriedFile& content) {
  char temp_path[OUTPUT_PATH_CAPACITY];
  bool created = false;
  DWORD error;
  {
    FileHandle file;
    error = create_temp_file(folder, temp_path, file, created);
    if (error == ERROR_SUCCESS) error = write_complete_file(file, content);
  }  // closed here whatever happened, so it can be deleted
  if (error == ERROR_SUCCESS) error = check_replaceable(path);
  if (error == ERROR_SUCCESS && !MoveFileExA(temp_path, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = explain_refused_move(path, GetLastError());
  if (error != ERROR_SUCCESS && created) DeleteFileA(temp_path);
  return error;
}

int remove_leftover_temp_files(const char* folder) {
  char pattern[OUTPUT_PATH_CAPACITY];
  if (!copy_text(pattern, sizeof pattern, folder) || !append_text(pattern, sizeof pattern, TEMP_PATTERN)) return 0;
  WIN32_FIND_DATAA found;
  FindHandle listing(FindFirstFileA(pattern, &found));
  if (!listing.valid()) return 0;
  int removed = 0;
  do {
    // The pattern also matches names that merely look alike; only our own form goes.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !is_temp_file_name(found.cFileName)) continue;
    char leftover[OUTPUT_PATH_CAPACITY];
    if (!copy_text(leftover, sizeof leftover, folder) || !append_text(leftover, sizeof leftover, found.cFileName))
      continue;
    FileHandle file(CreateFileA(leftover, DELETE | FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                                UNTRUSTED_NAME_FLAGS, nullptr));
    if (file.valid() && is_own_file_at(file.get(), leftover) && delete_open_file(file.get())) ++removed;
  } while (FindNextFileA(listing.get(), &found));
  return removed;
}
