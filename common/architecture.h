// The processor architecture a host editor runs on, and so the build of a plug-in
// it can load: a 64-bit host loads only 64-bit plug-ins, an ARM64 host only ARM64
// ones. It is read from the Machine field of a program's or a plug-in's PE header.
#pragma once

enum Architecture {
  ARCH_UNKNOWN = 0,  // nothing tells; treated as 32-bit, as the hosts of the early 2000s are
  ARCH_X86,
  ARCH_X64,
  ARCH_ARM64,
  ARCH_64BIT,        // 64-bit, but x64 or ARM64 is not known (a 64-bit-only host on ARM64
                     // Windows): no build can be chosen for it without /ARCH=
};

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

// What one file is, by its PE header.
enum ImageKind {
  IMAGE_NONE = 0,  // not a PE image: missing, unreadable, or a broken or foreign header
  IMAGE_X86,
  IMAGE_X64,
  IMAGE_ARM64,
  IMAGE_OTHER,     // a PE image for another machine (Itanium, 32-bit ARM...)
};

// Reads the DOS and PE headers of `path`, a disk file (never a device or a pipe).
// Never fails: a file it cannot read or make sense of is IMAGE_NONE.
ImageKind read_image_kind(const char* path);

// The same for a file already open for reading.
ImageKind image_kind_of(void* file);

// The architecture of an image kind; ARCH_UNKNOWN for IMAGE_NONE and IMAGE_OTHER.
Architecture image_architecture(ImageKind kind);

// "x86", "x64", "arm64", "64-bit", or "-" for ARCH_UNKNOWN: the short name in reports.
const char* architecture_name(Architecture architecture);

// How the installer names a host to users: "32-bit (x86) image editor",
// "64-bit (x64) image editor", "ARM64 image editor", "64-bit image editor, x64 or
// ARM64 unknown (/ARCH= tells)", "image editor of unknown kind".
const char* architecture_host_text(Architecture architecture);

// "32-bit (x86)", "64-bit (x64)", "ARM64", "64-bit": a build of plug-ins.
const char* architecture_build_text(Architecture architecture);

// 1 when Windows itself runs on ARM64 (x64 programs then run emulated beside ARM64
// ones), looked up at run time (IsWow64Process2, Windows 10 1709 on).
int windows_runs_on_arm64();
