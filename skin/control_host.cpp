#include "control_host.h"

HFONT normal_font = nullptr;
HFONT underline_font = nullptr;
HCURSOR link_cursor = nullptr;

void prepare_window_dc(HDC dc) {
  SelectObject(dc, normal_font);
  SetBkMode(dc, TRANSPARENT);
}
