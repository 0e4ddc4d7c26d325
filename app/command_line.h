// The installer's command line, for unattended deployment:
//   /S            silent: no window, no message box
//   /ALL          with /S: install into every folder the dialog would list
//   /U            remove the carried plug-ins from the listed (and /D=) folders
//   /LOG=<file>   append a plain-text log of the run
//   /?            show the usage
//   /ARCH=x86|x64|arm64  with /S: the architecture of the target folder's host,
//                 whatever the evidence found for the folder says
//   /D=<folder>   the target folder; must come last. Either unquoted, taken
//                 verbatim to the end of the line, or quoted as one argument
//                 ("/D=C:\A B\\" or /D="C:\A B") by the platform's argument rules.
// Switches are case-insensitive; each may be given once.
#pragma once
#include "architecture.h"
#include "command_text.h"  // skip_program_name
#include "bounded_text.h"  // PATH_CAPACITY

struct CommandLine {
  int silent;                     // /S given
  int show_usage;                 // /? given
  int all;                        // /ALL with /S: every folder the dialog would list
  int uninstall;                  // /U: remove the carried plug-ins again
  char target[PATH_CAPACITY];     // /D= folder, absolute, ends in "\"; empty when absent
  char log_path[PATH_CAPACITY];   // /LOG= file as given; empty when absent
  Architecture architecture;      // /ARCH=; ARCH_UNKNOWN when absent
  int lost;                       // an argument holds LOST_CHARACTER: a character the
                                  // code page lacks (it matches no switch, names no file)
};

// The usage text, for the message box and the console.
extern const char COMMAND_LINE_USAGE[];

// Parses the whole command line as GetCommandLineA returns it (program name first).
// 1 when it is well-formed; 0 for an unknown or repeated switch, an /ARCH= of another
// architecture, /ALL with /D= or /ARCH=, /U with /ALL or /ARCH=, a /D= that is empty,
// relative, not the last switch or too long for its buffer, or a /LOG= without a name
// or too long. `out->silent` is always set when /S appears anywhere, so a bad line can
// still be answered silently; with /S, `out` is filled as far as parsing got. Without
// /S every well-formed switch is taken and the rest passed over (the dialog then
// starts as if they were not there); /ALL counts only with /S.
int parse_command_line(const char* command_line, CommandLine* out);
