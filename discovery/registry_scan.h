// Walks a host vendor's registry subtree under the current user, the local machine
// and the default user, and offers every string value that looks like a folder on a
// drive (and passes the name filters) as a candidate plug-in folder.
//
// Every key is opened with KEY_READ and closed again before a wrapper returns, so no
// key handle is held between two calls. Name, data and subkey buffers are
// PATH_CAPACITY bytes each, of which REGISTRY_OFFERED characters are offered to the
// registry. Names and data are read in their wide form (narrow_exactly): data the
// code page cannot hold exactly reads as empty.
#pragma once
#include <windows.h>

#include "host_architecture.h"  // ProbeFindings
#include "path_helpers.h"

constexpr int REGISTRY_OFFERED = 256;  // characters for names and data
constexpr int KEY_LEVELS = 20;         // size of the per-level tables
constexpr int MAX_HELD_LEVELS = 19;    // keys up to 19 levels below the vendor key are walked

// Index of the next value next_string_value enumerates; shared by every key, 0 at
// process start and again after each key's enumeration ends.
extern int value_cursor;

// The subkeys entered on the way down from the vendor key.
struct KeyPathStack {
  int top;                         // highest level held; -1 = empty
  int saved_index[KEY_LEVELS];     // the entered subkey's index in its parent's enumeration
  int saved_length[KEY_LEVELS];    // key path length before the subkey's name was appended
};

// Reads a REG_SZ or REG_EXPAND_SZ value (the empty name: the key's default value) into
// `out` (PATH_CAPACITY bytes), at most 256 characters as stored, always terminated; an
// expandable value is expanded (a result over PATH_CAPACITY reads as empty), a value
// of another type, or with a character the code page lacks, reads as empty. Returns the platform's result: 0, or non-zero for a
// missing key or value or one that is too long (`out` is then empty). `view` 0 reads
// the program's own registry view; KEY_WOW64_64KEY reads the 64-bit one, where today's
// 64-bit hosts register, also from the 32-bit installer, which then expands
// %ProgramFiles% and %CommonProgramFiles% to the 64-bit folders; KEY_WOW64_32KEY the
// 32-bit one, where the 64-bit installer expands them to the "(x86)" folders.
LONG read_string_value(HKEY root, const char* key_path, const char* value_name, char* out, REGSAM view = 0);

// Enumerates the value at value_cursor of `key_path` into `name_out` and `data_out`
// (read as read_string_value reads data; the name with LOST_CHARACTER for each
// character the code page lacks) and advances the cursor. A value whose name or
// data does not fit reads as empty, and the next call goes on with the next value.
// The first failure (no more values) rewinds the cursor and is returned.
// `view` as for read_string_value.
LONG next_string_value(HKEY root, const char* key_path, char* name_out, char* data_out, REGSAM view = 0);

// The name of the subkey at `index` of `key_path`, or the platform's failure code.
// `view` as for read_string_value.
LONG subkey_at(HKEY root, const char* key_path, int index, char* name_out, REGSAM view = 0);

// Enters subkey `name`: saves the caller's `index` and the path length, appends "\"
// and `name` to `key_path` and sets `index` to 0. Returns 1, or 0 with nothing changed
// when 19 levels are already held or the longer path would not fit in its buffer;
// the caller then goes on with the next sibling.
int push_level(KeyPathStack& stack, char* key_path, const char* name, int& index);

// Leaves the current level: cuts `key_path` back and returns the saved subkey index,
// or -1 when the stack is empty.
int pop_level(KeyPathStack& stack, char* key_path);

// Walks base\vendor under HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE (in the 64-bit build
// its 64-bit view, then its 32-bit one; in the 32-bit build its own view) and
// HKEY_USERS\.default, depth-first, each key's values before its subkeys, and admits
// the values that pass the filter. `key_pattern` (lower case, "" matches every path)
// must occur in the key path; `value_key` (optional, lower case) admits values whose
// names contain it, with `suffix` (optional) appended to their data. Each with the
// probe's `findings`.
void scan_vendor_registry(const char* base, const char* vendor, const char* key_pattern,
                          const char* value_key, const char* suffix, const ProbeFindings& findings);
