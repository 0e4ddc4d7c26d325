// Probes for hosts that register one key per installed version below a key of their
// own, for the shared plug-in folder such a host also loads, and for folders kept in
// numbered registry places. Each admits with the findings of its row. They read the registry views their rows name, so that
// the 32-bit installer on 64-bit Windows sees 64-bit hosts too.
#pragma once
#include "probe_row.h"

// VERSIONED_HOST: for every version key below `key` (in each view of the row), the
// place `match` names the program folder and `detail` is the host program in it; the
// place `extra` names the plug-in folder, else (when `folder` is given) the program
// folder's `folder`. Admitted with the host program's architecture; the newest
// installed version (its program exists) goes into `newest`.
void scan_versioned_host(const ProbeRow& row, const ProbeFindings& findings, FoundHost& newest);

// SHARED_FOLDER: when `host` found a version, admits `match` below the folder that
// the environment variable `key` names, only if that folder itself exists, with the
// architecture of the newest version's program.
void admit_shared_folder(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& host);

// NUMBERED_FOLDERS: below `key` (or every version key below it, ROW_VERSIONS, whose
// name begins with `detail` when given, in any case), the places `match` with a
// number from `number` on ("PlugIns\\%d\\Dir"), until one is missing; a `match`
// without a number is one place. Each names a plug-in folder.
void scan_numbered_folders(const ProbeRow& row, const ProbeFindings& findings);

// "180.0" -> 180000, "70.1" -> 70001; the digits before and after the first ".".
// A major number too large for that (over 4,294,965) ranks above every other.
unsigned version_rank(const char* key_name);
