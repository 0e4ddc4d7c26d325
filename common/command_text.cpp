#include "command_text.h"

const char* skip_blanks(const char* p) {
  while (is_blank(*p)) ++p;
  return p;
}

const char* skip_program_name(const char* command_line) {
  const char* p = command_line;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && !is_blank(*p)) ++p;
  }
  return skip_blanks(p);
}
