#include "probe_sequence.h"

#include <windows.h>

#include <shlobj.h>

#include "host_architecture.h"
#include "host_folders.h"
#include "host_probes.h"
#include "probe_row.h"
#include "registry_scan.h"
#include "settings_files.h"
#include "versioned_hosts.h"
#include "bounded_text.h"

namespace {

// The texts of a row mean, by kind:
//   VENDOR_REGISTRY     key: vendor   match: key_pattern   detail: value_key   extra: suffix
//   HOST_TEXT_SETTINGS  key: ProgID   match: file prefix   detail: extension   extra: settings key
//                       number: levels_up
//   WINDOWS_INI         key: file     match: settings key
//   HOST_FOLDER_*       key: key      match: subkey        detail: name appended
//   VERSIONED_HOST      key: hosts key  match: program folder place  detail: program
//                       extra: plug-in folder place  folder: plug-in folder below the program folder
//   SHARED_FOLDER       key: a folder by environment variable ("%NAME%")  match: sub-path
//   NUMBERED_FOLDERS    key: key (ROW_VERSIONS: of the version keys)  match: place with %d from number
//                       (a place without %d is one place)  detail: the version keys' names begin with it
//   PROGRAM_SUBFOLDER   key: key  match: program folder place  detail: program  folder: plug-in folder
//   USER_FOLDER         number: CSIDL  folder: plug-in folder below it
//   PSFILTERPDN_LIST    number: CSIDL  folder: the settings file below it
//   GIMP_PSPI_LIST      number: CSIDL  folder: gimprc below it  match: pspi.exe below it
//                       detail: the uninstall entries' key  extra: pspi.exe below GIMP's folder
//   PLUGINDIR_LIST      number: CSIDL  folder: the INI file below it
// A place is "Value", "Subkey\\" (its default value) or "Subkey\\Value" (read_place).
//
// The table is written once, as PROBE_TABLE below, and read twice: the small fields of
// every row into one array, and the texts of every row (key, match, detail, extra,
// folder, each ended by "\0", "-" for a text the row does not have) into one string,
// row after row. So the table holds no addresses for the loader to relocate, and
// run_probe_sequence hands each probe its row unpacked.
struct PackedRow {
  ProbeKind kind;
  RegistryRoot root;
  RegistryViews views;
  unsigned char flags;
  unsigned char host_kind;
  unsigned char number;
};
#define NONE "-"
#define ROW_FIELDS(kind, root, views, flags, host_kind, number, key, match, detail, extra, folder) \
  {kind, root, views, flags, host_kind, number},
#define ROW_TEXTS(kind, root, views, flags, host_kind, number, key, match, detail, extra, folder) \
  key "\0" match "\0" detail "\0" extra "\0" folder "\0"
// The rows of each kind, with the texts they have.
#define VENDOR(ROW, vendor, key_pattern, value_key, suffix) \
  ROW(VENDOR_REGISTRY, NO_ROOT, VIEW_OWN, 0, ARCH_UNKNOWN, 0, vendor, key_pattern, value_key, suffix, NONE)
#define TEXT_SETTINGS(ROW, progid, prefix, extension, key, levels_up) \
  ROW(HOST_TEXT_SETTINGS, NO_ROOT, VIEW_OWN, 0, ARCH_UNKNOWN, levels_up, progid, prefix, extension, key, NONE)
#define HOST_FOLDER(ROW, then, root, key, subkey, name) \
  ROW(then, root, VIEW_OWN, 0, ARCH_UNKNOWN, 0, key, subkey, name, NONE, NONE)
#define VERSIONED(ROW, views, flags, hosts_key, program_place, program, plugin_place, plugin_folder) \
  ROW(VERSIONED_HOST, LOCAL_MACHINE, views, flags, ARCH_UNKNOWN, 0, hosts_key, program_place, program, plugin_place, \
      plugin_folder)
#define NUMBERED(ROW, root, flags, host_kind, key, place, first, version_name) \
  ROW(NUMBERED_FOLDERS, root, VIEW_OWN, flags, host_kind, first, key, place, version_name, NONE, NONE)
#define PROGRAM_FOLDER(ROW, views, flags, key, place, program, folder) \
  ROW(PROGRAM_SUBFOLDER, LOCAL_MACHINE, views, flags, ARCH_UNKNOWN, 0, key, place, program, NONE, folder)
#define USER(ROW, csidl, flags, host_kind, folder) \
  ROW(USER_FOLDER, NO_ROOT, VIEW_OWN, flags, host_kind, csidl, NONE, NONE, NONE, NONE, folder)

#define SHELL_OPEN "shell\\open\\command"
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
constexpr unsigned char PAINT_NET = ROW_BRIDGED | ROW_PSFILTERPDN | ROW_EXACT;  // PSFilterPdn's folders

// Rows 14 to 16 name the ProgIDs as the hosts register them, without a trailing blank.
#define PROBE_TABLE(ROW) \
  /*  1 */ VENDOR(ROW, "veltrane", "", NONE, NONE) \
  /*  2 */ VENDOR(ROW, "adobe", "photoshop", NONE, NONE) \
  /*  3 */ VENDOR(ROW, "jasc", "paint", NONE, NONE) \
  /*  4 */ VENDOR(ROW, "xara", "xarax", NONE, NONE) \
  /*  5 */ VENDOR(ROW, "microsoft\\photodraw", "", "installdest", "photodraw\\plugins") \
  /*  6 */ VENDOR(ROW, "megalux", "", "adobeloc", NONE) \
  /*  7 */ VENDOR(ROW, "computerinsel", "photoline", NONE, NONE) \
  /*  8 */ VENDOR(ROW, "igrafx", "image", NONE, NONE) \
  /*  9 */ TEXT_SETTINGS(ROW, "Photoshop.PlugIn", "photos", ".ini", "plugindirectory", 0) \
  /* 10 */ TEXT_SETTINGS(ROW, "Fireworks.Doc.2", "fireworks 2 preferences", ".txt", "extraphotoshop", 0) \
  /* 11 */ TEXT_SETTINGS(ROW, "Fireworks.Doc.3", "fireworks 3 preferences", ".txt", "extraphotoshop", 0) \
  /* 12 */ TEXT_SETTINGS(ROW, "Fireworks.Doc.4", "fireworks 4 preferences", ".txt", "extraphotoshop", 0) \
  /* 13 */ TEXT_SETTINGS(ROW, "Fireworks.Doc.5", "fireworks 5 preferences", ".txt", "extraphotoshop", 0) \
  /* 14 */ TEXT_SETTINGS(ROW, "CorelPhotoPaint.Image.7", "photop", ".ini", "dirs1", 1) \
  /* 15 */ TEXT_SETTINGS(ROW, "CorelPhotoPaint.Image.8", "photop", ".ini", "dirs1", 1) \
  /* 16 */ TEXT_SETTINGS(ROW, "CorelPhotoPaint.Image.9", "photop", ".ini", "dirs1", 1) \
  /* 17 */ TEXT_SETTINGS(ROW, "CorelPhotoPaint.Image.10", "photop", ".ini", "dirs1", 1) \
  /* 18 */ ROW(WINDOWS_INI, NO_ROOT, VIEW_OWN, 0, ARCH_UNKNOWN, 0, "ulead32.ini", "plugindir", NONE, NONE, NONE) \
  /* 19 */ HOST_FOLDER(ROW, HOST_FOLDER_ADMIT, CLASSES_ROOT, "PI3.Image", SHELL_OPEN, "plugin") \
  /* 20 */ HOST_FOLDER(ROW, HOST_FOLDER_BINARY, CLASSES_ROOT, "PainterFile", SHELL_OPEN, "painter.set") \
  /* 21 */ HOST_FOLDER(ROW, HOST_FOLDER_ADMIT, LOCAL_MACHINE, CURRENT_VERSION "App Paths", "Painter6.exe", "plugins") \
  /* 22 */ HOST_FOLDER(ROW, HOST_FOLDER_BINARY, CLASSES_ROOT, "PClassicFile", SHELL_OPEN, "pclassic.set") \
  /* Photoshop, 64-bit only since its 2019 release: one key per version ("180.0"). */ \
  /* 23 */ VERSIONED(ROW, VIEW_64, ROW_VERSIONS, "SOFTWARE\\Adobe\\Photoshop", "ApplicationPath", "Photoshop.exe",   \
                     "PluginPath\\", "Plug-ins")                                                                   \
  /* The folder every Photoshop since 2015 also loads, below the 64-bit Common Files. */ \
  /* 24 */ ROW(SHARED_FOLDER, NO_ROOT, VIEW_OWN, 0, ARCH_UNKNOWN, 0, "%CommonProgramW6432%", "Adobe\\Plug-Ins\\CC", NONE, \
               NONE, NONE)                                                                                        \
  /* Photoshop Elements: the program folder is a subkey's default value, not a value. */ \
  /* 25 */ VERSIONED(ROW, VIEWS_64_32, ROW_VERSIONS, "SOFTWARE\\Adobe\\Photoshop Elements", "ApplicationPath\\",     \
                     "PhotoshopElementsEditor.exe", "PluginPath\\", NONE)                                          \
  /* PaintShop Pro (X4 on): the folders the user set, per version. */ \
  /* 26 */ NUMBERED(ROW, CURRENT_USER, ROW_VERSIONS, ARCH_UNKNOWN, "SOFTWARE\\Corel\\PaintShop Pro",            \
                    "FileLocations\\PlugIns\\%d\\Dir", 0, NONE)                                                   \
  /* Paint.NET for all users, through the PSFilterPdn effect. */ \
  /* 27 */ PROGRAM_FOLDER(ROW, VIEWS_64_32, PAINT_NET, "SOFTWARE\\paint.net", "TARGETDIR", "paintdotnet.exe",    \
                          "Effects")                                                                             \
  /* 28 */ USER(ROW, CSIDL_PERSONAL, PAINT_NET | ROW_FOUND_HOST, ARCH_UNKNOWN, "paint.net App Files\\Effects") \
  /* 29 */ ROW(PSFILTERPDN_LIST, NO_ROOT, VIEW_OWN, ROW_BRIDGED | ROW_FOUND_HOST | ROW_EXACT, ARCH_UNKNOWN,          \
               CSIDL_PERSONAL, NONE, NONE, NONE, NONE, "paint.net User Files\\PSFilterPdn.xml")                  \
  /* GIMP through the PSPI plug-in. */ \
  /* 30 */ ROW(GIMP_PSPI_LIST, NO_ROOT, VIEW_OWN, ROW_EXACT, ARCH_UNKNOWN, CSIDL_APPDATA, NONE,                     \
               "GIMP\\2.10\\plug-ins\\pspi.exe", CURRENT_VERSION "Uninstall", "lib\\gimp\\2.0\\plug-ins\\pspi.exe",   \
               "GIMP\\2.10\\gimprc")                                                                              \
  /* 31 */ NUMBERED(ROW, CURRENT_USER, ROW_EXACT, ARCH_UNKNOWN, "Software\\Computerinsel\\PhotoLine\\Settings",   \
                    "PlugInPathNew%d", 1, NONE)                                                                  \
  /* 32 */ VERSIONED(ROW, VIEWS_64_32, ROW_VERSIONS | ROW_EXACT, "SOFTWARE\\Serif\\PhotoPlus", NONE, NONE,       \
                     "Directories\\PluginRootDir", NONE)                                                          \
  /* IrfanView: the 64-bit one in the 64-bit view, the 32-bit one in the 32-bit view. */ \
  /* 33 */ PROGRAM_FOLDER(ROW, VIEW_64, ROW_EXACT, CURRENT_VERSION "Uninstall", "IrfanView64\\InstallLocation",    \
                          "i_view64.exe", "Plugins\\Adobe 8BF")                                                  \
  /*    */ PROGRAM_FOLDER(ROW, VIEW_32, ROW_EXACT | ROW_CONTINUES, CURRENT_VERSION "Uninstall",                      \
                          "IrfanView\\InstallLocation", "i_view32.exe", "Plugins\\Adobe 8BF")                     \
  /* Affinity: 64-bit only. */ \
  /* 34 */ USER(ROW, CSIDL_APPDATA, ROW_EXACT, ARCH_X64, "Affinity\\Photo\\2.0\\Plugins") \
  /* 35 */ USER(ROW, CSIDL_PROFILE, ROW_EXACT, ARCH_X64, ".affinity\\Affinity\\3.0\\Plugins") \
  /* Paint Shop Pro X to X3 (versions 10 to 13 and 12.5), 32-bit only: spelt with blanks, unlike row 26. */ \
  /* 36 */ NUMBERED(ROW, CURRENT_USER, ROW_VERSIONS, ARCH_X86, "SOFTWARE\\Corel\\Paint Shop Pro",              \
                    "FileLocations\\PlugIns\\%d\\Dir", 0, NONE)                                                   \
  /* PhotoImpact (X3 and the versions that share its settings), 32-bit only: ulead32.ini in the */ \
  /* all-users application data, [PLUG IN] PLUGINDIR1, PLUGINDIR2, ... */ \
  /* 37 */ ROW(PLUGINDIR_LIST, NO_ROOT, VIEW_OWN, 0, ARCH_X86, CSIDL_COMMON_APPDATA, NONE, NONE, NONE, NONE,         \
               "Ulead Systems\\ulead32.ini")                                                                      \
  /* Photo-Brush, 32-bit only: one key per version, "Photo-Brush <n>", its Plugins\\Path. */ \
  /* 38 */ NUMBERED(ROW, CURRENT_USER, ROW_VERSIONS | ROW_EXACT, ARCH_X86, "Software\\MediaChance", "Plugins\\Path", \
                    0, "photo-brush ")                                                                             \
  /* PhotoDemon, 32-bit only: its Data folder in the user's local application data when it */ \
  /* cannot write beside its program, with 8bfPlugins in it. */ \
  /* 39 */ USER(ROW, CSIDL_LOCAL_APPDATA, ROW_EXACT, ARCH_X86, "PhotoDemon\\Data\\8bfPlugins")

constexpr PackedRow probe_rows[] = {PROBE_TABLE(ROW_FIELDS)};
constexpr char probe_texts[] = PROBE_TABLE(ROW_TEXTS);

// The rows as the report, the log and the README number them: a record with
// ROW_CONTINUES belongs to the row before it.
constexpr int numbered_rows() {
  int count = 0;
  for (const PackedRow& row : probe_rows) count += !(row.flags & ROW_CONTINUES);
  return count;
}
static_assert(numbered_rows() == PROBE_ROWS, "the probe table and PROBE_ROWS disagree on the number of rows");

// `found` carries what a row found to the rows after it that belong to the same host
// (the shared folder's row, and rows with ROW_FOUND_HOST); every other row starts
// without one, so that one editor's program is never taken for another's.
// `findings` is what the row itself tells of its folders (its number, its host's
// kind, bridged); each probe adds what it learns on its own copy.
void run_probe(const ProbeRow& row, const ProbeFindings& findings, char* work_path, FoundHost& found) {
  if (row.kind != SHARED_FOLDER && !(row.flags & ROW_FOUND_HOST)) found.found = 0;
  switch (row.kind) {
    case VENDOR_REGISTRY:
      scan_vendor_registry("software", row.key, row.match, row.detail, row.extra, findings);
      break;
    case HOST_TEXT_SETTINGS:
      scan_host_text_settings(row.key, row.match, row.detail, row.extra, row.number, findings);
      break;
    case WINDOWS_INI:
      scan_windows_ini(row.key, row.match, findings);
      break;
    case HOST_FOLDER_ADMIT:
    case HOST_FOLDER_BINARY: {
      char program[PATH_CAPACITY];
      if (!host_folder_from_command(root_key(row.root), row.key, row.match, work_path, program)) break;
      if (!join_path(work_path, row.detail, nullptr)) break;
      const ProbeFindings with_program = with_host_program(findings, program);
      if (row.kind == HOST_FOLDER_ADMIT)
        admit_candidate(work_path, with_program);
      else
        scan_binary_settings(work_path, with_program);
      break;
    }
    case VERSIONED_HOST:
      scan_versioned_host(row, findings, found);
      break;
    case SHARED_FOLDER:
      admit_shared_folder(row, findings, found);
      break;
    case NUMBERED_FOLDERS:
      scan_numbered_folders(row, findings);
      break;
    case PROGRAM_SUBFOLDER:
      scan_program_subfolder(row, findings, found);
      break;
    case USER_FOLDER:
      scan_user_folder(row, findings, found);
      break;
    case PSFILTERPDN_LIST:
      scan_psfilterpdn_settings(row, findings, found);
      break;
    case GIMP_PSPI_LIST:
      scan_gimp_settings(row, findings);
      break;
    case PLUGINDIR_LIST:
      scan_plugindir_settings(row, findings);
      break;
  }
}

// A row of the table as the probes take it; `texts` is where its texts begin in
// probe_texts, and is moved past them.
ProbeRow unpack(const PackedRow& packed, const char*& texts) {
  ProbeRow row = {packed.kind, packed.root, packed.views, packed.flags, packed.host_kind, packed.number,
                  nullptr, nullptr, nullptr, nullptr, nullptr};
  const char** fields[] = {&row.key, &row.match, &row.detail, &row.extra, &row.folder};
  for (const char** field : fields) {
    *field = texts[0] == '-' && !texts[1] ? nullptr : texts;
    texts += text_length(texts) + 1;
  }
  return row;
}

}  // namespace

void run_probe_sequence() {
  char work_path[PATH_CAPACITY];
  static FoundHost found;  // static: it holds a path
  int number = 0;
  const char* texts = probe_texts;
  for (const PackedRow& packed : probe_rows) {
    const ProbeRow row = unpack(packed, texts);
    if (!(row.flags & ROW_CONTINUES)) ++number;
    const ProbeFindings findings = {number, nullptr, static_cast<Architecture>(row.host_kind), row.flags & ROW_BRIDGED, 0};
    run_probe(row, findings, work_path, found);
  }
}
