#include "skin_scale.h"

#include "handles.h"
#include "system_calls.h"

int skin_dpi;

int current_dpi() { return skin_dpi > 0 ? skin_dpi : BASE_DPI; }

int to_device(int logical) {
  int scaled = logical * current_dpi();
  return (scaled + (scaled < 0 ? -BASE_DPI / 2 : BASE_DPI / 2)) / BASE_DPI;  // rounded half away from zero
}

int to_logical(int device) { return device * BASE_DPI / current_dpi(); }

int to_logical_ceil(int device) { return (device * BASE_DPI + current_dpi() - 1) / current_dpi(); }

RECT to_device(const RECT& logical) {
  RECT device;
  device.left = to_device(logical.left);
  device.top = to_device(logical.top);
  device.right = to_device(logical.right);
  device.bottom = to_device(logical.bottom);
  return device;
}

int window_dpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  DpiForWindow dpi_for_window = system_function<DpiForWindow>("user32.dll", "GetDpiForWindow");
  int dpi = dpi_for_window ? static_cast<int>(dpi_for_window(window)) : 0;
  if (dpi <= 0) {
    WindowDc screen(nullptr);
    dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  return dpi > 0 ? dpi : BASE_DPI;
}
