// Command codes the installer dialog receives with the skin's private command
// message (WM_SKIN_COMMAND: wParam = the code, lParam = 0). The dialog's own
// controls are named in resources/resource_ids.h; WM_COMMAND IDOK (Enter) installs,
// or closes once installed, and IDCANCEL closes.
#pragma once
#include "skin_messages.h"

constexpr int CMD_CLOSE = 2;          // exit and finish buttons: close the dialog
constexpr int CMD_HELP = 215;         // sent on WM_HELP (F1): does nothing
constexpr int CMD_INSTALL = 219;      // install button: the install path (WM_COMMAND 1)
constexpr int CMD_OPEN_PAGE = 1029;   // link label: open the maker's installation page
constexpr int CMD_SELECTOR = 2000;    // a plug-in selector changed
