// Keyboard access to the skin's controls. A control a keyboard user can reach gets a
// focus holder: an empty child window of the dialog with a tab stop, so that the
// dialog manager's own Tab and Shift+Tab walk the skin's controls and the dialog's
// real controls alike, and Enter and Esc keep their dialog meanings. A holder turns
// Space (and Enter, on push buttons and links) into the press and release a click
// gives its control, shows the control's status text while it has the focus as the
// pointer over it does, and the skin draws the focus cue once the keyboard has been
// used (Windows' convention: not before).
#pragma once
#include <windows.h>

#include "control.h"

// A key message's lParam bit 30: the key was down already (a held key's repeat).
constexpr LPARAM KEY_REPEATED = 0x40000000;

// Makes the control's focus holder, last in the dialog's tab order so far; `name`
// is its window text. Holders are made in the order Tab should take.
void add_focus_holder(HWND dialog, Control* control, const char* name);

// Shows each holder of the host's controls exactly while its control is visible and
// takes input (a hidden holder leaves the tab order, and a focus it had goes on to
// the next control). Call it whenever that changes.
void sync_focus_holders(const ControlHost* host);

// The holders' window procedure.
LRESULT CALLBACK focus_holder_proc(HWND holder, UINT message, WPARAM wparam, LPARAM lparam);
