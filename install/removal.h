// Removing the installer's plug-ins again (/U). The installer keeps no record of what
// it installed, so removal finds its plug-ins instead: in each folder it looks at,
// a file goes only when it has the name of a carried plug-in and the very bytes of
// one of the carried builds of that name (any architecture). Nothing else is ever
// removed: a file of that name with other bytes (another version, a user's own file)
// is kept; a read-only or held file is not removed. Nothing is removed through a
// link: a file that is a link to a file elsewhere is kept, and a folder that is a
// link is not entered. The installer's own leftover temporary files go too, and a
// maker's sub-folder ("Veltrane\") that the removal left empty; no other folder does.
// A file whose length or checksum is no carried build's recorded one is kept without
// decoding anything; a file that matches one is confirmed byte for byte as that build
// is decoded, when it is removed (the compressed stream at most once per folder).
//
//   static RemovalPlan plan;               // large: static storage
//   begin_removal(plan);
//   add_removal_folder(plan, folder);       // each listed folder, the /D= folder
//   plan_removal(plan, module);             // examines, changes nothing
//   carry_out_removal(plan, module);        // removes what the plan found
#pragma once
#include <windows.h>

#include <stddef.h>

#include "bounded_text.h"
#include "install_log.h"

constexpr int REMOVAL_FOLDER_CAPACITY = 24;  // the 20 listed folders and a /D= folder
constexpr int REMOVAL_CAPACITY = 200;        // files examined; further ones are counted
constexpr int CARRIED_NAME_CAPACITY = 64;    // distinct file names of the carried plug-ins

enum RemovalOutcome {
  REMOVAL_TO_REMOVE,    // planned: the bytes of a carried build
  REMOVAL_REMOVED,
  REMOVAL_KEPT,         // the name of a carried plug-in, other bytes
  REMOVAL_NOT_REMOVED,  // read-only, held open, or unreadable: `error` says why
  REMOVAL_LINK,         // kept: a link to a file elsewhere, never followed
};

struct RemovalEntry {
  char path[OUTPUT_PATH_CAPACITY];
  RemovalOutcome outcome;
  DWORD error;
  int folder;    // index into RemovalPlan::folders
  DWORD offset;  // where the carried build it matched lies in the compressed stream
};

struct RemovalPlan {
  char folders[REMOVAL_FOLDER_CAPACITY][PATH_CAPACITY];  // each ends in "\"
  int folder_count;
  char names[CARRIED_NAME_CAPACITY][OUTPUT_PATH_CAPACITY];  // carried file names, every set together
  int name_count;
  RemovalEntry entries[REMOVAL_CAPACITY];
  int count;
  int dropped;  // files beyond REMOVAL_CAPACITY: neither examined nor removed
  char removed_folders[REMOVAL_FOLDER_CAPACITY][PATH_CAPACITY];  // emptied maker sub-folders removed
  int removed_folder_count;
  int linked[REMOVAL_FOLDER_CAPACITY];     // 1: the folder itself is a link: neither entered nor removed
  int leftovers[REMOVAL_FOLDER_CAPACITY];  // the installer's own temporary files removed there
  int passes;  // passes carry_out_removal decoded the compressed stream in: at most one per folder
};

void begin_removal(RemovalPlan& plan);

// A folder to look in; a trailing "\" is added; one already added (in any case) and
// one that does not fit are ignored.
void add_removal_folder(RemovalPlan& plan, const char* folder);

// Examines every folder for files named as a plug-in `module` carries (of any set)
// and records each as to be removed (its length and checksum a carried build's),
// kept or not removable. Changes nothing on disk. Returns the number of files to remove.
int plan_removal(RemovalPlan& plan, HMODULE module);

// Removes the files the plan found, checking them again through the handle that
// deletes them, their bytes too (a file whose bytes turn out other is kept), then the
// maker's sub-folders it left empty. Returns the number of files not removed
// (including those `plan_removal` already could not handle and any dropped).
int carry_out_removal(RemovalPlan& plan, HMODULE module);

// For the user: what will be removed (the confirmation), and what became of each file.
void compose_removal_question(const RemovalPlan& plan, char* text, size_t capacity);
void compose_removal_result(const RemovalPlan& plan, char* text, size_t capacity);

// Logs, after carry_out_removal, every entry: "removed: <path>", "kept: <path>
// (other contents)", "kept: <path> (a link)", "not removed: <path> (error N: text)",
// folders passed over as links, leftover temporary files removed, and removed folders.
void log_removal(const RemovalPlan& plan, InstallLog& log);
