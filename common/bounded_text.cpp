#include "bounded_text.h"

size_t text_length(const char* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

const char* after_last_backslash(const char* text) {
  const char* after = text;
  for (const char* p = text; *p; ++p)
    if (*p == '\\') after = p + 1;
  return after;
}

int copy_text(char* destination, size_t capacity, const char* source) {
  if (capacity == 0) return 0;
  size_t i = 0;
  for (; i + 1 < capacity && source[i]; ++i) destination[i] = source[i];
  destination[i] = '\0';
  return source[i] == '\0';
}

int append_text(char* destination, size_t capacity, const char* source) {
  size_t used = text_length(destination);
  size_t extra = text_length(source);
  if (used + extra + 1 > capacity) return 0;
  for (size_t i = 0; i <= extra; ++i) destination[used + i] = source[i];
  return 1;
}

char* lower_ascii(char* text) {
  for (char* p = text; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  return text;
}
