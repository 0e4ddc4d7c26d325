#include "path_helpers.h"

#include <windows.h>

#include "bounded_text.h"
#include "letters.h"

namespace {

constexpr int STRIP_CUT = 390;  // texts longer than this are cut before stripping

}  // namespace

int read_line(DiskReader& file, char* buffer) {
  int stored = 0;
  for (;;) {
    int c = read_byte(file);
    if (c < 0) {
      buffer[0] = '\0';
      return 0;
    }
    if (c == '\n') break;
    buffer[stored++] = static_cast<char>(c);
    if (stored == LINE_PIECE) break;
  }
  buffer[stored] = '\0';
  return 1;
}

char* strip_leading_nonletters(char* path) {
  if (is_letter(path[0])) return path;
  if (text_length(path) > static_cast<size_t>(STRIP_CUT)) path[STRIP_CUT] = '\0';
  size_t first = 0;
  while (path[first] && !is_letter(path[first])) ++first;
  size_t i = 0;
  while ((path[i] = path[first + i]) != '\0') ++i;
  return path;
}

char* cut_after_last(char* text, char c) {
  int length = static_cast<int>(text_length(text));
  for (int i = length - 2; i >= 1; --i) {
    if (text[i] == c) {
      text[i + 1] = '\0';
      break;
    }
  }
  return text;
}

char* join_path(char* destination, const char* name, const char* base) {
  if (base && base != destination && !copy_text(destination, PATH_CAPACITY, base)) {
    destination[0] = '\0';
    return nullptr;
  }
  if (!ensure_trailing_separator(destination) || !append_text(destination, PATH_CAPACITY, name)) {
    destination[0] = '\0';
    return nullptr;
  }
  return destination;
}

char* parent_pattern(char* pattern) {
  int separators = 0;
  for (int i = static_cast<int>(text_length(pattern)) - 1; i >= 1; --i) {
    if (pattern[i] == ':') {
      if (i + 3 < PATH_CAPACITY) {
        pattern[i + 1] = '\\';
        pattern[i + 2] = '*';
        pattern[i + 3] = '\0';
      }
      break;
    }
    if (pattern[i] == '\\' && ++separators == 2) {
      pattern[i + 1] = '*';  // a later "\" exists, so this never grows the text
      pattern[i + 2] = '\0';
      break;
    }
  }
  return pattern;
}

char* child_pattern(char* pattern, const char* name) {
  for (int i = static_cast<int>(text_length(pattern)) - 1; i >= 1; --i) {
    if (pattern[i] != '\\') continue;
    size_t kept = static_cast<size_t>(i) + 1;
    if (kept + text_length(name) + 2 + 1 > static_cast<size_t>(PATH_CAPACITY)) return nullptr;
    pattern[kept] = '\0';
    append_text(pattern, PATH_CAPACITY, name);
    append_text(pattern, PATH_CAPACITY, "\\*");
    return pattern;
  }
  return pattern;
}

int is_drive_path(const char* path) {
  return is_letter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}
