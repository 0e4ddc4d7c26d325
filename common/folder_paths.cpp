#include "folder_paths.h"

#include <windows.h>

#include "bounded_text.h"

char* ensure_trailing_separator(char* path) {
  size_t length = text_length(path);
  if (length > 0 && path[length - 1] == '\\') return path;
  if (length + 2 > static_cast<size_t>(PATH_CAPACITY)) return nullptr;
  path[length] = '\\';
  path[length + 1] = '\0';
  return path;
}

int folder_exists(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int file_exists(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
