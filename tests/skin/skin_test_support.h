// What the skin tests share: a real window whose procedure hands every message to a
// painter and records the private commands posted to it, a message pump, pixel
// surfaces and captures, runtime bitmaps, and a small control that logs its calls.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bitmap_cache.h"
#include "control.h"
#include "painter.h"
#include "test_images.h"

HINSTANCE test_instance();

// Dispatches every queued message of this thread, until the queue is empty.
void pump();

// A visible top-level window without frame at (left, top), away from the screen's
// centre where Xvfb keeps the pointer.
class TestWindow {
public:
  explicit TestWindow(int width = 400, int height = 300, int left = 0, int top = 0);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

  // Posts a mouse message at client point (x, y) to the window's queue and pumps.
  void mouse(UINT message, int x, int y, WPARAM keys = 0);

  SkinPainter* painter = nullptr;   // offered every message first when set
  bool painter_paints = false;      // WM_PAINT runs the painter's paint cycle
  std::vector<WPARAM> commands;     // wParam of every private command, in order
  std::vector<int> handled;         // dispatch_mouse results, one per mouse message
  std::function<void(UINT, WPARAM, LPARAM)> on_message;  // called for every message

private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HWND hwnd_;
};

// Pixels as COLORREF values, row by row.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> data;
  COLORREF at(int x, int y) const { return data[y * width + x]; }
  bool operator==(const Pixels& other) const {
    return width == other.width && height == other.height && data == other.data;
  }
};
Pixels capture(HDC dc, const RECT& area);
// Index of the first pixel that differs, or -1; for readable failure messages.
std::string first_difference(const Pixels& expected, const Pixels& actual);

// Fills the area with a pseudo-random pattern that contains neither white nor black.
void fill_pattern(HDC dc, const RECT& area, unsigned seed);
void fill_colour(HDC dc, const RECT& area, COLORREF colour);

// A 32-bit memory surface.
class MemorySurface {
public:
  MemorySurface(int width, int height);
  ~MemorySurface();
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;
  HDC dc() const { return dc_; }
  RECT rect() const { return {0, 0, width_, height_}; }
  Pixels pixels() const { return capture(dc_, rect()); }

private:
  HDC dc_;
  HBITMAP bitmap_;
  HBITMAP previous_;
  int width_, height_;
};

// A SkinBitmap of its own (not cached), drawn from a function of (x, y); screen
// compatible like a loaded resource. free_bitmap deletes it.
SkinBitmap make_bitmap(int width, int height, const std::function<COLORREF(int, int)>& pixel);
void free_bitmap(SkinBitmap& bitmap);

// Slots of the bitmap cache in use; tests leave none behind.
int cache_slots_in_use();
int cache_slot_of(DWORD id);  // -1 when not cached

// A control that logs what the host asks of it.
class TestControl final : public Control {
public:
  TestControl(ControlHost* host, std::vector<std::string>* log, std::string name, const char* text = nullptr);
  int on_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void render(HDC dc) override;
  void destroy(int flags) override;

  int result = 0;  // what on_mouse returns
  int renders = 0;
  HDC last_dc = nullptr;
  HGDIOBJ last_font = nullptr;
  int last_bk_mode = 0;
  HDC paint_dc_in_mouse = nullptr;
  std::function<void()> on_mouse_hook;

private:
  std::vector<std::string>* log_;
  std::string name_;
};
