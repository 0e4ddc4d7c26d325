#include "painter.h"

#include <gtest/gtest.h>

#include "blit.h"
#include "skin_test_support.h"

namespace {

const RECT STATUS = {6, 242, 249, 262};

class PainterTest : public ::testing::Test {
protected:
  void TearDown() override {
    delete painter;
    painter = nullptr;
    EXPECT_EQ(cache_slots_in_use(), 0) << "the painter left its background in the cache";
  }
  SkinPainter* attached(TestWindow& window, DWORD background = TEST_BACKGROUND, const RECT* status = &STATUS) {
    painter = new SkinPainter(&host, test_instance());
    painter->attach(window.hwnd(), background, TEST_CURSOR, status);
    window.painter = painter;
    return painter;
  }
  TestControl* control(const char* name, const char* text = nullptr) {
    return new TestControl(&host, &log, name, text);
  }

  ControlHost host;
  SkinPainter* painter = nullptr;
  std::vector<std::string> log;
};

TEST_F(PainterTest, ConstructionEmptiesTheHost) {
  memset(&host, 0x5A, sizeof host);
  painter = new SkinPainter(&host, test_instance());
  EXPECT_EQ(painter->host, &host);
  EXPECT_EQ(host.instance, test_instance());
  EXPECT_EQ(host.count, 0);
  EXPECT_EQ(host.background, nullptr);
  EXPECT_EQ(host.paint_dc, nullptr);
  EXPECT_EQ(host.back_dc, nullptr);
  EXPECT_EQ(painter->back_bitmap.get(), nullptr);
}

TEST_F(PainterTest, AttachMakesTheSharedFontsAndCursorOnceAndKeepsThem) {
  TestWindow window;
  attached(window);
  ASSERT_NE(normal_font, nullptr);
  ASSERT_NE(underline_font, nullptr);
  ASSERT_NE(link_cursor, nullptr);
  LOGFONTA normal = {}, underlined = {};
  GetObjectA(normal_font, sizeof normal, &normal);
  GetObjectA(underline_font, sizeof underlined, &underlined);
  EXPECT_EQ(normal.lfHeight, 13);
  EXPECT_STREQ(normal.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(normal.lfUnderline, 0);
  EXPECT_EQ(normal.lfWeight, 0);
  EXPECT_EQ(underlined.lfHeight, 13);
  EXPECT_EQ(underlined.lfUnderline, 1);

  HFONT fonts[] = {normal_font, underline_font};
  HCURSOR cursor = link_cursor;
  TestWindow second(200, 100, 500, 0);
  ControlHost other;
  SkinPainter other_painter(&other, test_instance());
  other_painter.attach(second.hwnd(), TEST_BACKGROUND, 0, nullptr);
  EXPECT_EQ(normal_font, fonts[0]);
  EXPECT_EQ(underline_font, fonts[1]);
  EXPECT_EQ(link_cursor, cursor);
  EXPECT_EQ(host.background->mem_dc, other.background->mem_dc);  // one cached copy for both
}

TEST_F(PainterTest, AttachStoresTheStatusRectangleOrZeros) {
  TestWindow window;
  memset(&host.status_rect, 0x5A, sizeof host.status_rect);
  attached(window);
  EXPECT_TRUE(EqualRect(&host.status_rect, &STATUS));
  delete painter;
  memset(&host.status_rect, 0x5A, sizeof host.status_rect);
  attached(window, TEST_BACKGROUND, nullptr);
  RECT zero = {0, 0, 0, 0};
  EXPECT_TRUE(EqualRect(&host.status_rect, &zero));
}

TEST_F(PainterTest, BackBufferIsAsLargeAsTheClientAreaPlusTheFrame) {
  TestWindow window(300, 200);
  SetWindowLongA(window.hwnd(), GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_BORDER);
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  attached(window);
  RECT client;
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(painter->extent.left, 0);
  EXPECT_EQ(painter->extent.top, 0);
  EXPECT_EQ(painter->extent.right, client.right + 1);
  EXPECT_EQ(painter->extent.bottom, client.bottom + 1);
  BITMAP buffer = {};
  GetObjectA(GetCurrentObject(host.back_dc, OBJ_BITMAP), sizeof buffer, &buffer);
  EXPECT_EQ(client.right, 298);  // a one-pixel border on each side
  EXPECT_EQ(buffer.bmWidth, client.right + 1);
  EXPECT_EQ(buffer.bmHeight, client.bottom + 1);
  EXPECT_EQ(GetBkMode(host.back_dc), TRANSPARENT);
  EXPECT_EQ(GetCurrentObject(host.back_dc, OBJ_FONT), normal_font);
}

// A missing background resource gives a blank bitmap compatible with the DC it was
// loaded against: monochrome for a fresh memory DC, colour for the window's DC.
TEST_F(PainterTest, BackgroundIsLoadedAgainstTheOwnersDcWhenItHasSetOne) {
  const DWORD missing = (8u << 16) | 0x400 | 8;
  TestWindow window;
  HDC monochrome = CreateCompatibleDC(nullptr);
  host.paint_dc = nullptr;
  painter = new SkinPainter(&host, test_instance());
  host.paint_dc = monochrome;
  painter->attach(window.hwnd(), missing, TEST_CURSOR, nullptr);
  host.paint_dc = nullptr;
  BITMAP loaded = {};
  GetObjectA(host.background->bitmap, sizeof loaded, &loaded);
  EXPECT_EQ(loaded.bmBitsPixel, 1);
  delete painter;
  DeleteDC(monochrome);

  painter = new SkinPainter(&host, test_instance());
  painter->attach(window.hwnd(), missing, TEST_CURSOR, nullptr);
  GetObjectA(host.background->bitmap, sizeof loaded, &loaded);
  EXPECT_GT(loaded.bmBitsPixel, 1);
}

TEST_F(PainterTest, PaintCycleTilesTheUpdateRectangleAndDrawsVisibleControlsInOrder) {
  TestWindow window;
  attached(window);
  TestControl* first = control("first");
  TestControl* hidden = control("hidden");
  TestControl* last = control("last");
  hidden->visible = 0;  // still interactive: paint_all does not look at that
  last->interactive = 0;
  HDC dc = GetDC(window.hwnd());
  fill_pattern(dc, {0, 0, 400, 300}, 9);
  Pixels before = capture(dc, {0, 0, 400, 300});
  RECT update = {10, 20, 70, 45};
  InvalidateRect(window.hwnd(), &update, FALSE);

  HDC paint_dc = painter->begin_paint();
  EXPECT_EQ(paint_dc, host.paint_dc);
  ASSERT_NE(paint_dc, nullptr);
  EXPECT_TRUE(EqualRect(&painter->paint.rcPaint, &update));
  painter->paint_all();
  painter->end_paint();
  EXPECT_EQ(host.paint_dc, nullptr);
  EXPECT_FALSE(GetUpdateRect(window.hwnd(), nullptr, FALSE));
  EXPECT_EQ(log, (std::vector<std::string>{"first render", "last render"}));
  EXPECT_EQ(first->last_dc, paint_dc);
  EXPECT_EQ(first->last_bk_mode, TRANSPARENT);
  EXPECT_EQ(first->last_font, normal_font);

  Pixels after = capture(dc, {0, 0, 400, 300});
  int wrong = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      bool inside = PtInRect(&update, POINT{x, y});
      COLORREF expected = inside ? GetPixel(host.background->mem_dc, x % 16, y % 12) : before.at(x, y);
      wrong += after.at(x, y) != expected;
    }
  EXPECT_EQ(wrong, 0);
  ReleaseDC(window.hwnd(), dc);
}

TEST_F(PainterTest, DrawTextWritesOnlyInsideAPaintCycle) {
  TestWindow window;
  attached(window);
  HDC dc = GetDC(window.hwnd());
  fill_colour(dc, {0, 0, 400, 300}, RGB(200, 210, 220));
  Pixels blank = capture(dc, {0, 0, 100, 20});
  painter->draw_text(2, 2, "Setup");
  EXPECT_TRUE(blank == capture(dc, {0, 0, 100, 20}));

  painter->begin_paint();
  painter->draw_text(2, 2, "Setup");
  painter->end_paint();
  Pixels drawn = capture(dc, {0, 0, 100, 20});
  MemorySurface expected(100, 20);
  fill_colour(expected.dc(), expected.rect(), RGB(200, 210, 220));
  SelectObject(expected.dc(), normal_font);
  SetBkMode(expected.dc(), TRANSPARENT);
  TextOutA(expected.dc(), 2, 2, "Setup", 5);
  EXPECT_TRUE(expected.pixels() == drawn) << first_difference(expected.pixels(), drawn);
  EXPECT_FALSE(blank == drawn);
  ReleaseDC(window.hwnd(), dc);
}

TEST_F(PainterTest, OnlyMouseMessagesFrom0x200To0x209ReachTheControls) {
  TestWindow window;
  attached(window);
  control("c");
  struct Row {
    UINT message;
    bool reaches;
  } rows[] = {{0x1FF, false}, {WM_MOUSEMOVE, true}, {WM_LBUTTONDOWN, true},
              {WM_MBUTTONDBLCLK, true}, {WM_MOUSEWHEEL, false}, {WM_KEYDOWN, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    log.clear();
    window.mouse(row.message, 5, 5);
    EXPECT_EQ(log.size(), row.reaches ? 1u : 0u);
  }
  log.clear();
  EXPECT_EQ(painter->dispatch_mouse(window.hwnd(), 0x10200, 0, 0), 0);  // only the low 16 bits count
  EXPECT_EQ(log, std::vector<std::string>{"c mouse 10200"});
}

TEST_F(PainterTest, DispatchWithoutControlsOrForOtherMessagesTakesNoDc) {
  TestWindow window;
  attached(window);
  HDC sentinel = reinterpret_cast<HDC>(0x5A5A);
  host.paint_dc = sentinel;
  EXPECT_EQ(painter->dispatch_mouse(window.hwnd(), WM_LBUTTONDOWN, 0, 0), 0);
  EXPECT_EQ(host.paint_dc, sentinel);
  control("c");
  EXPECT_EQ(painter->dispatch_mouse(window.hwnd(), WM_KEYDOWN, 0, 0), 0);
  EXPECT_EQ(host.paint_dc, sentinel);
  host.paint_dc = nullptr;
}

TEST_F(PainterTest, DispatchAsksInteractiveControlsInCreationOrderUntilOneHandles) {
  TestWindow window;
  attached(window);
  TestControl* passive = control("passive");
  TestControl* hidden = control("hidden");
  TestControl* first = control("first");
  TestControl* second = control("second");
  passive->interactive = 0;  // visible but not interactive: skipped
  hidden->visible = 0;       // hidden but still interactive: asked
  first->result = 1;
  second->result = 1;
  window.mouse(WM_LBUTTONDOWN, 10, 10);
  EXPECT_EQ(log, (std::vector<std::string>{"hidden mouse 201", "first mouse 201"}));
  EXPECT_EQ(window.handled, std::vector<int>{1});
  EXPECT_NE(first->paint_dc_in_mouse, nullptr);
  EXPECT_EQ(host.paint_dc, nullptr);

  first->result = 0;
  second->result = 0;
  log.clear();
  window.mouse(WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(log, (std::vector<std::string>{"hidden mouse 200", "first mouse 200", "second mouse 200"}));
  EXPECT_EQ(window.handled.back(), 0);
}

TEST_F(PainterTest, AControlRegisteredDuringADispatchIsAskedInTheSameDispatch) {
  TestWindow window;
  attached(window);
  TestControl* maker = control("maker");
  maker->on_mouse_hook = [&] {
    maker->on_mouse_hook = nullptr;
    control("late");
  };
  window.mouse(WM_MOUSEMOVE, 1, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"maker mouse 200", "late mouse 200"}));
}

TEST_F(PainterTest, DestructionReleasesTheBackgroundAndDestroysEveryControlInCreationOrder) {
  TestWindow window;
  attached(window);
  control("a");
  control("b");
  control("c");
  ASSERT_EQ(cache_slots_in_use(), 1);
  HDC back = host.back_dc;
  delete painter;
  painter = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"a destroy 1", "b destroy 1", "c destroy 1"}));
  EXPECT_EQ(cache_slots_in_use(), 0);
  EXPECT_EQ(GetObjectType(back), 0u);
}

}  // namespace
