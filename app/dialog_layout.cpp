#include "dialog_layout.h"

#include "app_state.h"
#include "painter.h"
#include "resource_ids.h"
#include "skin_scale.h"
#include "system_calls.h"

namespace {

constexpr int LIST_LEFT = 6, LIST_WIDTH = 373, LIST_HEIGHT = 10;
constexpr DWORD DDC_DISABLE_ALL_SCALING = 1;  // DDC_DISABLE_ALL

// Null while the list keeps the template's font. The one made for the last DPI
// change lives, like the skin's shared fonts, until the process ends.
HFONT list_font;
// The dialog manager's font for the list, taken while the list still holds it: back
// at 96 DPI the list gets it again, so that it looks as it did before any change.
HFONT template_font;

}  // namespace

void keep_dialog_unscaled(HWND window) {
  using DialogDpiBehavior = BOOL(WINAPI*)(HWND, DWORD, DWORD);
  DialogDpiBehavior set_behavior = system_function<DialogDpiBehavior>("user32.dll", "SetDialogDpiChangeBehavior");
  if (set_behavior) set_behavior(window, DDC_DISABLE_ALL_SCALING, DDC_DISABLE_ALL_SCALING);
}

void place_folder_list(HWND window, int top) {
  HWND list = GetDlgItem(window, CONTROL_FOLDER_LIST);
  if (!list_font) template_font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
  HFONT previous = list_font;
  list_font = current_dpi() != BASE_DPI ? skin_painter->make_font("MS Sans Serif", 13, 0) : nullptr;
  if (list_font || previous)
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(list_font ? list_font : template_font), FALSE);
  if (previous) DeleteObject(previous);
  MoveWindow(list, to_device(LIST_LEFT), to_device(top), to_device(LIST_WIDTH), to_device(LIST_HEIGHT), TRUE);
}

void size_client_area(HWND window, int centred) {
  RECT outer, client, work;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int width = outer.right - outer.left - client.right + to_device(CLIENT_WIDTH);
  int height = outer.bottom - outer.top - client.bottom + to_device(CLIENT_HEIGHT);
  // The dialog has no owner, so the dialog manager put it on the main monitor, whose
  // work area this is.
  const RECT* around = centred && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) ? &work : &outer;
  int left = (around->left + around->right - width) / 2, top = (around->top + around->bottom - height) / 2;
  if (around == &work) {  // where the dialog does not fit, its top left corner (and the caption) stays inside
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
  }
  MoveWindow(window, left, top, width, height, TRUE);
}

void use_completion_font() {
  if (normal_font) DeleteObject(normal_font);
  normal_font = skin_painter->make_font("ms sans serif", 16, 0);
}

namespace {

// Where this thread's stack ends. (GCC 12 takes NtCurrentTeb's read through the
// segment register for a read past an array, and warns.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const void* stack_end() { return reinterpret_cast<const NT_TIB*>(NtCurrentTeb())->StackBase; }
#pragma GCC diagnostic pop

// 1 when `suggested` is a rectangle Windows itself could suggest for WM_DPICHANGED:
// inside the virtual screen, and on this thread's stack in a caller's frame, where
// Windows hands it over. Another program may send the message with a pointer to
// anywhere, and anything there.
int could_be_suggested(const RECT* suggested) {
  LONG screen[4];  // left, top, width, height
  const LONG* edge = &suggested->left;
  // Looked up, though every Windows has it: an import of its own would grow the
  // program's import table, which has no room left, by 512 bytes.
  using SystemMetrics = int(WINAPI*)(int);
  auto system_metrics = system_function<SystemMetrics>("user32.dll", "GetSystemMetrics");
  if (!system_metrics || reinterpret_cast<ULONG_PTR>(suggested) <= reinterpret_cast<ULONG_PTR>(screen) ||
      reinterpret_cast<ULONG_PTR>(suggested + 1) > reinterpret_cast<ULONG_PTR>(stack_end()))
    return 0;
  for (int i = 0; i < 4; ++i) screen[i] = system_metrics(SM_XVIRTUALSCREEN + i);
  // Each edge within the screen's extent across (left, right) or down (top, bottom).
  for (int i = 0; i < 4; ++i)
    if (static_cast<ULONG>(edge[i]) - static_cast<ULONG>(screen[i & 1]) > static_cast<ULONG>(screen[2 + (i & 1)]))
      return 0;
  return edge[2] > edge[0] && edge[3] > edge[1];
}

}  // namespace

void on_dpi_changed(HWND window, WPARAM dpis, LPARAM suggested_rect, int list_top) {
  int dpi = LOWORD(dpis);
  const RECT* suggested = reinterpret_cast<const RECT*>(suggested_rect);
  if (dpi != HIWORD(dpis) || static_cast<unsigned>(dpi - 48) > 960 - 48 || !could_be_suggested(suggested)) return;
  skin_painter->set_dpi(dpi);
  if (list_top == LIST_TOP_COMPLETED) use_completion_font();
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  place_folder_list(window, list_top);
  size_client_area(window, 0);  // the suggested size need not give exactly this client area
  skin_painter->create_back_buffer(window);
  InvalidateRect(window, nullptr, TRUE);
}
