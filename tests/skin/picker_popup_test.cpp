#include "state_selector.h"

#include <gtest/gtest.h>

#include <functional>

#include "canary.h"
#include "reference_copies.h"
#include "skin_window_test.h"

namespace {

constexpr int COMMAND = 3000;

// Drives the popup's nested modal loop from a thread timer: once the popup is
// shown and painted, `act` runs with it (and usually posts what closes it). A
// popup that never appears fails the test instead of hanging it.
class PopupDriver {
public:
  PopupDriver(HWND owner, std::function<void(HWND)> act) : owner_(owner), act_(std::move(act)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &PopupDriver::tick);
  }
  ~PopupDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  PopupDriver(const PopupDriver&) = delete;
  PopupDriver& operator=(const PopupDriver&) = delete;
  bool acted = false;
  RECT popup_rect = {};

private:
  static BOOL CALLBACK find(HWND hwnd, LPARAM found) {
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (GetWindow(hwnd, GW_OWNER) == current_->owner_ && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(hwnd)) {
      *reinterpret_cast<HWND*>(found) = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    PopupDriver* self = current_;
    if (!self || self->acted) return;
    HWND popup = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &PopupDriver::find, reinterpret_cast<LPARAM>(&popup));
    if (popup && !GetUpdateRect(popup, nullptr, FALSE)) {
      self->acted = true;
      GetWindowRect(popup, &self->popup_rect);
      self->act_(popup);
    } else if (++self->ticks_ > 500) {
      self->acted = true;
      ADD_FAILURE() << "the picker popup did not appear";
      if (popup) EndDialog(popup, 0);
    }
  }

  static PopupDriver* current_;
  HWND owner_;
  std::function<void(HWND)> act_;
  UINT_PTR timer_;
  int ticks_ = 0;
};
PopupDriver* PopupDriver::current_ = nullptr;

void release_at(HWND popup, int x, int y) { PostMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

class PickerPopupTest : public SkinWindowTest {
protected:
  StateSelector* grid(int left, int top, int maximum, int style = SEL_GRID, int range_sign = 1) {
    // The number sits right of the 26-pixel cell: label offset x 32.
    return new StateSelector(&host, {left, top, 60, 30}, TEST_SHEET, 0x80208000, "", 0, range_sign * maximum,
                             "Pick", COMMAND, style, nullptr);
  }
  // Opens the popup with a left press on the selector; `act` runs inside it. Returns
  // the popup's window rectangle.
  RECT open(StateSelector* s, std::function<void(HWND)> act) {
    PopupDriver driver(window.hwnd(), std::move(act));
    window.mouse(WM_LBUTTONDOWN, s->hit_rect.left + 5, s->hit_rect.top + 5);
    EXPECT_TRUE(driver.acted);
    return driver.popup_rect;
  }
  // The popup's client area as it should look for `s`: background, cells, numbers.
  Pixels popup_looking(const StateSelector* s, const Pixels& client) {
    MemorySurface surface(client.width, client.height);
    tile_bitmap(host.background, surface.dc(), surface.rect());
    for (int i = 0; i <= s->maximum; ++i) {
      int c = i % 4, r = i / 4;
      RECT cell = {c * 44 + 18, r * 36 + 10, c * 44 + 44, r * 36 + 36};
      if (r * 26 + 26 <= s->strip->height) {  // cells beyond the sheet are not copied
        if (s->style & SEL_TRANSPOSED)
          reference_copy_rect_transposed(*s->strip, surface.dc(), cell, c * 26, r * 26);
        else
          reference_copy_rect(*s->strip, surface.dc(), cell, c * 26, r * 26);
      }
      char number[16];
      format_number(number, i + 1);
      number[2] = '\0';
      draw_text(surface.dc(), c * 44 + 4, r * 36 + 12, number, normal_font);
    }
    return surface.pixels();
  }
  Pixels popup_client(HWND popup) {
    RECT client;
    GetClientRect(popup, &client);
    HDC dc = GetDC(popup);
    Pixels pixels = capture(dc, client);
    ReleaseDC(popup, dc);
    return pixels;
  }
};

TEST(PickerTemplateTest, Is28BytesOfZerosAfterItsStyle) {
  alignas(4) char buffer[PICKER_TEMPLATE_SIZE + 4];
  fill_canary(buffer);
  build_picker_template(buffer);
  DWORD style;
  memcpy(&style, buffer, sizeof style);
  EXPECT_EQ(style, 0x80800080u);
  for (int i = 4; i < PICKER_TEMPLATE_SIZE; ++i) EXPECT_EQ(buffer[i], 0) << "byte " << i;
  EXPECT_TRUE(is_canary(buffer[PICKER_TEMPLATE_SIZE]));
}

TEST(PickedIndexTest, MapsAReleaseOnTheHitGridToAValue) {
  struct Row {
    int x, y, maximum, index;
  } rows[] = {
      {9, 5, 7, 0},    {52, 40, 7, 0},  {53, 40, 7, 1},  {9, 41, 7, 4},    {141, 41, 7, 7},
      {185, 10, 7, 4},  // right of the fourth column: the next row's first cell
      {185, 10, 3, 3},  // ... or the maximum
      {0, 0, 7, 0},    {3, 2, 7, 0},    {100, 300, 7, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y << " max " << row.maximum);
    EXPECT_EQ(picked_index(MAKELONG(row.x, row.y), row.maximum), row.index);
  }
}

TEST_F(PickerPopupTest, PopupSitsAboveAndLeftOfTheSelectorWithItsCellsAndNumbers) {
  StateSelector* s = grid(300, 200, 3);
  Pixels drawn;
  RECT placed = open(s, [&](HWND popup) {
    drawn = popup_client(popup);
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  RECT expected = {299 - 198, 199 - 50, 299, 199};  // the window sits at the screen origin
  EXPECT_TRUE(EqualRect(&placed, &expected));
  EXPECT_EQ(popup_width, 198);
  EXPECT_EQ(popup_height, 50);
  EXPECT_EQ(active_selector, s);
  EXPECT_EQ(popup_host, &host);
  EXPECT_PIXELS(popup_looking(s, drawn), drawn);
}

TEST_F(PickerPopupTest, NearTheTopThePopupOpensBelowTheSelectorsTop) {
  StateSelector* s = grid(300, 10, 7);
  RECT placed = open(s, [](HWND popup) { PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0); });
  RECT expected = {299 - 198, 36, 299, 36 + 86};
  EXPECT_TRUE(EqualRect(&placed, &expected));
  EXPECT_EQ(popup_height, 86);
}

TEST_F(PickerPopupTest, TransposedCellsAndTwoDigitNumbersUpToOneHundred) {
  StateSelector* s = grid(300, 10, 99, SEL_GRID | SEL_TRANSPOSED);
  Pixels drawn;
  open(s, [&](HWND popup) {
    drawn = popup_client(popup);
    PostMessageA(popup, WM_RBUTTONDOWN, 0, MAKELPARAM(50, 20));
  });
  EXPECT_EQ(popup_height, 24 * 36 + 50);
  EXPECT_PIXELS(popup_looking(s, drawn), drawn);  // cell 99 shows "10"
  EXPECT_EQ(s->value, 0);
}

TEST_F(PickerPopupTest, AReleaseOnACellPicksItRedrawsAndReports) {
  StateSelector* s = grid(300, 200, 7);
  paint_window();
  open(s, [](HWND popup) { release_at(popup, 9 + 2 * 44 + 5, 5 + 36 + 5); });  // cell 6
  EXPECT_EQ(s->value, 6);
  EXPECT_EQ(window.commands, std::vector<WPARAM>{COMMAND});
  EXPECT_EQ(window.handled.back(), 1);
  Expected expected;
  cover_with_background(expected);
  copy_rect(s->strip, expected.dc(), s->hit_rect, 2 * 26, 26);
  EXPECT_PIXELS(expected.pixels(s->hit_rect), shown(s->hit_rect));
}

TEST_F(PickerPopupTest, AReleaseRightOfTheFourthColumnPicksTheNextRowOrTheMaximum) {
  StateSelector* s = grid(300, 200, 7);
  open(s, [](HWND popup) { release_at(popup, 9 + 176 + 3, 10); });
  EXPECT_EQ(s->value, 4);
  StateSelector* small = grid(300, 250, 3);
  open(small, [](HWND popup) { release_at(popup, 9 + 176 + 3, 10); });
  EXPECT_EQ(small->value, 3);
}

TEST_F(PickerPopupTest, ClosingWithoutAChoiceChangesNothing) {
  struct Row {
    const char* name;
    std::function<void(HWND)> close;
  } rows[] = {
      {"Escape", [](HWND popup) { PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"right button", [](HWND popup) { PostMessageA(popup, WM_RBUTTONDOWN, 0, MAKELPARAM(60, 20)); }},
      {"release at the client origin", [](HWND popup) { release_at(popup, 0, 0); }},
  };
  StateSelector* s = grid(300, 200, 7);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s->value = 3;
    open(s, row.close);
    EXPECT_EQ(s->value, 3);
    EXPECT_EQ(window.handled.back(), 0);
    EXPECT_TRUE(window.commands.empty());
    EXPECT_EQ(picked_point, 0u);
  }
}

TEST_F(PickerPopupTest, InToggleModeAPickAlsoReports) {
  StateSelector* s = grid(300, 200, 7, SEL_GRID, -1);
  ASSERT_EQ(s->toggle_mode, 1);
  open(s, [](HWND popup) { release_at(popup, 9 + 44 + 5, 10); });
  EXPECT_EQ(s->value, 1);
  EXPECT_EQ(window.commands, std::vector<WPARAM>{COMMAND});
}

// The window repaints while the popup is open; the paint cycle ends with the host's
// paint_dc cleared, yet the selector's redraw after the pick still reaches the window.
TEST_F(PickerPopupTest, TheRedrawAfterThePopupSurvivesARepaintDuringIt) {
  StateSelector* s = grid(300, 200, 7);
  paint_window();
  open(s, [&](HWND popup) {
    RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(host.paint_dc, nullptr);
    release_at(popup, 9 + 44 + 5, 5 + 36 + 5);  // cell 5
  });
  EXPECT_EQ(s->value, 5);
  EXPECT_EQ(host.paint_dc, nullptr);
  Expected expected;
  cover_with_background(expected);
  copy_rect(s->strip, expected.dc(), s->hit_rect, 26, 26);
  EXPECT_PIXELS(expected.pixels(s->hit_rect), shown(s->hit_rect));
}

}  // namespace
