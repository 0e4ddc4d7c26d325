#include "control.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "blit.h"
#include "canary.h"
#include "skin_test_support.h"

namespace {

const RECT STATUS = {6, 242, 249, 262};

class ControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    painter = new SkinPainter(&host, test_instance());
    painter->attach(window.hwnd(), TEST_BACKGROUND, TEST_CURSOR, &STATUS);
    window.painter = painter;
  }
  void TearDown() override {
    delete painter;
    EXPECT_EQ(cache_slots_in_use(), 0);
  }
  TestControl* control(const char* name, const char* text = nullptr) {
    return new TestControl(&host, &log, name, text);
  }
  // The status line as the window shows it.
  Pixels status_on_window() {
    HDC dc = GetDC(window.hwnd());
    Pixels shown = capture(dc, STATUS);
    ReleaseDC(window.hwnd(), dc);
    return shown;
  }
  // The status line as it should look: background, then `text` in the back buffer's font.
  Pixels status_showing(const char* text) {
    MemorySurface surface(400, 300);
    tile_bitmap(host.background, surface.dc(), surface.rect());
    SelectObject(surface.dc(), GetCurrentObject(host.back_dc, OBJ_FONT));
    SetBkMode(surface.dc(), TRANSPARENT);
    TextOutA(surface.dc(), STATUS.left, STATUS.top, text, lstrlenA(text));
    return capture(surface.dc(), STATUS);
  }
  void scribble_status() {
    HDC dc = GetDC(window.hwnd());
    fill_colour(dc, STATUS, RGB(1, 200, 3));
    ReleaseDC(window.hwnd(), dc);
  }
  // Runs `action` the way a dispatch does: with the host's paint_dc set to the window's DC.
  void as_in_dispatch(const std::function<void()>& action) {
    host.paint_dc = GetDC(window.hwnd());
    action();
    ReleaseDC(window.hwnd(), host.paint_dc);
    host.paint_dc = nullptr;
  }

  TestWindow window;
  ControlHost host;
  SkinPainter* painter = nullptr;
  std::vector<std::string> log;
};

TEST_F(ControlTest, ANewControlIsRegisteredAtCountVisibleAndInteractive) {
  TestControl* a = control("a", "hover");
  TestControl* b = control("b");
  ASSERT_EQ(host.count, 2);
  EXPECT_EQ(host.controls[0], a);
  EXPECT_EQ(host.controls[1], b);
  EXPECT_EQ(a->host, &host);
  EXPECT_EQ(a->visible, 1);
  EXPECT_EQ(a->interactive, 1);
  EXPECT_EQ(a->hidden_painted, 0);
  EXPECT_EQ(a->status_state, 0);
  EXPECT_EQ(a->command_id, 0);
  EXPECT_STREQ(a->status_text, "hover");
  EXPECT_STREQ(b->status_text, "");
}

// The eight operations sit in the virtual table in this order (Itanium ABI: a
// pointer to a virtual member holds 1 + the slot's byte offset).
TEST_F(ControlTest, VirtualOperationsKeepTheirSlotOrder) {
  auto slot = [](auto member) {
    ptrdiff_t raw;
    memcpy(&raw, &member, sizeof raw);
    return (raw - 1) / static_cast<ptrdiff_t>(sizeof(void*));
  };
  EXPECT_EQ(slot(&Control::on_mouse), 0);
  EXPECT_EQ(slot(&Control::render), 1);
  EXPECT_EQ(slot(&Control::reserved1), 2);
  EXPECT_EQ(slot(&Control::get_value), 3);
  EXPECT_EQ(slot(&Control::reserved2), 4);
  EXPECT_EQ(slot(&Control::reserved3), 5);
  EXPECT_EQ(slot(&Control::set_value), 6);
  EXPECT_EQ(slot(&Control::destroy), 7);
}

TEST_F(ControlTest, BaseOperationsReturnZeroAndSetValueDoesNothing) {
  Control* c = control("c");
  c->set_value(7);
  EXPECT_EQ(c->reserved1(), 0);
  EXPECT_EQ(c->get_value(), 0);
  EXPECT_EQ(c->reserved2(), 0);
  EXPECT_EQ(c->reserved3(), 0);
}

// A full table leaves a further control unregistered rather than writing past it;
// the fields after the table (the status rectangle) stay intact.
TEST_F(ControlTest, RegistrationStopsAt150Controls) {
  for (int i = 0; i < CONTROL_CAPACITY; ++i) control("c");
  ASSERT_EQ(host.count, CONTROL_CAPACITY);
  TestControl* extra = new TestControl(&host, &log, "extra");
  EXPECT_EQ(host.count, CONTROL_CAPACITY);
  EXPECT_TRUE(EqualRect(&host.status_rect, &STATUS));
  for (Control* registered : host.controls) EXPECT_NE(registered, extra);
  log.clear();
  window.mouse(WM_MOUSEMOVE, 3, 3);
  EXPECT_EQ(log.size(), static_cast<size_t>(CONTROL_CAPACITY));  // the extra one is not asked
  extra->destroy(1);  // its owner keeps it
}

TEST_F(ControlTest, StatusTextKeepsAtMost79Characters) {
  std::string exact(79, 'x');
  TestControl* fits = control("fits", exact.c_str());
  EXPECT_EQ(std::string(fits->status_text), exact);
  std::string longer = std::string(79, 'y') + "overflow that used to run into the flags";
  TestControl* cut = control("cut", longer.c_str());
  EXPECT_EQ(std::string(cut->status_text), std::string(79, 'y'));
  EXPECT_EQ(cut->interactive, 1);  // the field right after the text
  EXPECT_EQ(cut->visible, 1);
}

TEST_F(ControlTest, HidingDrawsOnceThenNotAgainUntilShown) {
  TestControl* c = control("c");
  c->set_visible(0);
  EXPECT_EQ(c->renders, 1);
  EXPECT_EQ(c->visible, 0);
  EXPECT_EQ(c->interactive, 0);
  EXPECT_EQ(c->hidden_painted, 1);
  c->set_visible(0);
  c->repaint();
  EXPECT_EQ(c->renders, 1);
  c->set_visible(1);
  EXPECT_EQ(c->renders, 2);
  EXPECT_EQ(c->hidden_painted, 0);
  EXPECT_EQ(c->visible, 1);
  EXPECT_EQ(c->interactive, 1);
}

TEST_F(ControlTest, ShowingMakesANonInteractiveControlInteractive) {
  TestControl* picture = control("picture");
  picture->interactive = 0;
  picture->set_visible(1);
  EXPECT_EQ(picture->interactive, 1);
}

TEST_F(ControlTest, RepaintUsesThePaintDcOrPreparesADcOfItsOwn) {
  TestControl* c = control("c");
  as_in_dispatch([&] {
    c->repaint();
    EXPECT_EQ(c->last_dc, host.paint_dc);
  });
  c->repaint();
  EXPECT_NE(c->last_dc, nullptr);
  EXPECT_EQ(c->last_font, normal_font);
  EXPECT_EQ(c->last_bk_mode, TRANSPARENT);
  EXPECT_EQ(c->renders, 2);
}

TEST_F(ControlTest, ShowStatusShowsThePartOfTheTextThatTheStateNames) {
  struct Row {
    const char* text;
    int state;
    const char* shown;
  } rows[] = {
      {"First part@second part", 1, "First part"},
      {"First part@second part", 2, "second part"},
      {"No second part", 1, "No second part"},
      {"No second part", 2, ""},
      {"@Only after", 1, ""},
      {"@Only after", 2, "Only after"},
      {"a@b@c", 2, "b@c"},
      {"Anything", 3, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " state " << row.state);
    TestControl* c = control("c", row.text);
    scribble_status();
    as_in_dispatch([&] { c->show_status(row.state); });
    EXPECT_EQ(c->status_state, row.state);
    Pixels shown = status_on_window(), expected = status_showing(row.shown);
    EXPECT_TRUE(expected == shown) << first_difference(expected, shown);
  }
}

TEST_F(ControlTest, ShowStatusRedrawsOnlyWhenTheStateChanges) {
  TestControl* c = control("c", "Hover text");
  as_in_dispatch([&] { c->show_status(1); });
  scribble_status();
  Pixels scribbled = status_on_window();
  as_in_dispatch([&] { c->show_status(1); });
  EXPECT_TRUE(scribbled == status_on_window());
  as_in_dispatch([&] { c->show_status(0); });
  EXPECT_EQ(c->status_state, 0);
  EXPECT_TRUE(status_showing("") == status_on_window());
}

TEST_F(ControlTest, AControlWithoutTextNeverTouchesTheStatusLine) {
  TestControl* c = control("c");
  scribble_status();
  Pixels scribbled = status_on_window();
  as_in_dispatch([&] {
    c->show_status(1);
    c->show_status(2);
  });
  EXPECT_EQ(c->status_state, 0);
  EXPECT_TRUE(scribbled == status_on_window());
}

TEST_F(ControlTest, WithoutAPaintDcTheStatusLineUpdatesOnlyTheBackBuffer) {
  TestControl* c = control("c", "Back only");
  scribble_status();
  Pixels scribbled = status_on_window();
  c->show_status(1);
  EXPECT_EQ(c->status_state, 1);
  EXPECT_TRUE(scribbled == status_on_window());
  Pixels back = capture(host.back_dc, STATUS);
  EXPECT_TRUE(status_showing("Back only") == back);
}

TEST_F(ControlTest, PointInRectIsInclusiveAndReadsUnsignedHalves) {
  struct Row {
    int x, y;
    int inside;
  } rows[] = {{10, 20, 1}, {30, 40, 1}, {20, 30, 1}, {31, 40, 0},
              {10, 41, 0}, {9, 20, 0},  {10, 19, 0}, {0xFFFF, 30, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
    EXPECT_EQ(Control::point_in_rect(10, 20, 30, 40, MAKELONG(row.x, row.y)), row.inside);
  }
  EXPECT_EQ(Control::point_in_rect(0, 0, 70000, 70000, MAKELONG(0xFFFF, 0xFFFF)), 1);  // 65535, not -1
}

}  // namespace
