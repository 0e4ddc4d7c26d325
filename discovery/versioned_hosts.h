// Probes for today's hosts, which register one key per installed version below a
// key of their own, and for the shared plug-in folder that such a host also loads.
// Both read the 64-bit registry view explicitly, so that the 32-bit installer on
// 64-bit Windows sees 64-bit hosts too.
#pragma once
#include <windows.h>

#include "architecture.h"
#include "path_helpers.h"

// The newest version a versioned-host probe found installed (its program exists),
// for the shared-folder probe that follows it.
struct FoundHost {
  int found;                      // 1 once a version's program exists
  unsigned version;               // the version key's name as major * 1000 + minor
  char program[PATH_CAPACITY];    // that version's program
};

// For every version key below `hosts_key` (HKEY_LOCAL_MACHINE, 64-bit view): the
// value `path_value` names the program folder, `program` in it the host program.
// Admits the default value of the version's subkey `plugin_key` when there is one,
// otherwise the program folder's `plugin_folder`, with the host program's
// architecture. Records the newest installed version in `newest`.
void scan_versioned_host(const char* hosts_key, const char* path_value, const char* program,
                         const char* plugin_key, const char* plugin_folder, FoundHost& newest);

// When `host` found a version: admits `sub_path` below the folder that the
// environment variable `folder_variable` names, only if that folder itself exists,
// with the architecture of the newest version's program.
void admit_shared_folder(const char* folder_variable, const char* sub_path, const FoundHost& host);

// "180.0" -> 180000, "70.1" -> 70001; the digits before and after the first ".".
// A major number too large for that (over 4,294,965) ranks above every other.
unsigned version_rank(const char* key_name);
