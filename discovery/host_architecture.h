// Which build of a plug-in a folder's host can load: the evidence for the
// architecture of the host editor behind a plug-in folder.
//
// A probe that knows the host's program (a registered command, an App Paths entry,
// a host's own registry key) names it with set_probe_host_program before it admits
// folders; admit_candidate then reads the program's PE header. Without a program,
// or when its header says nothing, the .8bf files already in the folder decide when
// all those that are PE images agree; otherwise the architecture is unknown, which
// the installer treats as 32-bit.
#pragma once
#include "architecture.h"

// Where an architecture came from. For folders found by probes the order is also
// the strength: a later probe that finds a listed folder again with stronger
// evidence replaces the weaker one.
enum ArchitectureEvidence {
  EVIDENCE_NONE = 0,       // nothing tells: unknown
  EVIDENCE_HOST_KIND,      // the probe row's host is built for one architecture only
  EVIDENCE_FOLDER_FILES,   // the .8bf files in the folder agree
  EVIDENCE_HOST_PROGRAM,   // the host program's own PE header
  EVIDENCE_LISTED_FOLDER,  // a chosen folder lies inside a listed folder and takes its architecture
  EVIDENCE_COMMAND_LINE,   // /ARCH= on the command line
};

struct HostArchitecture {
  Architecture architecture;
  ArchitectureEvidence evidence;
  int bridged;  // 1: the host loads 32-bit plug-ins through a 32-bit helper of its own
                // too, so a folder whose own build is not carried takes the x86 one
};

// The host program of the probe row now running ("" or null: none known). Copied.
void set_probe_host_program(const char* program);
const char* probe_host_program();

// What the probe row now running knows of its host without looking at a program:
// the architecture it is built for when only one (ARCH_UNKNOWN: none), whether it is
// bridged, and whether its folders are searched without their sub-folders (then
// listed without the maker's sub-folder). Every row starts with none of these.
struct ProbeRowFacts {
  Architecture host_kind;
  int bridged;
  int no_subfolders;
};
void set_probe_row_facts(Architecture host_kind, int bridged, int no_subfolders);
const ProbeRowFacts& probe_row_facts();

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

// The evidence for a folder a probe admits now: the probe's host program, else the
// folder's own files, else the row's host kind, else none; bridged as the row is.
HostArchitecture admission_evidence(const char* folder);

// "host program", "files in the folder", "the host's kind", "a listed folder",
// "/ARCH=", "unknown".
const char* evidence_name(ArchitectureEvidence evidence);
