// Bounded copies into fixed character buffers, and the sizes of the buffers the
// product shares. Every copy into a fixed buffer goes through these, so a text that
// does not fit is refused instead of overrunning.
#pragma once
#include <stddef.h>

constexpr int PATH_CAPACITY = 400;         // every path buffer, terminator included
constexpr int OUTPUT_PATH_CAPACITY = 500;  // a folder and a file name in it, terminator included

// Copies `source` into `destination` (capacity bytes, terminator included).
// Returns 1 when all of it fitted; otherwise copies what fits, terminates, returns 0.
int copy_text(char* destination, size_t capacity, const char* source);

// Appends `source` when the whole result fits; returns 1, or 0 with `destination` unchanged.
int append_text(char* destination, size_t capacity, const char* source);

// Lower-cases the letters A to Z in place; every other byte stays.
char* lower_ascii(char* text);

// The part of `text` after its last "\" (all of it when it has none): a path's file
// name, a registry place's value name.
const char* after_last_backslash(const char* text);

// Length of a terminated text (the platform's lstrlenA, without its exception guard).
size_t text_length(const char* text);

// The same for arrays, with the capacity taken from the array itself.
template <size_t N>
inline int copy_text(char (&destination)[N], const char* source) { return copy_text(destination, N, source); }
template <size_t N>
inline int append_text(char (&destination)[N], const char* source) { return append_text(destination, N, source); }
