// One row of the probe table (probe_sequence.cpp): what one probe reads and where.
// Plain constant data; what the texts mean depends on the row's kind, as the table
// says. The probes of today's hosts take their row whole.
#pragma once
#include <windows.h>

#include "host_architecture.h"  // ProbeFindings
#include "bounded_text.h"  // PATH_CAPACITY

enum ProbeKind : unsigned char {
  VENDOR_REGISTRY,     // scan_vendor_registry("software", vendor, key_pattern, value_key, suffix)
  HOST_TEXT_SETTINGS,  // scan_host_text_settings(progid, prefix, extension, key, levels_up)
  WINDOWS_INI,         // scan_windows_ini(file name, key)
  HOST_FOLDER_ADMIT,   // host folder from a command + name, then admit_candidate
  HOST_FOLDER_BINARY,  // host folder from a command + file name, then scan_binary_settings
  VERSIONED_HOST,      // every version key: its program and its plug-in folder (versioned_hosts.h)
  SHARED_FOLDER,       // a folder every version of the host before it loads (versioned_hosts.h)
  NUMBERED_FOLDERS,    // numbered registry places, until one is missing (versioned_hosts.h)
  PROGRAM_SUBFOLDER,   // a folder below the program folder a value names (host_folders.h)
  USER_FOLDER,         // a folder below one of the user's folders (host_folders.h)
  PSFILTERPDN_LIST,    // the search folders of PSFilterPdn's settings file (settings_files.h)
  GIMP_PSPI_LIST,      // the pspi-path of GIMP's gimprc (settings_files.h)
  PLUGINDIR_LIST,      // the keys PLUGINDIR1, PLUGINDIR2, ... of an INI file's [PLUG IN] (settings_files.h)
};

// Named, not held as an HKEY, so that the table is constant data.
enum RegistryRoot : unsigned char { NO_ROOT, CLASSES_ROOT, LOCAL_MACHINE, CURRENT_USER };

// Which registry views a row reads: the program's own, or the 64-bit or the 32-bit
// one named explicitly, or both (64-bit first), whatever the installer's build.
enum RegistryViews : unsigned char { VIEW_OWN, VIEW_64, VIEW_32, VIEWS_64_32 };

enum ProbeRowFlags : unsigned char {
  ROW_BRIDGED = 1,     // the host loads 32-bit plug-ins through a 32-bit helper too
  ROW_PSFILTERPDN = 2, // the folder counts only where PSFilterPdn.dll is, in it or a sub-folder
  ROW_CONTINUES = 4,   // the same numbered row as the record before it
  ROW_VERSIONS = 8,    // every subkey of the key is a version key to read
  ROW_FOUND_HOST = 16, // the host found by the row before is this folder's host program
  ROW_EXACT = 32,      // a folder counts only where it exists as it stands: no walking up
};

// Its small fields are bytes: the table is a few dozen rows of constant data.
struct ProbeRow {
  ProbeKind kind;
  RegistryRoot root;
  RegistryViews views;
  unsigned char flags;
  unsigned char host_kind;  // the only Architecture the host is built for; ARCH_UNKNOWN: several
  unsigned char number;     // levels_up, a CSIDL, or the first number of numbered places
  const char* key;
  const char* match;
  const char* detail;
  const char* extra;
  const char* folder;
};

// A host one row found, for the rows after it that belong to the same host: the
// newest installed version of a versioned host, or the program a value names.
struct FoundHost {
  int found;                    // 1 once a host program exists
  unsigned version;             // a version key's name as major * 1000 + minor
  char program[PATH_CAPACITY];  // that host program
};

HKEY root_key(RegistryRoot root);

// The views a row reads, in order, in `out` (room for 2); their number.
int row_views(RegistryViews views, REGSAM* out);

// Reads a registry "place" of `key`: "Value" (a value of the key), "Subkey\\" (the
// default value of a subkey) or "Subkey\\Value", as read_string_value reads data,
// into `out` (PATH_CAPACITY bytes). 0 on success, as the registry returns.
LONG read_place(HKEY root, const char* key, const char* place, char* out, REGSAM view);

// Drops what stands before the first letter of `text` (quotes, blanks); 1 when it
// then begins with a drive and its root (is_drive_path).
int as_drive_folder(char* text);

// Reads a place that names a folder: 1 with a drive path in `out` (as_drive_folder),
// 0 when the place is missing (or null) or names no drive path.
int read_folder_place(HKEY root, const char* key, const char* place, char* out, REGSAM view);

// Notes `program` (a host program) in `found` when it exists and is newer than the one
// there (`version`, 0 when the host has no versions); otherwise empties `program`.
void note_host_program(FoundHost& found, char* program, unsigned version);

// Admits `folder` with `findings` only when it exists as it stands: no walking up to a parent.
void admit_existing_folder(char* folder, const ProbeFindings& findings);

// Admits `folder` as the row admits its folders: as it stands (ROW_EXACT), or as any
// candidate, walking up to the folder that exists.
void admit_row_folder(const ProbeRow& row, char* folder, const ProbeFindings& findings);
