// Canary bytes for bounded-copy tests: fill a buffer before a call and check that
// the byte after the expected text is still untouched afterwards.
#pragma once
#include <string.h>

constexpr unsigned char CANARY = 0xBD;

template <size_t N>
void fill_canary(char (&buffer)[N]) { memset(buffer, CANARY, N); }

inline bool is_canary(char byte) { return static_cast<unsigned char>(byte) == CANARY; }
