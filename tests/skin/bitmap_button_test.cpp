#include "bitmap_button.h"

#include <gtest/gtest.h>

#include <string>

#include "skin_window_test.h"

namespace {

constexpr int LEFT = 40, TOP = 30;
constexpr int COMMAND = 219;

class BitmapButtonTest : public SkinWindowTest {
protected:
  BitmapButton* button(DWORD normal = TEST_FACE, DWORD pressed = TEST_FACE, int command = COMMAND,
                       const char* status = "", const char* caption = nullptr, const RECT* caption_at = nullptr) {
    return new BitmapButton(&host, {LEFT, TOP, 0, 0}, normal, pressed, command, status, caption, caption_at);
  }
  // The button's rectangle as it should look: background, then `face` keyed at (x, y).
  Pixels looking(const BitmapButton* b, const SkinBitmap* face, int x, int y) {
    Expected expected;
    cover_with_background(expected);
    if (face) copy_keyed(face, expected.dc(), x, y, 0, 0);
    return expected.pixels(b->rect);
  }
};

TEST_F(BitmapButtonTest, SameImageTwiceMakesTheButtonOnePixelLargerAndCountsTwice) {
  BitmapButton* b = button();
  RECT expected = {LEFT, TOP, LEFT + TEST_FACE_WIDTH + 1, TOP + TEST_FACE_HEIGHT + 1};
  EXPECT_TRUE(EqualRect(&b->rect, &expected));
  EXPECT_EQ(b->press_offset, 1);
  EXPECT_EQ(b->image_x, LEFT);
  EXPECT_EQ(b->image_y, TOP);
  EXPECT_EQ(b->state, BUTTON_IDLE);
  EXPECT_EQ(b->command_id, COMMAND);
  EXPECT_EQ(bitmap_cache.ref_counts[cache_slot_of(TEST_FACE)], 2);
}

TEST_F(BitmapButtonTest, SizeComesFromTheNormalImageOrThePlacement) {
  struct Row {
    const char* name;
    DWORD normal, pressed;
    RECT expected;
    int offset;
  } rows[] = {
      {"different images", TEST_FACE, TEST_FACE_PRESSED, {LEFT, TOP, LEFT + 24, TOP + 14}, 0},
      {"no pressed image", TEST_FACE, 0, {LEFT, TOP, LEFT + 24, TOP + 14}, 0},
      {"no normal image", 0, TEST_FACE, {LEFT, TOP, 90, 80}, 0},
      {"no image at all", 0, 0, {LEFT, TOP, 91, 81}, 1},  // equal ids: one pixel more
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* b = new BitmapButton(&host, {LEFT, TOP, 90, 80}, row.normal, row.pressed, 1, "", nullptr, nullptr);
    EXPECT_TRUE(EqualRect(&b->rect, &row.expected));
    EXPECT_EQ(b->press_offset, row.offset);
    EXPECT_EQ(b->normal_image == nullptr, row.normal == 0);
    EXPECT_EQ(b->pressed_image == nullptr, row.pressed == 0);
  }
}

TEST_F(BitmapButtonTest, CaptionIsPlacedRelativeToTheButtonAndKeepsAtMost59Characters) {
  RECT at = {3, 20, 50, 13};
  std::string longer(100, 'c');
  BitmapButton* b = button(TEST_FACE, TEST_FACE, 1, "", longer.c_str(), &at);
  EXPECT_EQ(std::string(b->caption), std::string(59, 'c'));
  RECT expected = {LEFT + 3, TOP + 20, LEFT + 53, TOP + 33};
  EXPECT_TRUE(EqualRect(&b->caption_rect, &expected));
  BitmapButton* unplaced = button(TEST_FACE, TEST_FACE, 1, "", "Lost", nullptr);
  EXPECT_STREQ(unplaced->caption, "");  // a caption needs a placement to be drawn anywhere
}

TEST_F(BitmapButtonTest, RestingButtonIsKeyedOverTheBackground) {
  BitmapButton* b = button();
  paint_window();
  EXPECT_PIXELS(looking(b, b->normal_image, LEFT, TOP), shown(b->rect));
  EXPECT_NE(shown(b->rect).at(3, 3), background_at(LEFT + 3, TOP + 3));  // near white is drawn
}

TEST_F(BitmapButtonTest, PressWithOneImageShiftsItByOnePixelOverFreshBackground) {
  BitmapButton* b = button();
  paint_window();
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  EXPECT_EQ(b->state, BUTTON_PRESSED);
  EXPECT_PIXELS(looking(b, b->normal_image, LEFT + 1, TOP + 1), shown(b->rect));
  EXPECT_EQ(window.handled.back(), 0);  // a press does not stop the dispatch
  EXPECT_TRUE(window.commands.empty());

  window.mouse(WM_LBUTTONUP, LEFT + 5, TOP + 5);
  EXPECT_EQ(b->state, BUTTON_IDLE);
  EXPECT_PIXELS(looking(b, b->normal_image, LEFT, TOP), shown(b->rect));
  EXPECT_EQ(window.handled.back(), 1);
  EXPECT_EQ(window.commands, std::vector<WPARAM>{COMMAND});
}

TEST_F(BitmapButtonTest, PressWithTwoImagesDrawsThePressedOneInPlace) {
  BitmapButton* b = button(TEST_FACE, TEST_FACE_PRESSED);
  paint_window();
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  EXPECT_PIXELS(looking(b, b->pressed_image, LEFT, TOP), shown(b->rect));
}

TEST_F(BitmapButtonTest, TheOutermostRowAndColumnDoNotPress) {
  BitmapButton* b = button();
  const POINT edges[] = {{LEFT, TOP + 5}, {LEFT + 5, TOP}, {b->rect.right, TOP + 5}, {LEFT + 5, b->rect.bottom}};
  for (const POINT& p : edges) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    window.mouse(WM_LBUTTONDOWN, p.x, p.y);
    EXPECT_EQ(b->state, BUTTON_IDLE);
    window.mouse(WM_LBUTTONUP, p.x, p.y);
    EXPECT_EQ(window.handled.back(), 0);
  }
  window.mouse(WM_LBUTTONDOWN, LEFT + 1, TOP + 1);
  EXPECT_EQ(b->state, BUTTON_PRESSED);
  EXPECT_TRUE(window.commands.empty());
}

TEST_F(BitmapButtonTest, LeavingWhilePressedRestoresTheButtonAndTheReleasePostsNothing) {
  BitmapButton* b = button();
  paint_window();
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  window.mouse(WM_MOUSEMOVE, LEFT + 100, TOP + 5);
  EXPECT_EQ(b->state, BUTTON_IDLE);
  EXPECT_PIXELS(looking(b, b->normal_image, LEFT, TOP), shown(b->rect));
  window.mouse(WM_MOUSEMOVE, LEFT + 5, TOP + 5);
  EXPECT_EQ(b->state, BUTTON_IDLE);
  window.mouse(WM_LBUTTONUP, LEFT + 5, TOP + 5);
  EXPECT_TRUE(window.commands.empty());
  EXPECT_EQ(window.handled.back(), 0);
}

TEST_F(BitmapButtonTest, AReleaseAnywhereFiresAPressedButton) {
  BitmapButton* b = button();
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  window.mouse(WM_LBUTTONUP, 300, 200);
  EXPECT_EQ(b->state, BUTTON_IDLE);
  EXPECT_EQ(window.commands, std::vector<WPARAM>{COMMAND});
}

TEST_F(BitmapButtonTest, WithoutACommandTheReleaseStillEndsTheDispatchButPostsNothing) {
  button(TEST_FACE, TEST_FACE, 0);
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  window.mouse(WM_LBUTTONUP, LEFT + 5, TOP + 5);
  EXPECT_EQ(window.handled.back(), 1);
  EXPECT_TRUE(window.commands.empty());
}

TEST_F(BitmapButtonTest, HoverShowsTheStatusTextOnlyAndLaterControlsStillSeeTheMove) {
  BitmapButton* b = button(TEST_FACE, TEST_FACE, 1, "Install now");
  observer();
  paint_window();
  log.clear();
  Pixels resting = shown(b->rect);
  window.mouse(WM_MOUSEMOVE, LEFT + 5, TOP + 5);
  EXPECT_EQ(b->status_state, 1);
  EXPECT_TRUE(resting == shown(b->rect));
  EXPECT_EQ(log, std::vector<std::string>{"later mouse 200"});
  Expected expected;
  cover_with_background(expected);
  draw_text(expected.dc(), STATUS.left, STATUS.top, "Install now", normal_font);
  EXPECT_PIXELS(expected.pixels(STATUS), shown(STATUS));
  window.mouse(WM_MOUSEMOVE, 300, 200);
  EXPECT_EQ(b->status_state, 0);
}

TEST_F(BitmapButtonTest, HiddenButtonErasesItselfButStillDrawsItsCaption) {
  RECT at = {0, 16, 60, 13};
  BitmapButton* b = button(TEST_FACE, TEST_FACE, 1, "", "Enjoy", &at);
  paint_window();
  Expected expected;
  cover_with_background(expected);
  draw_text(expected.dc(), b->caption_rect.left, b->caption_rect.top, "Enjoy", normal_font);
  b->set_visible(0);
  EXPECT_PIXELS(expected.pixels(b->rect), shown(b->rect));
  EXPECT_PIXELS(expected.pixels(b->caption_rect), shown(b->caption_rect));
}

TEST_F(BitmapButtonTest, APictureTakesNoPartInTheDispatch) {
  BitmapButton* picture = button(TEST_FACE, TEST_FACE, 1);
  picture->interactive = 0;
  window.mouse(WM_LBUTTONDOWN, LEFT + 5, TOP + 5);
  window.mouse(WM_LBUTTONUP, LEFT + 5, TOP + 5);
  EXPECT_EQ(picture->state, BUTTON_IDLE);
  EXPECT_TRUE(window.commands.empty());
}

}  // namespace
