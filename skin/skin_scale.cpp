#include "skin_scale.h"

#include "handles.h"
#include "system_calls.h"

int skin_dpi;

int current_dpi() { return skin_dpi > 0 ? skin_dpi : BASE_DPI; }

int to_device(int logical) { return MulDiv(logical, current_dpi(), BASE_DPI); }

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

HBITMAP create_surface_bitmap(int width, int height, DWORD** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = bitmap ? static_cast<DWORD*>(pixels) : nullptr;
  return bitmap;
}

namespace {

// Where the centre of device pixel `device` falls in the source, in 1/256 pixels.
int source_position(int device) { return (2 * device + 1) * BASE_DPI * 128 / current_dpi(); }

int clamp_index(int index, int size) { return index < 0 ? 0 : index >= size ? size - 1 : index; }

// Blends the 2 x 2 source pixels around the position, weighting each by its
// nearness and leaving out key pixels; rounding down keeps a blend of pixels that
// are not white from ever becoming white.
DWORD blend_around(const DWORD* from, int width, int height, int sx, int sy) {
  int px = sx > 128 ? sx - 128 : 0, py = sy > 128 ? sy - 128 : 0;
  int fx = px & 255, fy = py & 255;
  unsigned sum[3] = {0, 0, 0}, total = 0;
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      unsigned weight = static_cast<unsigned>((i ? fx : 256 - fx) * (j ? fy : 256 - fy));
      DWORD colour = from[clamp_index((py >> 8) + j, height) * width + clamp_index((px >> 8) + i, width)] & 0xFFFFFF;
      if (!weight || colour == TRANSPARENT_KEY) continue;
      total += weight;
      for (int k = 0; k < 3; ++k) sum[k] += ((colour >> (8 * k)) & 255) * weight;
    }
  }
  return total ? (sum[2] / total) << 16 | (sum[1] / total) << 8 | sum[0] / total : TRANSPARENT_KEY;
}

}  // namespace

HBITMAP scale_artwork(HDC source, int width, int height) {
  int device_width = to_device(width), device_height = to_device(height);
  DWORD *from = nullptr, *to = nullptr;
  MemoryDc from_dc(CreateCompatibleDC(nullptr));
  GdiObject from_bitmap(create_surface_bitmap(width, height, &from));
  HBITMAP scaled = create_surface_bitmap(device_width, device_height, &to);
  if (!from_dc.valid() || !from || !to) {
    if (scaled) DeleteObject(scaled);
    return nullptr;
  }
  SelectGuard selected(from_dc.get(), from_bitmap.get());
  BitBlt(from_dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  bool whole = current_dpi() % BASE_DPI == 0;
  for (int y = 0; y < device_height; ++y) {
    for (int x = 0; x < device_width; ++x) {
      int sx = source_position(x), sy = source_position(y);
      DWORD nearest = from[clamp_index(sy >> 8, height) * width + clamp_index(sx >> 8, width)] & 0xFFFFFF;
      to[y * device_width + x] = whole || nearest == TRANSPARENT_KEY ? nearest : blend_around(from, width, height, sx, sy);
    }
  }
  return scaled;
}
