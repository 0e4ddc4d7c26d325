// The skinned dialog as accessibility tools see it. Its skin controls are no
// windows, so the dialog answers WM_GETOBJECT itself with an IAccessible object
// (MSAA; UI Automation reads it through its MSAA proxy) whose children are the rows
// below, in reading order: each with a role, a name, its state and its place.
// oleacc.dll is loaded when the first question comes, from the system folder only.
#pragma once
#include <windows.h>

#include "control.h"

constexpr int ACCESS_ROW_CAPACITY = 16;

// One thing a screen reader meets on the dialog's screen.
struct AccessRow {
  Control* control;  // a skin control (its state and place are its own), or null
  HWND window;       // where the focus goes for it: its focus holder, or a window of
                     // the dialog's own (the folder list); null for text
  const char* name;  // empty: a control's own text names it
  int role;          // AccessRole, of a row without a control
  RECT area;         // where a text row's text stands, 96-DPI client pixels
};

// The rows of the one skinned dialog, in reading order.
struct AccessTable {
  HWND dialog;
  const char* title;  // the dialog's name
  int count;
  AccessRow rows[ACCESS_ROW_CAPACITY];
};
extern AccessTable access_table;

// Starts the rows afresh for the screen the dialog shows now.
void begin_access_rows(HWND dialog, const char* title);
// A skin control, named by `name` or, when that is empty, by its own text.
void add_control_row(Control* control, const char* name);
// A window of the dialog's own, named for a screen reader.
void add_window_row(HWND window, int role, const char* name);
// Text the skin paints.
void add_text_row(const char* text, const RECT& area);

// WM_GETOBJECT of the dialog: the LRESULT to answer with, or 0 for the default
// handling (objects other than the client area, or no oleacc.dll).
LRESULT answer_get_object(WPARAM wparam, LPARAM object_id);

// Tells accessibility tools that the row of `window` has the focus, and that the
// check boxes may have changed state.
void announce_focus(HWND window);
void announce_check_boxes();
