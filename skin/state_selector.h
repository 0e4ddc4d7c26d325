// The skin's multi-state control and its picker popup: an image cut from a sprite
// bitmap by the current value, with a label beside it. A check box (toggle mode: even values rest, odd
// values are the pressed look), a counter (every press steps and reports), or a
// grid whose left press opens the picker popup with every value as a numbered cell.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"
#include "control.h"

constexpr int SEL_TRANSPOSED = 0x01;  // image mirrored across its diagonal; wins over SEL_KEYED
constexpr int SEL_GRID = 0x02;        // 26 x 26 cells, 4 per row; left press opens the picker
constexpr int SEL_WIDE = 0x04;        // frames twice as wide as the strip is high
constexpr int SEL_KEYED = 0x08;       // white transparent over the background, via the back buffer
constexpr int SEL_VALUE_ONLY = 0x10;  // holds value and key only: no image, mouse or clamping

constexpr int SELECTOR_TEXT_CAPACITY = 40;  // label and key: 39 characters and the terminator
constexpr int GRID_CELL = 26;
constexpr int GRID_COLUMNS = 4;

class StateSelector final : public Control {
public:
  // `placement`: left, top, erase width, erase height. `label_offset`: the label's
  // x offset + 0x8000 in the high 16 bits, its upward y offset + 0x8000 in the low
  // ones. A range of 0 or less is the toggle mode with maximum -range; above 0 the
  // counter mode with maximum range. `key_text` may be null.
  StateSelector(ControlHost* host, const RECT& placement, DWORD strip_id, DWORD label_offset, const char* label_text,
                int lowest, int range, const char* status, int command, int style_bits, const char* key_text);
  ~StateSelector();  // gives the strip back to the bitmap cache

  int on_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void render(HDC dc) override;
  int get_value() override;            // value - minimum (value itself with SEL_VALUE_ONLY)
  void set_value(int offset) override;  // minimum + offset, clamped; no repaint, no report
  void destroy(int flags) override;
  // A check box (toggle mode, checked from value 2 on) named by its label; counters
  // and grids are not reached by the keyboard.
  int describe(ControlAccess* access) override;

  int value;
  RECT hit_rect;    // where the image is drawn and the mouse hits (inclusive)
  RECT erase_rect;  // image and label: covered with the background when hidden
  int style;
  SkinBitmap* strip;
  int minimum;
  int maximum;
  char key[SELECTOR_TEXT_CAPACITY];
  int toggle_mode;
  int label_dx;
  int label_dy;  // positive moves the label up
  char label[SELECTOR_TEXT_CAPACITY];

private:
  void step(int delta);
  void redraw();
  int pick(HWND window);
  void render_cell(HDC dc, int x, int y);
  void render_frame(HDC dc, int x, int y);
};

// A value as the selector and the picker write it: "%0.2i", at least two digits.
void format_number(char (&text)[16], int number);

// The picker popup of a grid selector (picker_popup.cpp): a modal popup above and to
// the left of the selector that shows every value as a numbered cell; a release on a
// cell picks it, Escape or the right button closes it without a choice.

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
