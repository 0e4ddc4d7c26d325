// Names in the system's code page, which the installer keeps as narrow strings:
// text that Windows hands over in its wide form (the registry's, the shell's
// folders, the environment's, the command line) becomes narrow here, exactly or not
// at all. The ANSI calls would replace a character the code page lacks or give a
// look-alike instead ("Ａ" as "A", "ē" as "e"), and so name another folder than the
// one meant.
#pragma once
#include <windows.h>

// Stands for each character the code page lacks (the control character SUB, which
// no file name may hold, so such a name names no file at all).
constexpr char LOST_CHARACTER = '\x1a';

// `wide` (terminated) in the code page, in `out` (`capacity` bytes), with each
// character the code page lacks as LOST_CHARACTER. 1 when every character converted
// exactly and all of it fitted; 0 otherwise (`out` empty when it did not fit).
int narrow_exactly(const WCHAR* wide, char* out, int capacity);

// `text` with its environment variables expanded into `out` (PATH_CAPACITY bytes;
// may be `text` itself), through the wide form. 1, or 0 with `out` empty when the
// result does not fit or the code page cannot hold it exactly.
int expand_exactly(const char* text, char* out);

// The process's command line, converted once by narrow_exactly.
const char* narrow_command_line();
