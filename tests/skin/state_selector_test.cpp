#include "state_selector.h"

#include <gtest/gtest.h>

#include <string>

#include "skin_window_test.h"

namespace {

constexpr int COMMAND = 2000;
const char LABEL[] = "Tessora Ondel demo";

class StateSelectorTest : public SkinWindowTest {
protected:
  // The installer's own selector, with the test strip of four 13 x 13 frames.
  StateSelector* check_box(int style = 0) {
    return new StateSelector(&host, {230, 10, 250, 22}, TEST_STRIP, 0x80148000, LABEL, 0, -3,
                             "Select to install Tessora Ondel filter", COMMAND, style, "Ondel");
  }
  // Its label (or a grid's number) at (132, 100), right of a grid cell.
  StateSelector* counter(int lowest, int highest, int style = 0, DWORD strip = TEST_STRIP) {
    return new StateSelector(&host, {100, 100, 60, 30}, strip, 0x80208000, "Count", lowest, highest, "Counts",
                             COMMAND, style, nullptr);
  }
  // A click inside the installer's selector.
  void at_box(UINT message) { window.mouse(message, 235, 15); }

  // What the selector's frame should show: strip columns [start, start + w) at the
  // hit rectangle, opaque, keyed over the background, or transposed.
  Pixels frame_looking(const StateSelector* s, int frame, int style) {
    Expected expected;
    cover_with_background(expected);
    int w = s->strip->height;
    const RECT& r = s->hit_rect;
    if (style & SEL_TRANSPOSED)
      copy_columns_transposed(s->strip, expected.dc(), frame * w, r.left, frame * w + w, r.top);
    else if (style & SEL_KEYED)
      copy_columns_keyed(s->strip, expected.dc(), frame * w, r.left, frame * w + w, r.top);
    else
      copy_columns(s->strip, expected.dc(), frame * w, r.left, frame * w + w, r.top);
    return expected.pixels(r);
  }
};

TEST_F(StateSelectorTest, TheInstallersSelectorHasItsRectanglesAndLabelWhereTheDialogExpectsThem) {
  StateSelector* s = check_box();
  RECT hit = {230, 10, 243, 23}, erase = {230, 10, 480, 32};
  EXPECT_TRUE(EqualRect(&s->hit_rect, &hit));
  EXPECT_TRUE(EqualRect(&s->erase_rect, &erase));
  EXPECT_EQ(s->hit_rect.left + s->label_dx, 250);
  EXPECT_EQ(s->hit_rect.top - s->label_dy, 10);
  EXPECT_EQ(s->toggle_mode, 1);
  EXPECT_EQ(s->minimum, 0);
  EXPECT_EQ(s->maximum, 3);
  EXPECT_EQ(s->value, 0);
  EXPECT_EQ(s->command_id, COMMAND);
  EXPECT_STREQ(s->key, "Ondel");
  EXPECT_STREQ(s->label, LABEL);
  EXPECT_STREQ(s->status_text, "Select to install Tessora Ondel filter");
  ASSERT_NE(s->strip, nullptr);
  EXPECT_EQ(s->strip->width, 52);
}

TEST_F(StateSelectorTest, LabelOffsetPacksBothOffsetsAroundAMiddleOf0x8000) {
  struct Row {
    DWORD packed;
    int dx, dy;
  } rows[] = {{0x80148000, 20, 0}, {0x80008000, 0, 0}, {0x7FF08005, -16, 5}, {0x8001FFFF, 1, 0x7FFF}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.packed);
    StateSelector s(&host, {0, 0, 10, 10}, TEST_STRIP, row.packed, "", 0, 1, "", 0, 0, nullptr);
    EXPECT_EQ(s.label_dx, row.dx);
    EXPECT_EQ(s.label_dy, row.dy);
    host.count = 0;  // these stack selectors end here, not through the host
  }
}

TEST_F(StateSelectorTest, StyleSetsTheHitRectangle) {
  struct Row {
    const char* name;
    int style;
    DWORD strip;
    int width, height;
  } rows[] = {{"frames", 0, TEST_STRIP, 13, 13},
              {"wide frames", SEL_WIDE, TEST_WIDE_STRIP, 26, 13},
              {"grid", SEL_GRID, TEST_SHEET, 26, 26},
              {"wide grid: twice the strip height", SEL_GRID | SEL_WIDE, TEST_SHEET, 104, 26}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StateSelector* s = counter(0, 7, row.style, row.strip);
    EXPECT_EQ(s->hit_rect.right - s->hit_rect.left, row.width);
    EXPECT_EQ(s->hit_rect.bottom - s->hit_rect.top, row.height);
    EXPECT_EQ(s->toggle_mode, 0);
    EXPECT_EQ(s->maximum, 7);
  }
}

TEST_F(StateSelectorTest, SetValueClampsAndGetValueCountsFromTheMinimum) {
  StateSelector* s = counter(2, 5);
  struct Row {
    int set, stored;
  } rows[] = {{0, 2}, {3, 5}, {10, 5}, {-3, 2}, {1, 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.set);
    s->set_value(row.set);
    EXPECT_EQ(s->value, row.stored);
    EXPECT_EQ(s->get_value(), row.stored - 2);
  }
  EXPECT_TRUE(window.commands.empty());
}

TEST_F(StateSelectorTest, AValueOnlySelectorHoldsItsValueAndKeyAndNothingElse) {
  auto* s = new StateSelector(&host, {10, 10, 50, 20}, TEST_STRIP, 0x80148000, "unused", 0, -3, "Hover", COMMAND,
                              SEL_VALUE_ONLY, "Key");
  EXPECT_EQ(s->strip, nullptr);
  EXPECT_EQ(s->value, 0);
  EXPECT_STREQ(s->key, "Key");
  EXPECT_EQ(cache_slots_in_use(), 1);  // only the background
  s->set_value(99);
  EXPECT_EQ(s->value, 99);
  EXPECT_EQ(s->get_value(), 99);
  scribble({0, 0, 60, 40});
  Pixels before = shown({0, 0, 60, 40});
  s->repaint();
  window.mouse(WM_LBUTTONDOWN, 10, 10);
  window.mouse(WM_MOUSEMOVE, 10, 10);
  EXPECT_TRUE(before == shown({0, 0, 60, 40}));
  EXPECT_EQ(window.handled, (std::vector<int>{0, 0}));
  EXPECT_EQ(s->status_state, 0);
}

// The check box's cycle: each row starts from a value and sends clicks through the
// window's queue; the values after each message and the commands posted are checked.
TEST_F(StateSelectorTest, ToggleCycleMovesThroughThePressedLookAndReportsOnRelease) {
  struct Click {
    UINT message;
    bool inside;
    int value_after;
    int handled;
  };
  struct Row {
    const char* name;
    int start;
    std::vector<Click> clicks;
    size_t commands;
  } rows[] = {
      {"left click selects", 0, {{WM_LBUTTONDOWN, true, 1, 1}, {WM_LBUTTONUP, true, 2, 1}}, 1},
      {"left click deselects", 2, {{WM_LBUTTONDOWN, true, 3, 1}, {WM_LBUTTONUP, true, 0, 1}}, 1},
      {"right click selects", 0, {{WM_RBUTTONDOWN, true, 3, 1}, {WM_RBUTTONUP, true, 2, 1}}, 1},
      {"right click deselects", 2, {{WM_RBUTTONDOWN, true, 1, 1}, {WM_RBUTTONUP, true, 0, 1}}, 1},
      {"leaving with the left button held", 0,
       {{WM_LBUTTONDOWN, true, 1, 1}, {WM_MOUSEMOVE, false, 0, 0}, {WM_LBUTTONUP, false, 0, 0}}, 0},
      {"leaving with the right button held", 2,
       {{WM_RBUTTONDOWN, true, 1, 1}, {WM_MOUSEMOVE, false, 0, 0}, {WM_RBUTTONUP, true, 0, 0}}, 0},
      {"a release outside reverts", 2, {{WM_LBUTTONDOWN, true, 3, 1}, {WM_LBUTTONUP, false, 2, 0}}, 0},
      {"a release without a press does nothing", 2, {{WM_LBUTTONUP, true, 2, 0}}, 0},
      {"double clicks and the middle button do nothing", 0,
       {{WM_LBUTTONDBLCLK, true, 0, 0}, {WM_MBUTTONDOWN, true, 0, 0}}, 0},
  };
  StateSelector* s = check_box();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s->value = row.start;
    window.commands.clear();
    for (const Click& click : row.clicks) {
      window.mouse(click.message, click.inside ? 235 : 300, click.inside ? 15 : 200);
      EXPECT_EQ(s->value, click.value_after);
      EXPECT_EQ(window.handled.back(), click.handled);
    }
    EXPECT_EQ(window.commands, std::vector<WPARAM>(row.commands, COMMAND));
  }
}

TEST_F(StateSelectorTest, CounterStepsAndReportsOnEveryPressAndWrapsBothWays) {
  StateSelector* s = counter(0, 3);
  struct Step {
    UINT message;
    int value_after;
  } steps[] = {{WM_LBUTTONDOWN, 1}, {WM_LBUTTONDOWN, 2}, {WM_LBUTTONDOWN, 3}, {WM_LBUTTONDOWN, 0},
               {WM_RBUTTONDOWN, 3}, {WM_RBUTTONDOWN, 2}, {WM_LBUTTONUP, 2},   {WM_RBUTTONUP, 2}};
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << std::hex << step.message << " to " << step.value_after);
    window.mouse(step.message, 105, 105);
    EXPECT_EQ(s->value, step.value_after);
  }
  EXPECT_EQ(window.commands, std::vector<WPARAM>(6, COMMAND));
  EXPECT_EQ(window.handled, (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0}));
}

// A step below a non-zero minimum wraps to the maximum, as a step above the maximum
// wraps to the minimum.
TEST_F(StateSelectorTest, CounterWithANonZeroMinimumWrapsAtTheMinimum) {
  StateSelector* s = counter(2, 5);
  ASSERT_EQ(s->value, 2);
  window.mouse(WM_RBUTTONDOWN, 105, 105);
  EXPECT_EQ(s->value, 5);
  window.mouse(WM_LBUTTONDOWN, 105, 105);
  EXPECT_EQ(s->value, 2);
}

TEST_F(StateSelectorTest, AMoveInsideShowsTheStatusLineAndPassesTheMoveOn) {
  StateSelector* s = check_box();
  observer();
  at_box(WM_MOUSEMOVE);
  EXPECT_EQ(s->status_state, 1);
  EXPECT_EQ(window.handled.back(), 0);
  EXPECT_EQ(log, std::vector<std::string>{"later mouse 200"});
  window.mouse(WM_MOUSEMOVE, 300, 200);
  EXPECT_EQ(s->status_state, 0);
  log.clear();
  at_box(WM_LBUTTONDOWN);  // a press is consumed
  EXPECT_TRUE(log.empty());
}

TEST_F(StateSelectorTest, AGridRightPressReportsTheNextCommandAndPassesThePressOn) {
  StateSelector* s = counter(0, 7, SEL_GRID, TEST_SHEET);
  s->value = 5;
  observer();
  window.mouse(WM_RBUTTONDOWN, 110, 110);
  EXPECT_EQ(s->value, 5);
  EXPECT_EQ(window.handled.back(), 0);
  EXPECT_EQ(window.commands, std::vector<WPARAM>{COMMAND + 1});
  EXPECT_EQ(log, std::vector<std::string>{"later mouse 204"});
  window.mouse(WM_LBUTTONUP, 110, 110);
  EXPECT_EQ(window.handled.back(), 0);
}

TEST_F(StateSelectorTest, ClicksShowTheCheckBoxFramesAndTheLabel) {
  StateSelector* s = check_box();
  paint_window();
  EXPECT_PIXELS(frame_looking(s, 0, 0), shown(s->hit_rect));
  RECT label = {250, 10, 380, 24};
  Expected expected;
  cover_with_background(expected);
  draw_text(expected.dc(), 250, 10, LABEL, normal_font);
  EXPECT_PIXELS(expected.pixels(label), shown(label));
  at_box(WM_LBUTTONDOWN);
  EXPECT_PIXELS(frame_looking(s, 1, 0), shown(s->hit_rect));
  at_box(WM_LBUTTONUP);
  EXPECT_PIXELS(frame_looking(s, 2, 0), shown(s->hit_rect));
}

TEST_F(StateSelectorTest, KeyedAndTransposedFramesAreDrawnAsTheirStylesSay) {
  for (int style : {SEL_KEYED, SEL_TRANSPOSED, SEL_TRANSPOSED | SEL_KEYED}) {
    SCOPED_TRACE(style);
    StateSelector* s = check_box(style);
    s->value = 2;
    paint_window();
    EXPECT_PIXELS(frame_looking(s, 2, style), shown(s->hit_rect));
    host.count = 0;  // the next row's selector draws alone
    delete s;
  }
}

TEST_F(StateSelectorTest, AFrameBeyondTheStripDrawsNothingNotEvenTheLabel) {
  StateSelector* s = check_box();
  s->value = 4;  // the strip has frames 0 to 3
  scribble({200, 0, 400, 40});
  Pixels before = shown({200, 0, 400, 40});
  s->repaint();
  EXPECT_TRUE(before == shown({200, 0, 400, 40}));
}

TEST_F(StateSelectorTest, AHiddenSelectorCoversImageAndLabelWithTheBackground) {
  StateSelector* s = check_box();
  paint_window();
  s->set_visible(0);
  Expected expected;
  cover_with_background(expected);
  EXPECT_PIXELS(expected.pixels(s->erase_rect), shown(s->erase_rect));
}

TEST_F(StateSelectorTest, AGridSelectorShowsItsCellAndTheNumberAfterItsValue) {
  StateSelector* s = counter(0, 7, SEL_GRID, TEST_SHEET);
  s->value = 5;
  paint_window();
  Expected expected;
  cover_with_background(expected);
  copy_rect(s->strip, expected.dc(), s->hit_rect, 26, 26);  // cell 5: column 1, row 1
  draw_text(expected.dc(), 132, 100, "06", normal_font);
  RECT patch = {132, 100, 146, 113};
  EXPECT_PIXELS(expected.pixels(s->hit_rect), shown(s->hit_rect));
  EXPECT_PIXELS(expected.pixels(patch), shown(patch));
}

TEST_F(StateSelectorTest, WithoutAStripTheValueIsDrawnAsANumber) {
  StateSelector* s = counter(0, 7);
  bitmap_cache.release(s->strip);
  delete s->strip;
  s->strip = nullptr;
  s->value = 2;
  paint_window();
  Expected expected;
  cover_with_background(expected);
  draw_text(expected.dc(), 132, 100, "02", normal_font);
  RECT area = {100, 100, 160, 120};
  EXPECT_PIXELS(expected.pixels(area), shown(area));
}

TEST_F(StateSelectorTest, LabelAndKeyKeepAtMost39Characters) {
  std::string longer(70, 'k');
  auto* s = new StateSelector(&host, {0, 0, 10, 10}, TEST_STRIP, 0x80008000, longer.c_str(), 0, 1, "", 0, 0,
                              longer.c_str());
  EXPECT_EQ(std::string(s->label), std::string(39, 'k'));
  EXPECT_EQ(std::string(s->key), std::string(39, 'k'));
  EXPECT_EQ(s->toggle_mode, 0);  // the field after the key
}

TEST(FormatNumberTest, WritesAtLeastTwoDigits) {
  struct Row {
    int number;
    const char* text;
  } rows[] = {{0, "00"}, {1, "01"}, {10, "10"}, {100, "100"}};
  for (const Row& row : rows) {
    char text[16];
    format_number(text, row.number);
    EXPECT_STREQ(text, row.text);
  }
}

}  // namespace
