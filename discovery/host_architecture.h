// Which build of a plug-in a folder's host can load: the evidence for the
// architecture of the host editor behind a plug-in folder.
//
// A probe that knows the host's program (a registered command, an App Paths entry,
// a host's own registry key) names it in the findings it admits a folder with;
// admit_candidate then reads the program's PE header. Without a program,
// or when its header says nothing, the .8bf files already in the folder decide when
// all those that are PE images agree; otherwise the architecture is unknown, which
// the installer treats as 32-bit.
#pragma once
#include "architecture.h"

// What a probe knows about a folder it admits: one record that travels with the
// folder into the candidate list. The probe sequence makes it from the row; a probe
// that knows the host's program, or how the host searches the folder, fills that in
// on its own copy.
struct ProbeFindings {
  int row;                   // the probe row admitting the folder, 1 to PROBE_ROWS (0: none)
  const char* host_program;  // the host program; null or "": none known
  Architecture host_kind;    // the only architecture the row's host is built for; ARCH_UNKNOWN: several
  int bridged;               // the host loads 32-bit plug-ins through a 32-bit helper too
  int no_subfolders;         // the host searches the folder without its sub-folders
};

// `findings` with `program` as its host program.
ProbeFindings with_host_program(const ProbeFindings& findings, const char* program);

// The architecture a row's host kind stands for on this Windows: a 64-bit-only host
// (x64) on ARM64 Windows may be either 64-bit build, so there it is ARCH_64BIT.
Architecture host_kind_architecture(Architecture host_kind, int arm64_windows);

// The host program at the start of a registered command or an App Paths value: the
// quoted part of a quoted command, otherwise the text up to and including the first
// ".exe". 1 with `program` (PATH_CAPACITY bytes) set, 0 when the command names none.
int host_program_from_command(const char* command, char* program);

// The evidence of the .8bf files directly in `folder` (ends in "\"): their common
// architecture when every one that is a PE image has the same one.
HostArchitecture folder_files_evidence(const char* folder);

// The evidence for a folder a probe admits: the probe's host program, else the
// folder's own files, else the row's host kind, else none; bridged as the row is.
HostArchitecture admission_evidence(const char* folder, const ProbeFindings& findings);

// "host program", "files in the folder", "the host's kind", "a listed folder",
// "/ARCH=", "unknown".
const char* evidence_name(ArchitectureEvidence evidence);
