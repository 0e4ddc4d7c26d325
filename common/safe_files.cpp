#include "safe_files.h"

#include "bounded_text.h"
#include "handles.h"
#include "letters.h"

int is_device_path(const char* path) {
  return path[0] == '\\' && path[1] == '\\' && (path[2] == '.' || path[2] == '?') && path[3] == '\\';
}

int is_rooted_path(const char* path) {
  if (lower_char(path[0]) >= 'a' && lower_char(path[0]) <= 'z' && path[1] == ':' && path[2] == '\\') return 1;
  if (path[0] != '\\' || path[1] != '\\' || !path[2] || path[2] == '\\' || is_device_path(path)) return 0;
  const char* share = path + 2;
  while (*share && *share != '\\') ++share;
  return share[0] == '\\' && share[1] && share[1] != '\\';
}

int final_path_of(HANDLE handle, char* out, size_t capacity) {
  char raw[OUTPUT_PATH_CAPACITY + 8];
  DWORD length = GetFinalPathNameByHandleA(handle, raw, sizeof raw, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= sizeof raw) return 0;
  const char* path = raw;
  if (starts_with_lower(raw, "\\\\?\\unc\\")) {
    raw[6] = '\\';  // "\\?\UNC\server\share" becomes "\\server\share"
    path = raw + 6;
  } else if (starts_with_lower(raw, "\\\\?\\")) {
    path = raw + 4;
  }
  return copy_text(out, capacity, path);
}

int is_own_file(DWORD attributes, const char* final_path, const char* folder_final_path, const char* name) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return 0;
  char expected[OUTPUT_PATH_CAPACITY + 8];
  if (!copy_text(expected, folder_final_path)) return 0;
  size_t length = text_length(expected);
  if ((length == 0 || expected[length - 1] != '\\') && !append_text(expected, "\\")) return 0;
  if (!append_text(expected, name)) return 0;
  return lstrcmpiA(expected, final_path) == 0;
}

int is_own_file_at(HANDLE handle, const char* path) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return 0;
  const char* name = after_last_backslash(path);
  if (name == path) return 0;
  char folder[OUTPUT_PATH_CAPACITY];
  size_t folder_length = static_cast<size_t>(name - path);  // the folder with its "\"
  if (folder_length >= sizeof folder) return 0;
  copy_text(folder, folder_length + 1, path);
  FileHandle folder_handle(CreateFileA(folder, FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  char folder_final[OUTPUT_PATH_CAPACITY], final[OUTPUT_PATH_CAPACITY];
  if (!folder_handle.valid() || !final_path_of(folder_handle.get(), folder_final, sizeof folder_final) ||
      !final_path_of(handle, final, sizeof final))
    return 0;
  return is_own_file(information.dwFileAttributes, final, folder_final, name);
}

namespace {

HANDLE open_file_for_reading(const char* path, DWORD flags, bool own_only) {
  FileHandle file(CreateFileA(path, GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, flags, nullptr));
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK || (own_only && !is_own_file_at(file.get(), path)))
    return INVALID_HANDLE_VALUE;
  return file.release();
}

}  // namespace

HANDLE open_disk_file(const char* path) {
  return open_file_for_reading(path, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, false);
}

HANDLE open_own_disk_file(const char* path) { return open_file_for_reading(path, UNTRUSTED_NAME_FLAGS, true); }

int delete_open_file(HANDLE file) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) ? 1 : 0;
}

int open_disk_reader(DiskReader& reader, const char* path, int text) {
  reader.file.reset(open_disk_file(path));
  reader.text = text;
  reader.ended = 0;
  reader.held = reader.next = 0;
  return reader.file.valid();
}

namespace {

int read_raw_byte(DiskReader& reader) {
  if (reader.next == reader.held) {
    reader.next = 0;
    if (reader.ended || !ReadFile(reader.file.get(), reader.buffer, sizeof reader.buffer, &reader.held, nullptr))
      reader.held = 0;
    if (reader.held == 0) {
      reader.ended = 1;
      return -1;
    }
  }
  return reader.buffer[reader.next++];
}

}  // namespace

int read_byte(DiskReader& reader) {
  int c = read_raw_byte(reader);
  if (!reader.text) return c;
  if (c == 0x1A) {  // Ctrl-Z: the end of a text
    reader.ended = 1;
    reader.held = reader.next = 0;
    return -1;
  }
  if (c != '\r') return c;
  int after = read_raw_byte(reader);
  if (after == '\n') return after;
  if (after >= 0) --reader.next;  // read again next time
  return c;
}
