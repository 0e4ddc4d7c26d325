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

void size_client_area(HWND window) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int width = to_device(CLIENT_WIDTH), height = to_device(CLIENT_HEIGHT);
  MoveWindow(window, (2 * outer.left + client.right - width) / 2, (2 * outer.top + client.bottom - height) / 2,
             outer.right - outer.left - client.right + width, outer.bottom - outer.top - client.bottom + height, TRUE);
}

void use_completion_font() {
  if (normal_font) DeleteObject(normal_font);
  normal_font = skin_painter->make_font("ms sans serif", 16, 0);
}

void on_dpi_changed(HWND window, int dpi, const RECT& suggested, int list_top) {
  skin_painter->set_dpi(dpi);
  if (list_top == LIST_TOP_COMPLETED) use_completion_font();
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  place_folder_list(window, list_top);
  size_client_area(window);  // the suggested size need not give exactly this client area
  skin_painter->create_back_buffer(window);
  InvalidateRect(window, nullptr, TRUE);
}
