// Writing the plug-in files that the installer carries inside its own module.
//
// Each carried file is a resource of type PAYLOAD_TYPE named by the file's name in
// the form the resource compiler stores it (upper case, "TESSORA__ONDEL__DEMO.8BF");
// normalise_file_name turns that back into the file name ("TessoraOndelDemo.8bf").
//
// One install attempt, as the installer dialog runs it (Install and Retry alike):
//
//   begin_install_attempt();                  // the skip list starts empty
//   add_skip_key(key);                        // for every selector switched off now
//   install_payloads();                       // on Retry: retry_failed_payloads()
//
// Both return payload_failure_total(): 0 means installed. Otherwise the record says
// what was not written and why: payload_failures.entries[i].file_name and .error,
// classify_failure(error) for what to tell the user (disk full; in use: close the
// host editor and try again; access denied: choose another folder; otherwise the
// system's text from failure_system_text), `stopped` when later payloads were not
// tried, `dropped` for failures beyond the named ones. Retry writes the failed files
// again; Cancel needs nothing from here: files already written stay, and the next
// Install is a new attempt.
//
// Every write replaces a file in one step: the bytes go to a temporary file in the
// target folder, and only a complete, flushed file is moved over the plug-in of that
// name. A write that fails leaves an existing plug-in byte for byte as it was.
// Files already written stay written whatever happens to later ones.
#pragma once
#include <windows.h>

#include <stddef.h>

#include "architecture.h"
#include "candidate_list.h"
#include "payload_types.h"

constexpr WORD PAYLOAD_TYPE = PAYLOAD_TYPE_X86;  // the set every installer has carried
constexpr int SKIP_CAPACITY = 20;          // skip keys; further keys are dropped
constexpr int OUTPUT_PATH_CAPACITY = 500;  // folder + file name, terminator included
constexpr int FAILURE_CAPACITY = 20;       // failures recorded by name per attempt

// Keys of the carried plug-ins not to be written. Each entry is a CandidateFolder
// record: its path field holds the key; its flag is set to 1 and never read. Used
// entries form a prefix: the first empty key ends the list.
struct SkipList {
  CandidateFolder entries[SKIP_CAPACITY];
  SkipList();
};
extern SkipList skip_list;

// Stores `key` (shorter than 400 characters) in the first free entry; a key that
// finds the table full is dropped, so its payloads are written.
void add_skip_key(const char* key);

// Empties the skip list, so that a selector switched off for one attempt and on for
// the next does not skip its payload. Call it first in every attempt.
void begin_install_attempt();

// Rewrites a resource name into a file name in place and returns it: letters A to
// Z are lower-cased, the first character and every character after a non-letter
// (other than ' . and 8) upper-cased, "__" removed with the next character
// upper-cased, "_" made a space, ":" removed (the character after it keeps its
// case and "__" or "_" after it stays). Never longer than the input.
char* normalise_file_name(char* name);

// One payload a write run could not write.
struct PayloadFailure {
  char resource_name[OUTPUT_PATH_CAPACITY];  // as enumerated: how a retry finds it again
  char file_name[OUTPUT_PATH_CAPACITY];      // the normalised name, for the user
  DWORD error;  // the Windows error code: ERROR_DISK_FULL, ERROR_SHARING_VIOLATION
                // (held open by a running program), ERROR_ACCESS_DENIED (read-only
                // file, a folder of that name, or a folder this account may not
                // write), ERROR_FILENAME_EXCED_RANGE (over the 500-character path),
                // ERROR_INVALID_DATA (an empty resource), or what the system said
};

// What the last write run (install_payloads or retry_failed_payloads) could not
// write, in the order it met them. Each run starts with it cleared.
struct PayloadFailures {
  PayloadFailure entries[FAILURE_CAPACITY];
  int count;    // recorded entries
  int dropped;  // failures beyond FAILURE_CAPACITY, not recorded by name
  int stopped;  // 1 when a resource that cannot be found, is empty or cannot be
                // loaded ended the run: the payloads after it were not tried
};
extern PayloadFailures payload_failures;

// The resource type of the set of plug-ins for hosts of `architecture`: the x86 set
// for ARCH_UNKNOWN too, which is how the installer has always treated such hosts.
WORD payload_type_for(Architecture architecture);

// 1 when the installer carries at least one plug-in for hosts of `architecture`.
int carries_set_for(Architecture architecture);

// The builds the installer carries, for messages: "32-bit (x86) and 64-bit (x64)";
// "no" when it carries none. Bounded by `capacity`.
void carried_sets_text(char* text, size_t capacity);

// Finds, sizes and loads the carried payload `name` of `type` through
// instance_handle: ERROR_SUCCESS with its bytes and size, or why not
// (ERROR_INVALID_DATA for an empty one; never 0 on failure).
DWORD load_payload(LPCSTR type, LPCSTR name, const void** bytes, DWORD* size);

// The resource-name enumeration callback (EnumResourceNamesA over a payload type).
// Finds, sizes and loads `name` of `type` through instance_handle, normalises it, skips it
// when a skip key occurs in the normalised name (case-sensitive) and otherwise
// replaces chosen_folder + name with its bytes. TRUE goes on with the next name:
// after a write, a skip, a file that could not be written (recorded), or a numeric
// resource id (not a carried file, ignored). FALSE ends the enumeration: the
// resource cannot be found, is empty or cannot be loaded (recorded, `stopped` set).
// `module` and `parameter` are not used.
BOOL CALLBACK write_payload(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR parameter);

// Failures of the last write run, recorded or dropped; 0 means everything that was
// not skipped is installed.
int payload_failure_total();

// Writes every carried payload of the set for `architecture` into chosen_folder:
// clears the failure record, removes temporary files that a killed run left in that
// folder, then enumerates. Returns payload_failure_total().
int install_payloads(Architecture architecture = ARCH_UNKNOWN);

// Writes again the payloads that the last run recorded as failed, from the same set,
// with the skip list as it stands; when that run was stopped early or dropped names, all payloads
// are written again instead. The record then holds this run's failures only.
// Returns payload_failure_total().
int retry_failed_payloads();

// How the installer explains a failure to the user.
enum FailureKind {
  FAILURE_DISK_FULL = 1,  // free some space and try again
  FAILURE_IN_USE,         // a running host editor holds the plug-in: close it, try again
  FAILURE_ACCESS_DENIED,  // read-only file or a folder this account may not write
  FAILURE_OTHER           // show the system's own text
};
FailureKind classify_failure(DWORD error);

// The system's message for `error` (FormatMessageA) without its line break, or
// "Error N" when the system has none; bounded by `capacity`. 1 for the system's
// text, 0 for the fallback.
int failure_system_text(DWORD error, char* buffer, size_t capacity);
