#include "current_directory.h"

#include <windows.h>

int can_enter_folder(const char* folder) {
  char before[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryA(sizeof before, before);
  if (!SetCurrentDirectoryA(folder)) return 0;
  if (length > 0 && length < sizeof before) SetCurrentDirectoryA(before);
  return 1;
}
