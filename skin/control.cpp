#include "control.h"

#include "blit.h"
#include "bounded_text.h"
#include "handles.h"
#include "skin_messages.h"

Control::Control(ControlHost* owner, const char* text)
    : interactive(1), visible(1), hidden_painted(0), status_state(0), command_id(0), host(owner), focus_holder(nullptr) {
  if (host->count < CONTROL_CAPACITY) host->controls[host->count++] = this;
  copy_text(status_text, text ? text : "");  // a longer text keeps its first 79 characters
}

int Control::reserved1() { return 0; }
int Control::get_value() { return 0; }
int Control::reserved2() { return 0; }
int Control::reserved3() { return 0; }
void Control::set_value(int) {}
void Control::destroy(int flags) { destroy_control(this, flags); }
int Control::describe(ControlAccess*) { return 0; }

void Control::report(HWND window, int code) const {
  if (command_id) PostMessageA(window, WM_SKIN_COMMAND, static_cast<WPARAM>(code), 0);
}

void Control::set_visible(int flag) {
  if (flag) {
    hidden_painted = 0;
    visible = 1;
    interactive = 1;
  } else {
    visible = 0;
    interactive = 0;
  }
  repaint();
}

void Control::repaint() {
  if (hidden_painted) return;
  if (host->paint_dc) {
    render(host->paint_dc);
  } else {
    WindowDc dc(host->window);
    prepare_window_dc(dc.get());
    render(dc.get());
  }
  if (!visible) hidden_painted = 1;
}

void Control::show_status(int state) {
  if (state == status_state || !status_text[0]) return;
  const RECT& line = host->status_rect;
  tile_bitmap(host->background, host->back_dc, line);
  char part[STATUS_TEXT_CAPACITY];
  copy_text(part, status_text);
  char* at = part;
  while (*at && *at != '@') ++at;
  if (state == 1) {
    *at = '\0';
    text_at(host->back_dc, line.left, line.top, part);
  } else if (state == 2 && *at) {
    text_at(host->back_dc, line.left, line.top, at + 1);
  }
  blit_rect(host->paint_dc, host->back_dc, line);
  draw_focus_cue(host, host->paint_dc);  // a cue beside the status line may just have been covered
  status_state = state;
}

// Through the window procedure and the host's dispatch, as the window system hands
// over a mouse message, at the point in device pixels.
void Control::send_mouse(UINT message, int inside) {
  ControlAccess access;
  if (!describe(&access)) return;
  LPARAM point = inside ? MAKELPARAM(to_device((access.area.left + access.area.right) / 2),
                                     to_device((access.area.top + access.area.bottom) / 2))
                        : MAKELPARAM(0xFFFF, 0xFFFF);
  SendMessageA(host->window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, point);
}

int Control::point_in_rect(int left, int top, int right, int bottom, DWORD point) {
  int x = static_cast<int>(point & 0xFFFF);
  int y = static_cast<int>((point >> 16) & 0xFFFF);
  return left <= x && x <= right && top <= y && y <= bottom;
}

RECT focus_ring(const ControlAccess& access) {
  RECT ring = access.area;
  ring.left -= 2;
  ring.top -= 2;
  ring.right += 2;
  ring.bottom += 2;
  return to_device(ring);
}

void draw_focus_cue(const ControlHost* host, HDC dc) {
  Control* control = host->focused;
  ControlAccess access;
  if (!dc || !host->focus_cues || !control || !control->visible || !control->describe(&access)) return;
  RECT ring = focus_ring(access);
  HBRUSH brush = CreateSolidBrush(skin_colours.text);
  for (int i = to_device(1); i > 0; --i) {
    FrameRect(dc, &ring, brush);
    ++ring.left;
    ++ring.top;
    --ring.right;
    --ring.bottom;
  }
  DeleteObject(brush);
}
