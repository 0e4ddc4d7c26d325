#include "letters.h"

#include <windows.h>

#include "bounded_text.h"

int is_letter(char c) { return IsCharAlphaA(c) ? 1 : 0; }

char upper_char(char c) {
  return static_cast<char>(reinterpret_cast<UINT_PTR>(
      CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(c))))));
}

char lower_char(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int ends_with_lower(const char* text, const char* tail) {
  size_t text_len = text_length(text);
  size_t tail_len = text_length(tail);
  if (tail_len > text_len) return 0;
  const char* end = text + (text_len - tail_len);
  for (size_t i = 0; i < tail_len; ++i)
    if (lower_char(end[i]) != tail[i]) return 0;
  return 1;
}

int starts_with_lower(const char* text, const char* head) {
  for (size_t i = 0; head[i]; ++i)
    if (lower_char(text[i]) != head[i]) return 0;  // a shorter text stops at its NUL
  return 1;
}
