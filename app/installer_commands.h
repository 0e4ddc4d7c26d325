// Command codes the installer dialog receives with the skin's private command
// message (WM_SKIN_COMMAND: wParam = the code, lParam = 0), and the commands its
// window sends itself.
#pragma once
#include "skin_messages.h"

constexpr int CMD_CLOSE = 2;          // exit and finish buttons: close the dialog
constexpr int CMD_HELP = 215;         // sent on WM_HELP (F1): does nothing
constexpr int CMD_INSTALL = 219;      // install button: the install path (WM_COMMAND 1)
constexpr int CMD_OPEN_PAGE = 1029;   // link label: open the maker's installation page
constexpr int CMD_SELECTOR = 2000;    // a plug-in selector changed

// WM_COMMAND ids: IDOK (Enter) installs, or closes once installed; IDCANCEL closes.
constexpr int ID_FOLDER_LIST = 1033;  // the drop-down of folders
constexpr int ID_HIDDEN_BUTTON = 1034;  // clicked on every selection change; ignored
