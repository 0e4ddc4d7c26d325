// Private messages of the skin toolkit. Controls post them, never send them, so a
// control never re-enters the window while it is still handling a mouse message.
#pragma once
#include <windows.h>

// A skin control reports its command: wParam = the command number (the control's
// command_id, or command_id + 1 for a grid selector's right press), lParam = 0.
constexpr UINT WM_SKIN_COMMAND = WM_USER + 0x100;  // 1280
