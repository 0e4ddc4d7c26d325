// Plug-in folders that hosts keep in settings files of their own: PSFilterPdn's XML
// settings (the folders it searches for Paint.NET) and GIMP's gimprc (the folders
// the PSPI plug-in searches). Such files are read only when they are disk files, and
// only their first megabyte; they are UTF-8 (a byte-order mark is skipped) and their
// folders are turned into the ANSI code page, where a name the code page cannot hold
// is passed over. A missing, unreadable or malformed file gives nothing.
#pragma once
#include <stddef.h>

#include "probe_row.h"

constexpr size_t SETTINGS_LIMIT = 1 << 20;  // bytes of a settings file that are read

// Called once per folder a settings text names: the folder as the file writes it (in
// UTF-8; in PSFilterPdn's XML with its character references still in it), and whether
// the host searches its sub-folders too.
using FolderSink = void (*)(const char* folder, int with_subfolders, void* context);

// The folders of PSFilterPdn's settings text (terminated UTF-8). Today's form: each
// "string" element of the serialisation's Arrays namespace (whatever its prefix)
// inside SearchDirectories, SearchSubdirectories true or false; a file without the end of SearchDirectories gives nothing. The older form:
// searchDirs, a comma-separated list in which a part that is not a rooted path
// (X:\... or \\server\share\...) continues the one before, and searchSubDirs.
// Returns the number of folders given to `sink`.
int psfilterpdn_folders(const char* text, FolderSink sink, void* context);

// The folders of gimprc's line (pspi-path "C:\\Filters;D:\\More"): one quoted string
// in which \\ is a backslash and \" a quote, folders separated by ";", each searched
// with its sub-folders. An unterminated string gives nothing. Returns the number of
// folders given to `sink`.
int pspi_folders(const char* text, FolderSink sink, void* context);

// PSFILTERPDN_LIST: the settings file `folder` below the user's folder `number`;
// each folder it names that exists is admitted, bridged, with the Paint.NET the row
// before found as its host (ROW_FOUND_HOST), and without the maker's sub-folder where
// PSFilterPdn does not search sub-folders.
void scan_psfilterpdn_settings(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& found);

// GIMP_PSPI_LIST: gimprc, `folder` below the user's folder `number`; each folder of its
// pspi-path that exists is admitted, with pspi.exe as the host program: `match` below
// the same user's folder, else `extra` below the folder that GIMP's uninstall entry
// (GIMP-2_is1 below the key `detail`) names in its value InstallLocation: the 64-bit
// and 32-bit machine views, then the user's.
void scan_gimp_settings(const ProbeRow& row, const ProbeFindings& findings);
