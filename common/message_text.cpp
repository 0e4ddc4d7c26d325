#include "message_text.h"

#include "bounded_text.h"

int failure_system_text(DWORD error, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                buffer, static_cast<DWORD>(capacity), nullptr);
  if (length == 0 || length >= capacity) {
    char fallback[24];
    format_text(fallback, "Error %lu", error);
    copy_text(buffer, capacity, fallback);
    return 0;
  }
  // The system's texts end in a line break, which has no place inside a message box line.
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
    buffer[--length] = '\0';
  return 1;
}

void error_phrase(DWORD error, char* phrase, size_t capacity) {
  char number[32];
  format_text(number, "(error %lu: ", error);
  if (!copy_text(phrase, capacity, number)) return;
  size_t used = text_length(phrase);
  failure_system_text(error, phrase + used, capacity - used - 1);  // room kept for the ")"
  append_text(phrase, capacity, ")");
}

void append_untold(char* text, size_t capacity, int untold) {
  if (!untold) return;
  char more[48];
  format_text(more, "... and %d more.\r\n", untold);
  append_text(text, capacity, more);
}

int format_text(char* buffer, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int length = wvsprintfA(buffer, format, arguments);
  va_end(arguments);
  return length;
}
