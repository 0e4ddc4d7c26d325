// Letters and case in the system's ANSI code page. Letters are what IsCharAlphaA
// calls letters; lower-casing changes A to Z only.
#pragma once

// 1 when `c` is a letter for the ANSI code page.
int is_letter(char c);
// `c` upper-cased by the platform (CharUpperA on one character).
char upper_char(char c);
// `c` with A to Z lower-cased; every other byte stays.
char lower_char(char c);

// 1 when `text`, lower-cased, ends with / begins with the lower-case `tail` / `head`.
// An empty `tail` or `head` always matches; a shorter `text` never does otherwise.
int ends_with_lower(const char* text, const char* tail);
int starts_with_lower(const char* text, const char* head);
