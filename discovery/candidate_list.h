// The candidate plug-in folders that the probes find, in the order they were first
// found. The installer lists them in its drop-down; the first is the default.
#pragma once
#include "bounded_text.h"  // PATH_CAPACITY
#include "host_architecture.h"

constexpr int CANDIDATE_CAPACITY = 20;
constexpr char MAKER_SUBFOLDER[] = "Veltrane\\";  // appended to listed entries

struct CandidateFolder {
  char path[PATH_CAPACITY];  // normalised folder, ends in "\"; empty = free entry
  int append_subfolder;      // 0 for folders that contained "igrafx": listed unchanged
  HostArchitecture host;     // the build of a plug-in the folder's host loads, and why
  int row;                   // the probe row that first admitted it (1 to PROBE_ROWS; 0: free)
};

// The process-wide table. Used entries form a prefix: the first empty path ends it.
// Zero-initialised storage: reset_candidate_list gives every entry its initial
// state before the first probe runs.
struct CandidateList {
  CandidateFolder entries[CANDIDATE_CAPACITY];
};
extern CandidateList candidate_list;

// Empties every entry and sets its append_subfolder flag to 1. The program calls it
// once at start, before anything reads or fills the list; tests call it again.
void reset_candidate_list();

// Checks that `path` leads to an existing folder, normalises it (canonical form,
// maker-folder cut, igrafx tag, trailing "\", title case) and appends it unless it is
// already listed, lies in or below the Windows folder, or the list is full. A
// drive-relative path ("C:name") is refused. Works in place on the caller's 400-byte
// buffer (the canonical form of a rooted path is never longer); silent.
// What the probe found travels with it: the row, and the host architecture
// (admission_evidence); a folder that is listed already keeps its place and row but
// takes stronger evidence found now.
void admit_candidate(char* path, const ProbeFindings& findings);

// Tries the path and then each shorter prefix down to its containing folder as the
// current directory (each time setting it back as it was). 1 with `path` cut to the
// folder found, else 0.
int walk_up_to_existing_folder(char* path);

// Lower-cases the path, then upper-cases its first character and every character
// (A to z in code) that follows a non-letter.
char* title_case(char* path);

// The entry as the installer lists it: its path, followed by the maker's sub-folder
// unless append_subfolder is 0. 1 when that fits `out` (PATH_CAPACITY bytes); 0 with
// `out` empty when it does not: such a folder is left out of the list, never cut.
int format_listed_entry(const CandidateFolder& entry, char* out);

// Number of used entries.
int candidate_count();

// The architecture of a folder the user browsed to or gave with /D=: that of the
// listed folder it lies in (or is), the innermost one; else its own files; else none.
HostArchitecture target_architecture(const char* folder);
