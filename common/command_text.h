// Reading a command line as GetCommandLineA returns it: the program name first,
// then arguments separated by blanks.
#pragma once

// A blank between arguments: space or tab.
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The first character at or after `p` that is not a blank.
const char* skip_blanks(const char* p);

// The first character after the program name (quoted or not) and the blanks after it.
const char* skip_program_name(const char* command_line);
