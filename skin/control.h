// The base of the skin's owner-drawn controls: registration in the host, whether a
// control is drawn and receives mouse messages, redrawing on demand, and the hover
// text it shows in the host's status line.
#pragma once
#include <windows.h>

#include "control_host.h"

constexpr int STATUS_TEXT_CAPACITY = 80;  // 79 characters and the terminator

class Control {
public:
  // Registers the control at the end of the host's table (a full table leaves it
  // unregistered: its owner then keeps it). `status_text` may be null.
  Control(ControlHost* host, const char* status_text);

  // The eight operations, in this slot order.
  virtual int on_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;  // non-zero: handled
  virtual void render(HDC dc) = 0;
  virtual int reserved1();
  virtual int get_value();
  virtual int reserved2();
  virtual int reserved3();
  virtual void set_value(int value);
  // Runs the destructor and, when bit 0 of flags is set, frees the object.
  virtual void destroy(int flags);

  // Showing also makes the control interactive; hiding takes both away. Either way
  // the control is drawn once (a hidden control erases itself then).
  void set_visible(int flag);
  // Draws the control into the host's paint_dc, or a DC of its own outside a paint
  // cycle or dispatch; a hidden control only once after hiding.
  void repaint();
  // 0: nothing, 1: the text before the first '@', 2: the text after it. Redraws the
  // status line only when this control's own state changes.
  void show_status(int state);
  // Inclusive on all sides; the point packs x and y as unsigned 16-bit halves.
  static int point_in_rect(int left, int top, int right, int bottom, DWORD point);

  char status_text[STATUS_TEXT_CAPACITY];
  int interactive;
  int visible;
  int hidden_painted;
  int status_state;
  int command_id;
  ControlHost* host;

protected:
  // Posts `code` as the private command message to `window`, unless command_id is 0.
  void report(HWND window, int code) const;
};

// How each control class implements destroy(): its own destructor, then the memory.
template <typename T>
void destroy_control(T* control, int flags) {
  control->~T();
  if (flags & 1) ::operator delete(control);
}
