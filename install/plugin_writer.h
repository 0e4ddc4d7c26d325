// Writing the carried plug-ins of one set into one folder, with loss-free
// replacement, and the record of what could not be written.
//
// Everything a write run acts on is handed to it in an InstallTarget: the module
// that carries the plug-ins, the folder, the architecture whose set is written, the
// skip keys and the log. One install attempt, as the dialog runs it:
//
//   PayloadFailures failures;
//   InstallTarget target = {module, folder, architecture, &skip_list, &log};
//   install_payloads(target, failures);       // on Retry: retry_failed_payloads
//
// Both return payload_failure_total(failures): 0 means installed. Otherwise the
// record says what was not written and why: entries[i].file_name and .error,
// classify_failure(error) for what to tell the user (disk full; in use: close the
// host editor and try again; access denied: choose another folder; damaged: download
// the installer again, Retry cannot help; otherwise the system's text), `stopped`
// when later payloads were not tried, `dropped` for failures beyond the named ones.
// Retry writes the failed files again; Cancel needs
// nothing from here: files already written stay, and the next Install is a new
// attempt.
//
// Every write replaces a file in one step: the bytes go to a temporary file in the
// target folder, and only a complete, flushed file whose length and checksum are
// those recorded when the installer was built is moved over the plug-in of that
// name. A write that fails leaves an existing plug-in byte for byte as it was.
// Files already written stay written whatever happens to later ones. A damaged
// installer writes nothing: every carried file of the set is checked first, the
// compressed stream with both its checksums, and one that is damaged is recorded
// (ERROR_CRC, FAILURE_DAMAGED) before anything is written; a damaged stream damages
// every file of the set in it. The log then names the reason ("damaged: ...").
#pragma once
#include <windows.h>

#include "architecture.h"
#include "bounded_text.h"  // OUTPUT_PATH_CAPACITY
#include "carried_stream.h"
#include "install_log.h"
#include "skip_list.h"

constexpr int FAILURE_CAPACITY = 20;  // failures recorded by name per attempt

// What one write run acts on. `folder` ends in "\": file names are appended to it as
// they stand. `skip` may be null (nothing skipped), `log` may be null (no log).
struct InstallTarget {
  HMODULE module;        // carries the plug-ins
  const char* folder;
  Architecture set;      // the set written: that of this architecture (unknown: x86)
  const SkipList* skip;
  InstallLog* log;
};

// One payload a write run could not write.
struct PayloadFailure {
  char resource_name[OUTPUT_PATH_CAPACITY];  // as enumerated: how a retry finds it again
  char file_name[OUTPUT_PATH_CAPACITY];      // the normalised name, for the user
  DWORD error;  // the Windows error code: ERROR_DISK_FULL, ERROR_SHARING_VIOLATION
                // (held open by a running program), ERROR_ACCESS_DENIED (read-only
                // file, a folder of that name, or a folder this account may not
                // write), ERROR_FILENAME_EXCED_RANGE (over the 500-character path),
                // ERROR_INVALID_DATA (an empty resource), ERROR_CRC (a damaged
                // installer: the carried file is not what was built), or what the
                // system said
};

// What a write run (install_payloads or retry_failed_payloads) could not write, in
// the order it met them. Each run starts with it cleared.
struct PayloadFailures {
  PayloadFailure entries[FAILURE_CAPACITY];
  int count;    // recorded entries
  int dropped;  // failures beyond FAILURE_CAPACITY, not recorded by name
  int stopped;  // 1 when a resource that cannot be found, is empty or cannot be
                // loaded ended the run: the payloads after it were not tried
};

// The run a write_payload enumeration belongs to: its extra parameter points at one.
// Its files in the compressed stream are decoded from `stream`, one pass for the
// whole run while they come in stream order (the order of the enumeration).
struct WriteRun {
  const InstallTarget* target;
  PayloadFailures* failures;
  CarriedStream* stream;  // starts zeroed; closed when the run ends
};

// The resource-name enumeration callback (EnumResourceNamesA over a payload type),
// `run` a WriteRun*. Finds, sizes and loads `name` of `type` through the target's
// module, normalises it, skips it when a skip key occurs in the normalised name and
// otherwise replaces folder + name with its bytes. TRUE goes on with the next name:
// after a write, a skip, a file that could not be written or is damaged (recorded),
// or a numeric resource id (not a carried file, ignored). FALSE ends the enumeration:
// the resource cannot be found, is empty or cannot be loaded (recorded, `stopped` set).
// `module` is the module enumerated and not otherwise used.
BOOL CALLBACK write_payload(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR run);

// Failures of a write run, recorded or dropped; 0 means everything that was not
// skipped is installed.
int payload_failure_total(const PayloadFailures& failures);

// Writes every carried payload of the target's set into its folder: clears the
// failure record, checks every carried file of the set and writes nothing when one
// is damaged, removes temporary files that a killed run left in that folder, then
// enumerates. Returns payload_failure_total().
int install_payloads(const InstallTarget& target, PayloadFailures& failures);

// Writes again the payloads that the last run recorded as failed, with the target
// as it is now; when that run was stopped early or dropped names, all payloads are
// written again instead. The record then holds this run's failures only. Returns
// payload_failure_total().
int retry_failed_payloads(const InstallTarget& target, PayloadFailures& failures);

// How the installer explains a failure to the user.
enum FailureKind {
  FAILURE_DISK_FULL = 1,  // free some space and try again
  FAILURE_IN_USE,         // a running host editor holds the plug-in: close it, try again
  FAILURE_ACCESS_DENIED,  // read-only file or a folder this account may not write
  FAILURE_OTHER,          // show the system's own text
  FAILURE_DAMAGED         // the installer is damaged: Retry cannot help, only a new download
};
FailureKind classify_failure(DWORD error);

// What the user and the log are told about a damaged installer.
constexpr char DAMAGED_INSTALLER_TEXT[] = "the installer is damaged; download it again";

// 1 when the folder itself (its last component; a trailing "\" is allowed) is a link
// or junction. Under Wine a link to a folder shows as a reparse point too.
int is_linked_folder(const char* folder);

// Readies `folder` for writing: makes it the current directory, or else creates it
// (only its last component: a folder whose parent is missing too is not made); the
// current directory is set back as it was. Null when the folder exists now; else why
// nothing goes into it: "a link" for a folder that is itself a link or junction,
// never entered (another account may have planted it to lead the elevated installer
// elsewhere, as removal never enters one either), or FOLDER_NOT_ENTERED.
const char* enter_or_create_folder(const char* folder);
constexpr char FOLDER_NOT_ENTERED[] = "it can neither be entered nor created";
