#include "control.h"

#include "blit.h"
#include "bounded_text.h"
#include "handles.h"
#include "skin_messages.h"

Control::Control(ControlHost* owner, const char* text)
    : interactive(1), visible(1), hidden_painted(0), status_state(0), command_id(0), host(owner) {
  if (host->count < CONTROL_CAPACITY) host->controls[host->count++] = this;
  copy_text(status_text, text ? text : "");  // a longer text keeps its first 79 characters
}

int Control::reserved1() { return 0; }
int Control::get_value() { return 0; }
int Control::reserved2() { return 0; }
int Control::reserved3() { return 0; }
void Control::set_value(int) {}
void Control::destroy(int flags) { destroy_control(this, flags); }

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
  status_state = state;
}

int Control::point_in_rect(int left, int top, int right, int bottom, DWORD point) {
  int x = static_cast<int>(point & 0xFFFF);
  int y = static_cast<int>((point >> 16) & 0xFFFF);
  return left <= x && x <= right && top <= y && y <= bottom;
}
