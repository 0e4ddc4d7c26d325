// The picker popup of a grid selector: a modal popup above and to the left of the
// selector that shows every value as a numbered cell; a release on a cell picks it,
// Escape or the right button closes it without a choice.
#pragma once
#include <windows.h>

#include "painter.h"
#include "state_selector.h"

constexpr int PICKER_TEMPLATE_SIZE = 28;

// The picker's state, one popup at a time; kept after a run until the next one.
extern StateSelector* active_selector;
extern ControlHost* popup_host;
extern int popup_width;   // 198 from the first run on
extern int popup_height;  // (maximum div 4) * 36 + 50
extern DWORD picked_point;  // packed client point of the release; 0 = no choice

// An in-memory dialog template without items: style 0x80800080 (popup, border,
// modal frame), everything else zero. `buffer` holds 28 bytes, DWORD-aligned.
void build_picker_template(void* buffer);

INT_PTR CALLBACK picker_proc(HWND popup, UINT message, WPARAM wparam, LPARAM lparam);

// Runs the popup for `selector`, owned by `window`; returns picked_point.
DWORD run_picker(StateSelector* selector, HWND window);

// The value a release at `point` picks on the hit grid (pitch 44 x 36 from (9, 5)),
// at most `maximum`.
int picked_index(DWORD point, int maximum);
