#include "link_label.h"

#include "blit.h"
#include "bounded_text.h"
#include "handles.h"

LinkLabel::LinkLabel(ControlHost* owner, const RECT& origin, const char* link_text, int command, const char* status)
    : Control(owner, status), visited(0), hit_rect{origin.left, origin.top, origin.left, origin.top}, text() {
  copy_text(text, link_text ? link_text : "");  // a longer text keeps its first 59 characters
  command_id = command;
}

void LinkLabel::destroy(int flags) { destroy_control(this, flags); }

int LinkLabel::describe(ControlAccess* access) {
  access->role = ROLE_LINK;
  access->state = STATE_SYSTEM_LINKED | (visited ? STATE_SYSTEM_TRAVERSED : 0);
  access->name = text;
  access->area = hit_rect;
  return 1;
}

void LinkLabel::render(HDC dc) {
  if (!visible) {
    tile_bitmap(host->background, dc, hit_rect);
    return;
  }
  SelectGuard font(dc, underline_font);
  COLORREF colour = visited ? VISITED_LINK_COLOUR : LINK_COLOUR;
  SetTextColor(dc, skin_colours.high_contrast ? skin_colours.link : colour);
  text_at(dc, hit_rect.left, hit_rect.top, text);
  SetTextColor(dc, skin_colours.text);  // black, unless in high contrast
  SIZE extent = {0, 0};
  GetTextExtentPoint32A(dc, text, static_cast<int>(text_length(text)), &extent);
  extent.cx = to_logical_ceil(extent.cx);
  extent.cy = to_logical_ceil(extent.cy);
  hit_rect.right = hit_rect.left + extent.cx;
  hit_rect.bottom = hit_rect.top + extent.cy;
}

// A move over the link stops the dispatch there; the press shows purple only from
// the next render on.
int LinkLabel::on_mouse(HWND window, UINT message, WPARAM, LPARAM lparam) {
  bool inside = point_in_rect(hit_rect.left, hit_rect.top, hit_rect.right, hit_rect.bottom, static_cast<DWORD>(lparam));
  if (message == WM_MOUSEMOVE) {
    show_status(inside ? 1 : 0);
    if (!inside) return 0;
    SetCursor(link_cursor);
    return 1;
  }
  if (message == WM_LBUTTONDOWN && inside) {
    visited = 1;
    report(window, command_id);
    return 1;
  }
  return 0;
}
