// The installer's one dialog: the folder drop-down with the browse entry, the
// skinned buttons, link and plug-in selector, the install command and the
// completion screen. Built from the dialog resource MAIN_DIALOG_NAME.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include "bounded_text.h"  // PATH_CAPACITY
#include "control.h"
#include "plugin_writer.h"

constexpr int DIALOG_CONTROL_SLOTS = 70;
constexpr int SLOT_EXIT = 0, SLOT_INSTALL = 1, SLOT_PICTURE = 2, SLOT_LINK = 3;
constexpr int FIRST_SELECTOR_SLOT = 4, LAST_SELECTOR_SLOT = 68, SLOT_FINISH = 69;

constexpr char DIALOG_TITLE[] = "Veltrane Plugins : Installation";
constexpr char BROWSE_ENTRY[] = "******** BROWSE ********";
constexpr char MAKER_PAGE[] = "http://www.veltrane.example/install.htm";
constexpr char MAKER_ADDRESS[] = "www.veltrane.example";

// The dialog's state; one dialog at a time.
struct InstallerDialog {
  Control* dialog_controls[DIALOG_CONTROL_SLOTS];  // owned by the control host
  int installed;             // 1 once the completion screen shows
  int candidate_count;       // candidate entries in the drop-down
  int browse_entry_present;  // 1 once a browsed folder stands before the browse entry
  char work_path[PATH_CAPACITY];
  BROWSEINFOA browse_info;
  char preset_folder[PATH_CAPACITY];  // a folder from the command line, listed as browsed
  PayloadFailures failures;           // what the last write run could not write
  HHOOK enter_filter;                 // passes a held Enter's first press only
};
extern InstallerDialog installer_dialog;

INT_PTR CALLBACK installer_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
