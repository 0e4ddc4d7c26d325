// A fixture for the control tests: a real window with an attached painter (test
// background, cursor and status line), helpers to paint it the way the dialog
// does and to read back what it shows.
#pragma once
#include <gtest/gtest.h>

#include "blit.h"
#include "skin_test_support.h"

class SkinWindowTest : public ::testing::Test {
protected:
  static constexpr RECT STATUS = {6, 242, 249, 262};

  SkinWindowTest() : window(400, 300) {
    painter = new SkinPainter(&host, test_instance());
    painter->attach(window.hwnd(), TEST_BACKGROUND, TEST_CURSOR, &STATUS);
    window.painter = painter;
    window.painter_paints = true;
  }
  void TearDown() override {
    delete painter;
    EXPECT_EQ(cache_slots_in_use(), 0) << "a control left its bitmaps in the cache";
  }

  // A whole paint cycle of the window, as WM_PAINT runs it.
  void paint_window() {
    InvalidateRect(window.hwnd(), nullptr, FALSE);
    UpdateWindow(window.hwnd());
  }
  Pixels shown(const RECT& area) {
    HDC dc = GetDC(window.hwnd());
    Pixels pixels = capture(dc, area);
    ReleaseDC(window.hwnd(), dc);
    return pixels;
  }
  void scribble(const RECT& area, COLORREF colour = RGB(1, 200, 3)) {
    HDC dc = GetDC(window.hwnd());
    fill_colour(dc, area, colour);
    ReleaseDC(window.hwnd(), dc);
  }
  COLORREF background_at(int x, int y) const {
    const SkinBitmap* tile = host.background;
    return GetPixel(tile->mem_dc, x % tile->width, y % tile->height);
  }
  // A client-sized surface covered with the background, for expected pictures.
  struct Expected {
    MemorySurface surface{400, 300};
    HDC dc() const { return surface.dc(); }
    Pixels pixels(const RECT& area) const { return capture(surface.dc(), area); }
  };
  void cover_with_background(const Expected& expected) {
    tile_bitmap(host.background, expected.dc(), {0, 0, 400, 300});
    SetBkMode(expected.dc(), TRANSPARENT);
  }
  // The text as the dialog's DCs draw it: `font`, `colour`, transparent.
  static void draw_text(HDC dc, int x, int y, const char* text, HFONT font, COLORREF colour = 0) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, lstrlenA(text));
    SelectObject(dc, previous);
  }
  TestControl* observer(const char* name = "later") { return new TestControl(&host, &log, name); }

  TestWindow window;
  ControlHost host;
  SkinPainter* painter;
  std::vector<std::string> log;
};

#define EXPECT_PIXELS(expected, actual)                                    \
  do {                                                                     \
    Pixels expected_ = (expected), actual_ = (actual);                     \
    EXPECT_TRUE(expected_ == actual_) << first_difference(expected_, actual_); \
  } while (0)
