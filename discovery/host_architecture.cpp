#include "host_architecture.h"

#include <string.h>
#include <windows.h>

#include "bounded_text.h"
#include "command_text.h"
#include "handles.h"
#include "letters.h"
#include "path_helpers.h"
#include "safe_files.h"

namespace {

constexpr HostArchitecture NO_EVIDENCE = {ARCH_UNKNOWN, EVIDENCE_NONE, 0};

// `folder` with a trailing "\" in `out`; 0 when it does not fit.
int folder_with_separator(const char* folder, char* out) {
  return copy_text(out, PATH_CAPACITY, folder) && ensure_trailing_separator(out);
}

}  // namespace

ProbeFindings with_host_program(const ProbeFindings& findings, const char* program) {
  ProbeFindings with = findings;
  with.host_program = program;
  return with;
}

Architecture host_kind_architecture(Architecture host_kind, int arm64_windows) {
  return host_kind == ARCH_X64 && arm64_windows ? ARCH_64BIT : host_kind;
}

int host_program_from_command(const char* command, char* program) {
  const char* start = skip_blanks(command);
  size_t length = 0;
  if (*start == '"') {
    ++start;
    while (start[length] && start[length] != '"') ++length;
  } else {
    char lowered[PATH_CAPACITY];
    if (!copy_text(lowered, start)) return 0;
    const char* found = strstr(lower_ascii(lowered), ".exe");
    if (!found) return 0;
    length = static_cast<size_t>(found - lowered) + 4;
  }
  if (length < 3 || length >= PATH_CAPACITY || !is_drive_path(start)) return 0;
  for (size_t i = 0; i < length; ++i) program[i] = start[i];
  program[length] = '\0';
  return 1;
}

HostArchitecture folder_files_evidence(const char* folder) {
  char path[PATH_CAPACITY];  // the folder, then each file in it
  if (!folder_with_separator(folder, path)) return NO_EVIDENCE;
  size_t folder_length = text_length(path);
  char pattern[PATH_CAPACITY];
  if (!copy_text(pattern, path) || !append_text(pattern, "*.8bf")) return NO_EVIDENCE;
  WIN32_FIND_DATAA found;
  FindHandle listing(FindFirstFileA(pattern, &found));
  if (!listing.valid()) return NO_EVIDENCE;
  Architecture common = ARCH_UNKNOWN;
  do {
    // The pattern also matches by short names ("x.8bfx" as X~1.8BF): the real name decides.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ends_with_lower(found.cFileName, ".8bf")) continue;
    path[folder_length] = '\0';
    if (!append_text(path, found.cFileName)) continue;
    // A .8bf that is a link to a file elsewhere says nothing about this folder.
    FileHandle file(open_own_disk_file(path));
    ImageKind kind = file.valid() ? image_kind_of(file.get()) : IMAGE_NONE;
    if (kind == IMAGE_NONE) continue;  // not a plug-in image: says nothing
    Architecture architecture = image_architecture(kind);
    if (architecture == ARCH_UNKNOWN || (common != ARCH_UNKNOWN && architecture != common)) return NO_EVIDENCE;
    common = architecture;
  } while (FindNextFileA(listing.get(), &found));
  if (common == ARCH_UNKNOWN) return NO_EVIDENCE;
  return {common, EVIDENCE_FOLDER_FILES, 0};
}

HostArchitecture admission_evidence(const char* folder, const ProbeFindings& findings) {
  HostArchitecture found = NO_EVIDENCE;
  const char* program = findings.host_program;
  if (program && program[0]) found = {image_architecture(read_image_kind(program)), EVIDENCE_HOST_PROGRAM, 0};
  if (found.architecture == ARCH_UNKNOWN) found = folder_files_evidence(folder);
  if (found.architecture == ARCH_UNKNOWN && findings.host_kind != ARCH_UNKNOWN)
    found = {host_kind_architecture(findings.host_kind, windows_runs_on_arm64()), EVIDENCE_HOST_KIND, 0};
  if (found.architecture == ARCH_UNKNOWN) found.evidence = EVIDENCE_NONE;
  found.bridged = findings.bridged;
  return found;
}

const char* evidence_name(ArchitectureEvidence evidence) {
  switch (evidence) {
    case EVIDENCE_HOST_KIND:
      return "the host's kind";
    case EVIDENCE_FOLDER_FILES:
      return "files in the folder";
    case EVIDENCE_HOST_PROGRAM:
      return "host program";
    case EVIDENCE_LISTED_FOLDER:
      return "a listed folder";
    case EVIDENCE_COMMAND_LINE:
      return "/ARCH=";
    default:
      return "unknown";
  }
}
