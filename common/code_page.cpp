#include "code_page.h"

#include "bounded_text.h"

int narrow_exactly(const WCHAR* wide, char* out, int capacity) {
  BOOL lost = FALSE;
  int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, capacity, "\x1a", &lost);
  // UTF-8 as the code page refuses the flag, the stand-in and the report; it holds
  // every character and fails on what it cannot encode. (Any other code page fails
  // only for want of room, and then fails again.)
  if (bytes <= 0) bytes = WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, wide, -1, out, capacity, nullptr, nullptr);
  if (bytes <= 0) out[0] = '\0';
  return bytes > 0 && !lost;
}

int expand_exactly(const char* text, char* out) {
  WCHAR source[PATH_CAPACITY], expanded[PATH_CAPACITY];
  MultiByteToWideChar(CP_ACP, 0, text, -1, source, PATH_CAPACITY);
  DWORD needed = ExpandEnvironmentStringsW(source, expanded, PATH_CAPACITY);  // 0 on failure
  if (needed - 1 < static_cast<DWORD>(PATH_CAPACITY) && narrow_exactly(expanded, out, PATH_CAPACITY)) return 1;
  out[0] = '\0';
  return 0;
}

const char* narrow_command_line() {
  // Static: as long as the longest command line Windows passes, in a code page of
  // two bytes per character.
  static char line[65536];
  if (!line[0]) narrow_exactly(GetCommandLineW(), line, sizeof line);
  return line;
}
