// Phrases that several messages and logs of the installer share, each built here
// only: the system's text for an error, "(error N: text)", and "... and N more."
#pragma once
#include <windows.h>

#include <stddef.h>

// The system's message for `error` (FormatMessageA) without its line break, or
// "Error N" when the system has none; bounded by `capacity`. 1 for the system's
// text, 0 for the fallback.
int failure_system_text(DWORD error, char* buffer, size_t capacity);

// "(error N: the system's text)" for `error` in `phrase`, bounded by `capacity`.
constexpr size_t ERROR_PHRASE_CAPACITY = 560;
void error_phrase(DWORD error, char* phrase, size_t capacity);

// wsprintfA's formatting (at most 1,024 characters and the terminator), through
// wvsprintfA: the program imports that one for its log already.
int format_text(char* buffer, const char* format, ...);

// Appends the line "... and N more.\r\n" when `untold` is not 0.
void append_untold(char* text, size_t capacity, int untold);
