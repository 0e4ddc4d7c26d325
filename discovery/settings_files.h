// Plug-in folders that hosts keep in settings files of their own: PSFilterPdn's XML
// settings (the folders it searches for Paint.NET) and GIMP's gimprc (the folders
// the PSPI plug-in searches). Such files are read only when they are disk files, and
// only their first megabyte; they are UTF-8 (a byte-order mark is skipped) and their
// folders are turned into the ANSI code page, where a name the code page cannot hold
// is passed over. A missing, unreadable or malformed file gives nothing. PhotoImpact's
// ulead32.ini, numbered keys of an INI file, is read the same way but in the ANSI code page.
#pragma once
#include <stddef.h>

#include "probe_row.h"

constexpr size_t SETTINGS_LIMIT = 1 << 20;  // bytes of a settings file that are read
constexpr int INI_KEY_LIMIT = 99;           // numbered INI keys read at most: <key>1 to <key>99

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

// The values of the keys <key>1, <key>2, ... (`key` lower case, blanks allowed before
// "=") of the first section `section` ("[name]", lower case) of INI text, in number
// order, up to the first number missing (at most INI_KEY_LIMIT): each the rest of
// its line after "=", without a closing quote, in the text's own code page. Section
// and key names are compared in any case; the first of two keys of one name counts;
// a value of PATH_CAPACITY characters or more is passed over. Returns the number of
// values given to `sink`.
int ini_numbered_values(const char* text, const char* section, const char* key, FolderSink sink, void* context);

// PLUGINDIR_LIST: the INI file `folder` below the folder `number` (a CSIDL: the
// all-users application data), its [PLUG IN] keys PLUGINDIR1, PLUGINDIR2, ... (as
// ini_numbered_values reads them); each drive folder they name that exists is
// admitted. The file is in the ANSI code page, as the host writes it.
void scan_plugindir_settings(const ProbeRow& row, const ProbeFindings& findings);
