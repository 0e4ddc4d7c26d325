#include "state_selector.h"

#include "blit.h"
#include "bounded_text.h"
#include "message_text.h"

void format_number(char (&text)[16], int number) { format_text(text, "%0.2i", number); }

StateSelector::StateSelector(ControlHost* owner, const RECT& placement, DWORD strip_id, DWORD label_offset,
                             const char* label_text, int lowest, int range, const char* status, int command,
                             int style_bits, const char* key_text)
    : Control(owner, status),
      value(0),
      hit_rect(),
      erase_rect(),
      style(style_bits),
      strip(nullptr),
      minimum(0),
      maximum(0),
      key(),
      toggle_mode(0),
      label_dx(0),
      label_dy(0),
      label() {
  if (key_text) copy_text(key, key_text);  // longer keys and labels keep their first 39 characters
  if (style & SEL_VALUE_ONLY) return;
  int left = placement.left, top = placement.top;
  strip = new SkinBitmap(host->instance, host->paint_dc, strip_id);
  erase_rect = {left, top, left + placement.right, top + placement.bottom};
  // Without a strip the frame size is unknown: the hit area shrinks to the corner.
  int h = strip ? strip->height : 0;
  int size = style & SEL_GRID ? GRID_CELL : h;
  hit_rect = {left, top, left + size, top + size};
  if (style & SEL_WIDE) hit_rect.right = left + 2 * h;
  minimum = lowest;
  value = lowest;
  command_id = command;
  maximum = range <= 0 ? -range : range;
  toggle_mode = range <= 0;
  label_dx = static_cast<int>(label_offset >> 16) - 0x8000;
  label_dy = static_cast<int>(label_offset & 0xFFFF) - 0x8000;
  copy_text(label, label_text ? label_text : "");
}

StateSelector::~StateSelector() {
  if (!strip) return;
  bitmap_cache.release(strip);
  delete strip;
}

void StateSelector::destroy(int flags) { destroy_control(this, flags); }

int StateSelector::describe(ControlAccess* access) {
  if (!toggle_mode || (style & (SEL_GRID | SEL_VALUE_ONLY))) return 0;
  access->role = ROLE_CHECK_BOX;
  access->state = value >= 2 ? STATE_SYSTEM_CHECKED : 0;
  access->name = label;
  access->area = hit_rect;
  return 1;
}

int StateSelector::get_value() { return style & SEL_VALUE_ONLY ? value : value - minimum; }

void StateSelector::set_value(int offset) {
  if (style & SEL_VALUE_ONLY) {
    value = offset;
    return;
  }
  value = offset + minimum;
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
}

void StateSelector::redraw() { render(host->paint_dc); }

// Steps wrap: above maximum to minimum, below minimum to maximum.
void StateSelector::step(int delta) {
  value += delta;
  if (value > maximum) value = minimum;
  if (value < minimum) value = maximum;
  redraw();
}

void StateSelector::render(HDC dc) {
  if (style & SEL_VALUE_ONLY) return;
  if (!visible) {
    tile_bitmap(host->background, dc, erase_rect);
    return;
  }
  int x = hit_rect.left + label_dx;
  int y = hit_rect.top - label_dy;
  if (!strip) {
    tile_bitmap(host->background, dc, hit_rect);
    char number[16];
    format_number(number, value);
    text_at(dc, x, y, number);
  } else if (style & SEL_GRID) {
    render_cell(dc, x, y);
  } else {
    render_frame(dc, x, y);
  }
}

// The value's cell, then its number (value + 1) on a patch of background in place
// of the label.
void StateSelector::render_cell(HDC dc, int x, int y) {
  int sx = (value % GRID_COLUMNS) * GRID_CELL;
  int sy = (value / GRID_COLUMNS) * GRID_CELL;
  if (style & SEL_TRANSPOSED)
    copy_rect_transposed(strip, dc, hit_rect, sx, sy);
  else
    copy_rect(strip, dc, hit_rect, sx, sy);
  RECT patch = {x, y, x + 14, y + 13};
  tile_bitmap(host->background, host->back_dc, patch);
  char number[16];
  format_number(number, value + 1);
  text_at(host->back_dc, x, y, number);
  blit_rect(dc, host->back_dc, patch);
}

// The value's frame of the strip, then the label. A frame beyond the strip draws
// nothing at all.
void StateSelector::render_frame(HDC dc, int x, int y) {
  int w = style & SEL_WIDE ? 2 * strip->height : strip->height;
  int start = value * w;
  if (start + w > strip->width) return;
  if (style & SEL_TRANSPOSED) {
    copy_columns_transposed(strip, dc, start, hit_rect.left, start + w, hit_rect.top);
  } else if (style & SEL_KEYED) {
    if (host->background) tile_bitmap(host->background, host->back_dc, hit_rect);
    copy_columns_keyed(strip, host->back_dc, start, hit_rect.left, start + w, hit_rect.top);
    blit_rect(dc, host->back_dc, hit_rect);
  } else {
    copy_columns(strip, dc, start, hit_rect.left, start + w, hit_rect.top);
  }
  text_at(dc, x, y, label);
}

// The picker's choice becomes the value (never more than maximum) and is reported,
// in toggle mode too. A popup closed without a choice changes nothing.
int StateSelector::pick(HWND window) {
  DWORD point = run_picker(this, window);
  if (!point) return 0;
  value = picked_index(point, maximum);
  redraw();
  report(window, command_id);
  return 1;
}

int StateSelector::on_mouse(HWND window, UINT message, WPARAM, LPARAM lparam) {
  if (style & SEL_VALUE_ONLY) return 0;
  if (!point_in_rect(hit_rect.left, hit_rect.top, hit_rect.right, hit_rect.bottom, static_cast<DWORD>(lparam))) {
    if (message == WM_MOUSEMOVE) show_status(0);
    if (toggle_mode && value % 2 != 0) {  // leaving with a button held reverts the press
      --value;
      redraw();
    }
    return 0;
  }
  bool grid = (style & SEL_GRID) != 0;
  switch (message) {
  case WM_MOUSEMOVE:
    show_status(1);
    return 0;
  case WM_LBUTTONDOWN:
    if (grid) return pick(window);
    step(1);
    if (!toggle_mode) report(window, command_id);
    return 1;
  case WM_RBUTTONDOWN:
    if (grid) {
      report(window, command_id + 1);
      return 0;
    }
    step(-1);
    if (!toggle_mode) report(window, command_id);
    return 1;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    if (!toggle_mode || grid || value % 2 == 0) return 0;
    step(message == WM_LBUTTONUP ? 1 : -1);
    report(window, command_id);
    return 1;
  default:
    return 0;
  }
}
