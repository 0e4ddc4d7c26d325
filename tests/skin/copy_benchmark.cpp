// Draws the installer's largest image, 170 x 106 with a white surround (keyed),
// onto a real window: with one GetPixel and one SetPixel per pixel, and with the
// product's copy_keyed. Prints the time per copy both ways and the ratio.
#include <windows.h>

#include <cstdio>

#include "blit.h"
#include "reference_copies.h"
#include "skin_test_support.h"

namespace {

COLORREF logo_pixel(int x, int y) {
  int dx = x - 85, dy = y - 53;
  if (dx * dx / 4 + dy * dy > 45 * 45) return 0xFFFFFF;  // pure white surround
  return RGB(40 + x, 60 + y, 120 + (x ^ y) % 100);
}

double now_ms() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Copy>
double time_per_copy(int rounds, HWND window, Copy copy) {
  HDC dc = GetDC(window);
  double start = now_ms();
  for (int i = 0; i < rounds; ++i) copy(dc, i % 8);
  GdiFlush();
  double elapsed = now_ms() - start;
  ReleaseDC(window, dc);
  return elapsed / rounds;
}

}  // namespace

int main() {
  TestWindow window(400, 300);
  SkinBitmap logo = make_bitmap(170, 106, logo_pixel);
  HDC dc = GetDC(window.hwnd());
  fill_pattern(dc, {0, 0, 400, 300}, 1);
  ReleaseDC(window.hwnd(), dc);

  double per_pixel = time_per_copy(10, window.hwnd(), [&](HDC target, int i) {
    reference_copy_keyed(logo, target, 4 + i, 2, 0, 0);
  });
  double fast = time_per_copy(200, window.hwnd(), [&](HDC target, int i) {
    copy_keyed(&logo, target, 4 + i, 2, 0, 0);
  });
  std::printf("170 x 106 keyed copy onto a window: per pixel %.2f ms, copy_keyed %.3f ms, %.0f times faster\n",
              per_pixel, fast, per_pixel / fast);

  // Both ways must leave the same pixels.
  dc = GetDC(window.hwnd());
  const RECT area = {0, 0, 400, 300};
  fill_pattern(dc, area, 2);
  reference_copy_keyed(logo, dc, 4, 2, 0, 0);
  Pixels expected = capture(dc, area);
  fill_pattern(dc, area, 2);
  copy_keyed(&logo, dc, 4, 2, 0, 0);
  Pixels actual = capture(dc, area);
  ReleaseDC(window.hwnd(), dc);
  std::printf("pixels: %s\n", first_difference(expected, actual).c_str());
  free_bitmap(logo);
  return 0;
}
