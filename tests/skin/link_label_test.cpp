#include "link_label.h"

#include <gtest/gtest.h>

#include <string>

#include "skin_window_test.h"

namespace {

constexpr int X = 96, Y = 14;
constexpr int COMMAND = 1029;
const char TEXT[] = "www.example.com";

class LinkLabelTest : public SkinWindowTest {
protected:
  LinkLabel* link(const char* status = "Visit the home page") {
    return new LinkLabel(&host, {X, Y, 0, 0}, TEXT, COMMAND, status);
  }
  SIZE extent(const char* text) {
    HDC dc = GetDC(window.hwnd());
    HGDIOBJ previous = SelectObject(dc, underline_font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, previous);
    ReleaseDC(window.hwnd(), dc);
    return size;
  }
  Pixels link_looking(COLORREF colour, const RECT& area) {
    Expected expected;
    cover_with_background(expected);
    draw_text(expected.dc(), X, Y, TEXT, underline_font, colour);
    return expected.pixels(area);
  }
};

TEST_F(LinkLabelTest, BeforeItsFirstDrawTheHitAreaIsTheOriginPixel) {
  LinkLabel* l = link();
  RECT origin = {X, Y, X, Y};
  EXPECT_TRUE(EqualRect(&l->hit_rect, &origin));
  EXPECT_EQ(l->visited, 0);
  EXPECT_EQ(l->command_id, COMMAND);
  window.mouse(WM_MOUSEMOVE, X, Y);
  EXPECT_EQ(window.handled.back(), 1);
  window.mouse(WM_MOUSEMOVE, X + 1, Y);
  EXPECT_EQ(window.handled.back(), 0);
}

TEST_F(LinkLabelTest, DrawsUnderlinedBlueAndMeasuresItsHitArea) {
  LinkLabel* l = link();
  paint_window();
  SIZE size = extent(TEXT);
  RECT expected = {X, Y, X + size.cx, Y + size.cy};
  EXPECT_TRUE(EqualRect(&l->hit_rect, &expected));
  RECT area = {X - 2, Y - 2, X + size.cx + 2, Y + size.cy + 2};
  EXPECT_PIXELS(link_looking(LINK_COLOUR, area), shown(area));
}

TEST_F(LinkLabelTest, AfterAPressTheNextDrawIsPurple) {
  LinkLabel* l = link();
  paint_window();
  RECT area = l->hit_rect;
  window.mouse(WM_LBUTTONDOWN, X + 2, Y + 2);
  EXPECT_EQ(l->visited, 1);
  EXPECT_PIXELS(link_looking(LINK_COLOUR, area), shown(area));  // not redrawn by the press
  paint_window();
  EXPECT_PIXELS(link_looking(VISITED_LINK_COLOUR, area), shown(area));
}

TEST_F(LinkLabelTest, DrawingLeavesTheTextColourBlackAndTheFontAsItWas) {
  LinkLabel* l = link();
  MemorySurface surface(300, 50);
  SetTextColor(surface.dc(), RGB(0, 200, 0));
  HGDIOBJ font = GetCurrentObject(surface.dc(), OBJ_FONT);
  l->render(surface.dc());
  EXPECT_EQ(GetTextColor(surface.dc()), 0u);
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), font);
}

TEST_F(LinkLabelTest, AMoveOverTheLinkSetsTheCursorAndStopsTheDispatch) {
  LinkLabel* l = link();
  observer();
  paint_window();
  log.clear();
  SetCursor(nullptr);
  window.mouse(WM_MOUSEMOVE, X + 3, Y + 3);
  EXPECT_EQ(window.handled.back(), 1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GetCursor(), link_cursor);
  EXPECT_EQ(l->status_state, 1);
  window.mouse(WM_MOUSEMOVE, 300, 200);
  EXPECT_EQ(window.handled.back(), 0);
  EXPECT_EQ(log, std::vector<std::string>{"later mouse 200"});
  EXPECT_EQ(l->status_state, 0);
}

TEST_F(LinkLabelTest, TheHitAreaIncludesItsRightColumnAndBottomRow) {
  LinkLabel* l = link();
  paint_window();
  struct Row {
    int x, y, inside;
  } rows[] = {{l->hit_rect.right, l->hit_rect.bottom, 1},
              {l->hit_rect.right + 1, l->hit_rect.bottom, 0},
              {l->hit_rect.right, l->hit_rect.bottom + 1, 0},
              {X - 1, Y, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
    window.mouse(WM_MOUSEMOVE, row.x, row.y);
    EXPECT_EQ(window.handled.back(), row.inside);
  }
}

TEST_F(LinkLabelTest, EveryPressPostsTheCommand) {
  LinkLabel* l = link();
  paint_window();
  window.mouse(WM_LBUTTONDOWN, X + 2, Y + 2);
  window.mouse(WM_LBUTTONDOWN, X + 2, Y + 2);
  window.mouse(WM_LBUTTONDOWN, 300, 200);   // outside
  window.mouse(WM_RBUTTONDOWN, X + 2, Y + 2);  // not the left button
  EXPECT_EQ(window.commands, (std::vector<WPARAM>{COMMAND, COMMAND}));
  EXPECT_EQ(l->visited, 1);
}

TEST_F(LinkLabelTest, LinkTextKeepsAtMost59Characters) {
  std::string longer(90, 'w');
  auto* l = new LinkLabel(&host, {X, Y, 0, 0}, longer.c_str(), 0, "");
  EXPECT_EQ(std::string(l->text), std::string(59, 'w'));
}

// Hiding a link covers the text it drew with the background.
TEST_F(LinkLabelTest, AHiddenLinkErasesItsText) {
  LinkLabel* l = link();
  paint_window();
  RECT area = l->hit_rect;
  l->set_visible(0);
  Expected expected;
  cover_with_background(expected);
  EXPECT_PIXELS(expected.pixels(area), shown(area));
  l->set_visible(1);
  EXPECT_PIXELS(link_looking(LINK_COLOUR, area), shown(area));
}

}  // namespace
