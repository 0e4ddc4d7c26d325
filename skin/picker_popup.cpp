#include "state_selector.h"

#include <string.h>

#include "blit.h"

StateSelector* active_selector = nullptr;
ControlHost* popup_host = nullptr;
int popup_width;  // set to 198 by every run
int popup_height = 0;
DWORD picked_point = 0;

namespace {

constexpr DWORD PICKER_STYLE = WS_POPUP | WS_BORDER | DS_MODALFRAME;  // 0x80800080
constexpr int CELL_PITCH_X = 44;
constexpr int CELL_PITCH_Y = 36;

// The anchor is in screen pixels; the popup's size is kept in 96-DPI pixels.
void place_popup(HWND popup, LPARAM anchor) {
  int x = static_cast<int>(anchor & 0xFFFF);
  int y = static_cast<int>((anchor >> 16) & 0xFFFF);
  int width = to_device(popup_width), height = to_device(popup_height);
  SetWindowPos(popup, nullptr, x - width, y - height, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  picked_point = 0;
}

// Every value as its sheet cell with its number (value + 1, first two characters).
void paint_cells(HWND popup) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(popup, &paint);
  tile_bitmap(popup_host->background, dc, paint.rcPaint);
  prepare_window_dc(dc);
  const StateSelector* selector = active_selector;
  for (int i = 0; i <= selector->maximum; ++i) {
    int c = i % GRID_COLUMNS, r = i / GRID_COLUMNS;
    int x = c * CELL_PITCH_X, y = r * CELL_PITCH_Y;
    RECT cell = {x + 18, y + 10, x + 18 + GRID_CELL, y + 10 + GRID_CELL};
    if (selector->style & SEL_TRANSPOSED)
      copy_rect_transposed(selector->strip, dc, cell, c * GRID_CELL, r * GRID_CELL);
    else
      copy_rect(selector->strip, dc, cell, c * GRID_CELL, r * GRID_CELL);
    char number[16];
    format_number(number, i + 1);
    number[2] = '\0';
    text_at(dc, x + 4, y + 12, number);
  }
  EndPaint(popup, &paint);
}

}  // namespace

void build_picker_template(void* buffer) {
  memset(buffer, 0, PICKER_TEMPLATE_SIZE);
  DWORD style = PICKER_STYLE;
  memcpy(buffer, &style, sizeof style);
}

INT_PTR CALLBACK picker_proc(HWND popup, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
  case WM_INITDIALOG:
    place_popup(popup, lparam);
    return 0;
  case WM_PAINT:
    paint_cells(popup);
    return 0;
  case WM_COMMAND:
    if (LOWORD(wparam) != IDCANCEL) return 0;
    EndDialog(popup, 0);
    return 1;
  case WM_LBUTTONUP:  // kept in 96-DPI pixels, as the hit grid counts
    picked_point = MAKELONG(to_logical(LOWORD(lparam)), to_logical(HIWORD(lparam)));
    SendMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    return 0;
  case WM_RBUTTONDOWN:
    SendMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    return 0;
  default:
    return 0;
  }
}

DWORD run_picker(StateSelector* selector, HWND window) {
  active_selector = selector;
  popup_host = selector->host;
  DWORD dialog_template[PICKER_TEMPLATE_SIZE / sizeof(DWORD)];  // templates must be DWORD-aligned
  build_picker_template(dialog_template);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  popup_width = 198;
  popup_height = (selector->maximum / GRID_COLUMNS) * CELL_PITCH_Y + 50;
  // The popup's bottom-right corner sits just above and left of the selector; below
  // it when the selector is too close to the top of the window.
  RECT hit = to_device(selector->hit_rect);
  int x = hit.left + origin.x - 1;
  int y = hit.top + origin.y - 1;
  if (selector->hit_rect.top < popup_height) y = origin.y + hit.bottom + to_device(popup_height);
  LPARAM anchor = static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | static_cast<DWORD>(x & 0xFFFF));
  // A repaint of the window inside the popup's loop ends with the host's paint_dc
  // cleared; the dispatch's DC is still held, so the redraw after the popup and the
  // dispatch's own release get it back.
  HDC dispatch_dc = popup_host->paint_dc;
  DialogBoxIndirectParamA(popup_host->instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialog_template), window,
                          picker_proc, anchor);
  popup_host->paint_dc = dispatch_dc;
  return picked_point;
}

int picked_index(DWORD point, int maximum) {
  int x = static_cast<int>(point & 0xFFFF);
  int y = static_cast<int>((point >> 16) & 0xFFFF);
  int column = (x - 9) / CELL_PITCH_X;
  int row = (y - 5) / CELL_PITCH_Y;
  if (column < 0) column = 0;
  if (row < 0) row = 0;
  int index = column + GRID_COLUMNS * row;
  return index > maximum ? maximum : index;
}
