// Probes that take a plug-in folder at a fixed place below a folder they know: the
// program folder a registry value names, or one of the user's own folders.
#pragma once
#include "probe_row.h"

// PROGRAM_SUBFOLDER: in each view of the row, the place `match` of `key` names the
// program folder, `detail` is the host program in it, and its sub-folder `folder` is
// admitted where it exists (with ROW_PSFILTERPDN only where PSFilterPdn is: in it or
// below it). A host
// program that exists goes into `found`, whether or not its folder is admitted.
void scan_program_subfolder(const ProbeRow& row, const ProbeFindings& findings, FoundHost& found);

// USER_FOLDER: the sub-folder `folder` of the user's folder `number` (a CSIDL: the
// Documents, the roaming application data, the profile), where it exists (with
// ROW_PSFILTERPDN only where PSFilterPdn is); with ROW_FOUND_HOST the host that the
// row before found is its host.
void scan_user_folder(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& found);

// The user's folder `csidl` joined with `sub_path` in `out`; 0 when there is none (or
// the code page cannot hold its name exactly).
int user_folder_path(int csidl, const char* sub_path, char* out);

// 1 when PSFilterPdn.dll lies in `folder` or in a folder below it (nine levels at most).
int holds_psfilterpdn(const char* folder);
