#include "keyboard_access.h"

#include "skin_accessible.h"

namespace {

constexpr char HOLDER_CLASS[] = "VeltraneFocusHolder";

// The cue's frame painted again, or painted over when the control has no cue now:
// the skin's paint cycle draws the background, the controls and the cue there. One
// frame at a time, so that no paint covers more than the frame's own rectangle.
void repaint_cue(Control* control) {
  ControlAccess access;
  if (!control || !control->host->focus_cues || !control->describe(&access)) return;
  RECT ring = focus_ring(access);
  InvalidateRect(control->host->window, &ring, FALSE);
  UpdateWindow(control->host->window);
}

void show_focus_cues(Control* control) {
  if (control->host->focus_cues) return;
  control->host->focus_cues = 1;
  repaint_cue(control);
}

// The focus arriving is the pointer arriving (the status text shows); leaving lets
// go of a press that Space began, as the pointer leaving would.
void on_holder_focus(Control* control, int focused) {
  ControlHost* host = control->host;
  control->send_mouse(WM_MOUSEMOVE, focused);
  host->focused = focused ? control : nullptr;
  // Reached with Tab or Shift+Tab: the key is down while the dialog manager moves the focus.
  if (focused && GetKeyState(VK_TAB) < 0) host->focus_cues = 1;
  repaint_cue(control);
  if (focused) announce_focus(control->focus_holder);
}

// Enter goes to push buttons and links; everything else keeps its dialog meaning.
LRESULT dialog_code(Control* control, const MSG* key) {
  ControlAccess access;
  if (!key || key->message != WM_KEYDOWN || key->wParam != VK_RETURN || !control->describe(&access)) return 0;
  return access.role == ROLE_PUSH_BUTTON || access.role == ROLE_LINK ? DLGC_WANTMESSAGE : 0;
}

void on_holder_key(Control* control, UINT message, WPARAM key, LPARAM flags) {
  show_focus_cues(control);
  // A held key repeats its press; only the first acts.
  int pressed = message == WM_KEYDOWN && !(flags & KEY_REPEATED);
  int enter = key == VK_RETURN && pressed;
  if (enter || (key == VK_SPACE && pressed)) control->send_mouse(WM_LBUTTONDOWN, 1);
  if (enter || (key == VK_SPACE && message == WM_KEYUP)) control->send_mouse(WM_LBUTTONUP, 1);
}

}  // namespace

LRESULT CALLBACK focus_holder_proc(HWND holder, UINT message, WPARAM wparam, LPARAM lparam) {
  Control* control = reinterpret_cast<Control*>(GetWindowLongPtrA(holder, GWLP_USERDATA));
  if (!control) return DefWindowProcA(holder, message, wparam, lparam);
  switch (message) {
    case WM_GETDLGCODE:
      return dialog_code(control, reinterpret_cast<const MSG*>(lparam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      on_holder_focus(control, message == WM_SETFOCUS);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      on_holder_key(control, message, wparam, lparam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(holder, message, wparam, lparam);
}

void add_focus_holder(HWND dialog, Control* control, const char* name) {
  if (!control) return;
  ControlHost* host = control->host;
  WNDCLASSA holder_class = {};
  holder_class.lpfnWndProc = focus_holder_proc;
  holder_class.hInstance = host->instance;
  holder_class.lpszClassName = HOLDER_CLASS;
  RegisterClassA(&holder_class);  // fails harmlessly once the class is there
  // Empty and out of the way: the skin draws the control, the dialog gets the mouse.
  HWND holder = CreateWindowExA(0, HOLDER_CLASS, name, WS_CHILD | WS_TABSTOP | WS_GROUP, 0, 0, 0, 0, dialog,
                                nullptr, host->instance, nullptr);
  if (!holder) return;
  SetWindowLongPtrA(holder, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  control->focus_holder = holder;
}

void sync_focus_holders(const ControlHost* host) {
  for (int i = 0; i < host->count; ++i) {
    const Control* control = host->controls[i];
    if (!control->focus_holder) continue;
    int shown = control->visible && control->interactive;
    if (!shown && GetFocus() == control->focus_holder) SendMessageA(host->window, WM_NEXTDLGCTL, 0, FALSE);
    ShowWindow(control->focus_holder, shown ? SW_SHOWNA : SW_HIDE);
  }
}
