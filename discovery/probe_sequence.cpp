#include "probe_sequence.h"

#include <windows.h>

#include "host_architecture.h"
#include "host_probes.h"
#include "registry_scan.h"
#include "versioned_hosts.h"

int admitting_row[CANDIDATE_CAPACITY];

namespace {

enum ProbeKind {
  VENDOR_REGISTRY,     // scan_vendor_registry("software", vendor, key_pattern, value_key, suffix)
  HOST_TEXT_SETTINGS,  // scan_host_text_settings(progid, prefix, extension, key, levels_up)
  WINDOWS_INI,         // scan_windows_ini(file name, key)
  HOST_FOLDER_ADMIT,   // host folder from a command + name, then admit_candidate
  HOST_FOLDER_BINARY,  // host folder from a command + file name, then scan_binary_settings
  VERSIONED_HOST,      // scan_versioned_host(key, path value, program, plug-in key, plug-in folder)
  SHARED_FOLDER,       // admit_shared_folder(variable, sub-path) when the row before found its host
};

// One probe. The texts mean, by kind:
//   VENDOR_REGISTRY     key: vendor   match: key_pattern   detail: value_key   extra: suffix
//   HOST_TEXT_SETTINGS  key: ProgID   match: file prefix   detail: extension   extra: settings key
//   WINDOWS_INI         key: file     match: settings key
//   HOST_FOLDER_*       key: key      match: subkey        detail: name appended; root
//   VERSIONED_HOST      key: hosts key  match: path value  detail: program  extra: plug-in key
//                       folder: plug-in folder below the program folder
//   SHARED_FOLDER       key: environment variable naming a folder  match: sub-path
// The registry root is named, not held as an HKEY, so that the whole table is
// constant data rather than built when the program starts.
enum RegistryRoot { NO_ROOT, CLASSES_ROOT, LOCAL_MACHINE };
struct ProbeRow {
  ProbeKind kind;
  const char* key;
  const char* match;
  const char* detail;
  const char* extra;
  int levels_up;
  RegistryRoot root;
  const char* folder;
};

constexpr ProbeRow vendor(const char* vendor_key, const char* key_pattern, const char* value_key = nullptr,
                const char* suffix = nullptr) {
  return {VENDOR_REGISTRY, vendor_key, key_pattern, value_key, suffix, 0, NO_ROOT, nullptr};
}
constexpr ProbeRow text_settings(const char* progid, const char* prefix, const char* extension, const char* key,
                       int levels_up) {
  return {HOST_TEXT_SETTINGS, progid, prefix, extension, key, levels_up, NO_ROOT, nullptr};
}
constexpr ProbeRow windows_ini(const char* file_name, const char* key) {
  return {WINDOWS_INI, file_name, key, nullptr, nullptr, 0, NO_ROOT, nullptr};
}
constexpr ProbeRow host_folder(ProbeKind then, RegistryRoot root, const char* key, const char* subkey, const char* name) {
  return {then, key, subkey, name, nullptr, 0, root, nullptr};
}
// Today's hosts: their keys are read in the 64-bit registry view (versioned_hosts.h).
constexpr ProbeRow versioned_host(const char* hosts_key, const char* path_value, const char* program,
                                  const char* plugin_key, const char* plugin_folder) {
  return {VERSIONED_HOST, hosts_key, path_value, program, plugin_key, 0, LOCAL_MACHINE, plugin_folder};
}
constexpr ProbeRow shared_folder(const char* folder_variable, const char* sub_path) {
  return {SHARED_FOLDER, folder_variable, sub_path, nullptr, nullptr, 0, NO_ROOT, nullptr};
}

constexpr char SHELL_OPEN[] = "shell\\open\\command";
constexpr char APP_PATHS[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Rows 14 to 16 name the ProgIDs as the hosts register them, without a trailing blank.
constexpr ProbeRow probe_rows[] = {
    /*  1 */ vendor("veltrane", ""),
    /*  2 */ vendor("adobe", "photoshop"),
    /*  3 */ vendor("jasc", "paint"),
    /*  4 */ vendor("xara", "xarax"),
    /*  5 */ vendor("microsoft\\photodraw", "", "installdest", "photodraw\\plugins"),
    /*  6 */ vendor("megalux", "", "adobeloc"),
    /*  7 */ vendor("computerinsel", "photoline"),
    /*  8 */ vendor("igrafx", "image"),
    /*  9 */ text_settings("Photoshop.PlugIn", "photos", ".ini", "plugindirectory", 0),
    /* 10 */ text_settings("Fireworks.Doc.2", "fireworks 2 preferences", ".txt", "extraphotoshop", 0),
    /* 11 */ text_settings("Fireworks.Doc.3", "fireworks 3 preferences", ".txt", "extraphotoshop", 0),
    /* 12 */ text_settings("Fireworks.Doc.4", "fireworks 4 preferences", ".txt", "extraphotoshop", 0),
    /* 13 */ text_settings("Fireworks.Doc.5", "fireworks 5 preferences", ".txt", "extraphotoshop", 0),
    /* 14 */ text_settings("CorelPhotoPaint.Image.7", "photop", ".ini", "dirs1", 1),
    /* 15 */ text_settings("CorelPhotoPaint.Image.8", "photop", ".ini", "dirs1", 1),
    /* 16 */ text_settings("CorelPhotoPaint.Image.9", "photop", ".ini", "dirs1", 1),
    /* 17 */ text_settings("CorelPhotoPaint.Image.10", "photop", ".ini", "dirs1", 1),
    /* 18 */ windows_ini("ulead32.ini", "plugindir"),
    /* 19 */ host_folder(HOST_FOLDER_ADMIT, CLASSES_ROOT, "PI3.Image", SHELL_OPEN, "plugin"),
    /* 20 */ host_folder(HOST_FOLDER_BINARY, CLASSES_ROOT, "PainterFile", SHELL_OPEN, "painter.set"),
    /* 21 */ host_folder(HOST_FOLDER_ADMIT, LOCAL_MACHINE, APP_PATHS, "Painter6.exe", "plugins"),
    /* 22 */ host_folder(HOST_FOLDER_BINARY, CLASSES_ROOT, "PClassicFile", SHELL_OPEN, "pclassic.set"),
    // Photoshop, 64-bit only since its 2019 release: one key per version ("180.0").
    /* 23 */ versioned_host("SOFTWARE\\Adobe\\Photoshop", "ApplicationPath", "Photoshop.exe", "PluginPath", "Plug-ins"),
    // The folder every Photoshop since 2015 also loads, below the 64-bit Common Files.
    /* 24 */ shared_folder("CommonProgramW6432", "Adobe\\Plug-Ins\\CC"),
};
static_assert(sizeof probe_rows / sizeof probe_rows[0] == PROBE_ROWS, "one row per probe");

// `found` carries what a versioned-host row found to the shared-folder row after it.
void run_probe(const ProbeRow& row, char* work_path, FoundHost& found) {
  switch (row.kind) {
    case VENDOR_REGISTRY:
      scan_vendor_registry("software", row.key, row.match, row.detail, row.extra);
      break;
    case HOST_TEXT_SETTINGS:
      scan_host_text_settings(row.key, row.match, row.detail, row.extra, row.levels_up);
      break;
    case WINDOWS_INI:
      scan_windows_ini(row.key, row.match);
      break;
    case HOST_FOLDER_ADMIT:
    case HOST_FOLDER_BINARY:
      if (!host_folder_from_command(row.root == CLASSES_ROOT ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE, row.key, row.match, work_path)) break;
      if (!join_path(work_path, row.detail, nullptr)) break;
      if (row.kind == HOST_FOLDER_ADMIT)
        admit_candidate(work_path);
      else
        scan_binary_settings(work_path);
      break;
    case VERSIONED_HOST:
      found.found = 0;
      scan_versioned_host(row.key, row.match, row.detail, row.extra, row.folder, found);
      break;
    case SHARED_FOLDER:
      admit_shared_folder(row.key, row.match, found);
      break;
  }
}

}  // namespace

void run_probe_sequence() {
  char work_path[PATH_CAPACITY];
  static FoundHost found;  // static: it holds a path
  found.found = 0;
  for (int& row : admitting_row) row = 0;
  for (int i = 0; i < PROBE_ROWS; ++i) {
    int listed = candidate_count();
    set_probe_host_program(nullptr);  // each row names its own host program, if any
    run_probe(probe_rows[i], work_path, found);
    for (int entry = listed; entry < candidate_count(); ++entry) admitting_row[entry] = i + 1;
  }
  set_probe_host_program(nullptr);
}
