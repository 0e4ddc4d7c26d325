// The base of the skin's owner-drawn controls: registration in the host, whether a
// control is drawn and receives mouse messages, redrawing on demand, and the hover
// text it shows in the host's status line.
#pragma once
#include <windows.h>

#include "control_host.h"

constexpr int STATUS_TEXT_CAPACITY = 80;  // 79 characters and the terminator

// Accessibility roles by the numbers oleacc.h gives them as ROLE_SYSTEM_...
enum AccessRole {
  ROLE_DIALOG = 0x12,
  ROLE_LINK = 0x1E,
  ROLE_STATIC_TEXT = 0x29,
  ROLE_PUSH_BUTTON = 0x2B,
  ROLE_CHECK_BOX = 0x2C,
  ROLE_COMBO_BOX = 0x2E,
};

// What a keyboard user and a screen reader are told of a control.
struct ControlAccess {
  int role;          // AccessRole
  int state;         // state bits of its own (STATE_SYSTEM_CHECKED, ...)
  const char* name;  // its own text; empty when the owner names it
  RECT area;         // where it takes clicks and what the focus cue surrounds, 96-DPI client pixels
};

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
  // Beyond the eight: fills `access` and returns 1 when a keyboard can use the
  // control; the base returns 0.
  virtual int describe(ControlAccess* access);

  // Showing also makes the control interactive; hiding takes both away. Either way
  // the control is drawn once (a hidden control erases itself then).
  void set_visible(int flag);
  // Draws the control into the host's paint_dc, or a DC of its own outside a paint
  // cycle or dispatch; a hidden control only once after hiding.
  void repaint();
  // 0: nothing, 1: the text before the first '@', 2: the text after it. Redraws the
  // status line only when this control's own state changes.
  void show_status(int state);
  // Sends the host's window a mouse message in the middle of where the control takes
  // clicks, or, with `inside` 0, at a point outside every control: how the keyboard
  // clicks it and points at it, and lets go of a press when the focus leaves.
  // Nothing for a control that describes no access.
  void send_mouse(UINT message, int inside);
  // Inclusive on all sides; the point packs x and y as unsigned 16-bit halves.
  static int point_in_rect(int left, int top, int right, int bottom, DWORD point);

  char status_text[STATUS_TEXT_CAPACITY];
  int interactive;
  int visible;
  int hidden_painted;
  int status_state;
  int command_id;
  ControlHost* host;
  HWND focus_holder;  // the window that takes the keyboard focus for it (keyboard_access.h), or null

protected:
  // Posts `code` as the private command message to `window`, unless command_id is 0.
  void report(HWND window, int code) const;
};

// The focus cue: a frame one pixel wide, one pixel outside the area the control
// describes. `focus_ring` is its rectangle in device pixels; `draw_focus_cue` draws
// it for the host's focused control, once the keyboard has been used.
RECT focus_ring(const ControlAccess& access);
void draw_focus_cue(const ControlHost* host, HDC dc);

// How each control class implements destroy(): its own destructor, then the memory.
template <typename T>
void destroy_control(T* control, int flags) {
  control->~T();
  if (flags & 1) ::operator delete(control);
}
