#include "command_line.h"

#include <string.h>

#include "bounded_text.h"
#include "code_page.h"
#include "letters.h"
#include "path_helpers.h"
#include "safe_files.h"

const char COMMAND_LINE_USAGE[] =
    "Usage: VeltraneSetup.exe [/S [/ALL]] [/U] [/LOG=file] [/ARCH=x86|x64|arm64] [/?] [/D=folder]\r\n"
    "\r\n"
    "/S\tInstall without a window into the first plug-in folder found,\r\n"
    "\tor into the /D= folder.\r\n"
    "/ALL\tWith /S: install into every plug-in folder found.\r\n"
    "/U\tRemove this installer's plug-ins from the folders found\r\n"
    "\tand the /D= folder.\r\n"
    "/LOG=file\tAppend a log to the file.\r\n"
    "/ARCH=...\tWith /S: the target folder's image editor is of this kind.\r\n"
    "/D=folder\tThe plug-in folder (X:\\... or \\\\server\\share\\...);\r\n"
    "\tthe last switch.\r\n"
    "/?\tShow this text.\r\n"
    "\r\n"
    "Exit codes with /S: 0 done, 1 bad command line, 2 no target folder,\r\n"
    "3 some plug-ins not written (or not removed), 4 already running,\r\n"
    "5 no plug-ins for the target's kind of image editor.";

namespace {

// Reads one argument by the platform's rules (as CommandLineToArgvW splits): blanks
// separate arguments outside quotes; 2n backslashes before a quote give n backslashes
// and the quote opens or closes; 2n+1 give n backslashes and a literal quote; other
// backslashes stand as they are. Returns the position after the argument, found by
// the same rules however long it is, so that nothing inside an over-long argument is
// ever read as a switch; `fits` tells whether it fitted `capacity` (when it did not,
// `out` holds what fitted). `quoted` tells whether any quote was seen.
const char* read_argument(const char* p, char* out, size_t capacity, bool* quoted, bool* fits) {
  size_t length = 0;
  bool in_quotes = false;
  *quoted = false;
  *fits = true;
  auto put = [&](char c) {  // past the capacity the argument is still read, not kept
    if (length + 1 < capacity)
      out[length++] = c;
    else
      *fits = false;
  };
  while (*p && (in_quotes || !is_blank(*p))) {
    if (*p == '\\') {
      size_t backslashes = 0;
      while (*p == '\\') ++backslashes, ++p;
      size_t kept = *p == '"' ? backslashes / 2 : backslashes;
      for (size_t i = 0; i < kept; ++i) put('\\');
      if (*p == '"' && backslashes % 2) {
        put('"');
        ++p;
      }
    } else if (*p == '"') {
      *quoted = true;
      if (in_quotes && p[1] == '"') {  // "" inside quotes is one literal quote
        put('"');
        p += 2;
        continue;
      }
      in_quotes = !in_quotes;
      ++p;
    } else {
      put(*p++);
    }
  }
  out[length] = '\0';
  return p;
}

// Characters no folder name may hold; a colon only as the drive's. A "/" is refused
// too: a switch written after the folder ("/D=C:\a /S") must not become part of it.
bool has_forbidden_character(const char* folder) {
  for (const char* p = folder; *p; ++p) {
    char c = *p;
    if (c == '"' || c == '/' || c == '<' || c == '>' || c == '|' || c == '*' || c == '?' ||
        static_cast<unsigned char>(c) < 0x20)
      return true;
    if (c == ':' && p != folder + 1) return true;
  }
  return false;
}

// Checks and stores a /D= folder, with a trailing "\".
int store_target(const char* folder, char* target) {
  if (!is_rooted_path(folder) || has_forbidden_character(folder)) return 0;
  if (!copy_text(target, PATH_CAPACITY, folder) || !ensure_trailing_separator(target)) {
    target[0] = '\0';
    return 0;
  }
  return 1;
}

// The unquoted /D= form: everything up to the end of the line, trailing blanks cut.
int store_verbatim_target(const char* value, char* target) {
  char folder[PATH_CAPACITY];
  size_t length = text_length(value);
  while (length && is_blank(value[length - 1])) --length;
  if (length + 1 > sizeof folder) return 0;
  for (size_t i = 0; i < length; ++i) folder[i] = value[i];
  folder[length] = '\0';
  return store_target(folder, target);
}

void note_silent_switch(const char* command_line, CommandLine* out) {
  const char* p = skip_program_name(command_line);
  char argument[PATH_CAPACITY];
  bool quoted, fits;
  while (*(p = skip_blanks(p))) {
    const char* next = read_argument(p, argument, sizeof argument, &quoted, &fits);
    if (fits && starts_with_lower(argument, "/d=")) return;  // the rest is the folder
    if (fits && starts_with_lower(argument, "/s") && !argument[2]) out->silent = 1;
    p = next;
  }
}

// The value of /ARCH=, in any case; ARCH_UNKNOWN for anything else.
Architecture parse_architecture(const char* value) {
  static const Architecture named[] = {ARCH_X86, ARCH_X64, ARCH_ARM64};
  for (Architecture architecture : named)
    if (starts_with_lower(value, architecture_name(architecture)) &&
        !value[text_length(architecture_name(architecture))])
      return architecture;
  return ARCH_UNKNOWN;
}

// Which switches an argument list has given, so that a repeated one is refused.
struct SeenSwitches {
  int silent, usage, log, architecture, all, uninstall;
};

// 1 when `argument` is one of the installer's switches (other than /D=) given for the
// first time: stores what it says in `out`.
int take_switch(const char* argument, CommandLine* out, SeenSwitches& seen) {
  if (starts_with_lower(argument, "/log="))
    return !seen.log++ && argument[5] && copy_text(out->log_path, PATH_CAPACITY, argument + 5);
  if (starts_with_lower(argument, "/arch="))
    return !seen.architecture++ && (out->architecture = parse_architecture(argument + 6)) != ARCH_UNKNOWN;
  if (starts_with_lower(argument, "/all") && !argument[4]) return !seen.all++ && (out->all = 1);
  if (starts_with_lower(argument, "/s") && !argument[2]) return !seen.silent++;
  if (starts_with_lower(argument, "/u") && !argument[2]) return !seen.uninstall++ && (out->uninstall = 1);
  if (argument[0] == '/' && argument[1] == '?' && !argument[2]) return !seen.usage++ && (out->show_usage = 1);
  return 0;
}

}  // namespace

int parse_command_line(const char* command_line, CommandLine* out) {
  out->silent = 0;
  out->show_usage = 0;
  out->all = 0;
  out->uninstall = 0;
  out->target[0] = '\0';
  out->log_path[0] = '\0';
  out->architecture = ARCH_UNKNOWN;
  note_silent_switch(command_line, out);
  SeenSwitches seen = {};
  int well_formed = 1;
  char argument[PATH_CAPACITY + 8];
  const char* p = skip_program_name(command_line);
  out->lost = strchr(p, LOST_CHARACTER) != nullptr;
  // With /S the first fault ends the parse; without it, what is not a well-formed
  // switch is passed over and the rest still counts.
  while (well_formed || !out->silent) {
    if (!*(p = skip_blanks(p))) break;
    bool quoted = false, fits = true;
    const char* next = read_argument(p, argument, sizeof argument, &quoted, &fits);
    if (starts_with_lower(p, "/d=") && !quoted) {  // the rest of the line is the folder
      if (!store_verbatim_target(p + 3, out->target)) well_formed = 0;
      break;
    }
    if (!fits) {  // an argument too long for any switch: one bad argument, read no further
      well_formed = 0;
      p = next;
      continue;
    }
    if (starts_with_lower(argument, "/d=")) {
      // The folder switch must be the last.
      if (*skip_blanks(next) || !store_target(argument + 3, out->target)) {
        out->target[0] = '\0';
        well_formed = 0;
      }
    } else if (!take_switch(argument, out, seen)) {
      well_formed = 0;
    }
    p = next;
  }
  if (!out->silent) {
    if (out->all) well_formed = 0;  // /ALL is for unattended runs only: passed over
    out->all = 0;
  } else if ((out->all && (out->target[0] || out->architecture != ARCH_UNKNOWN)) ||
             (out->uninstall && (out->all || out->architecture != ARCH_UNKNOWN))) {
    well_formed = 0;
  }
  return well_formed;
}
