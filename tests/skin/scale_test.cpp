// The skin at other DPIs than 96: the one scale, artwork drawn from its scaled form,
// fonts made for the DPI, the mouse dispatch and the colours of high contrast.
#include <gtest/gtest.h>

#include "link_label.h"
#include "skin_window_test.h"

namespace {

constexpr COLORREF UNTOUCHED = RGB(1, 2, 3);  // in no test image

// Runs with the skin and the cached artwork at `dpi`, and puts both back at 96 after.
struct AtDpi {
  explicit AtDpi(int dpi) {
    skin_dpi = dpi;
    bitmap_cache.rescale_all();
  }
  ~AtDpi() {
    skin_dpi = BASE_DPI;
    bitmap_cache.rescale_all();
  }
};

// The test face (24 x 14: a 2-pixel white surround, a near-white pixel at (3, 3),
// blue 170 everywhere else) keyed at (0, 0) over an untouched surface.
Pixels face_at(int dpi) {
  SkinBitmap face(test_instance(), nullptr, TEST_FACE);
  AtDpi scale(dpi);
  MemorySurface surface(to_device(TEST_FACE_WIDTH), to_device(TEST_FACE_HEIGHT));
  fill_colour(surface.dc(), surface.rect(), UNTOUCHED);
  copy_keyed(&face, surface.dc(), 0, 0, 0, 0);
  Pixels shown = surface.pixels();
  bitmap_cache.release(&face);
  return shown;
}

}  // namespace

TEST(SkinScale, TurnsPixelsOf96DpiIntoDevicePixelsAndBack) {
  struct Row {
    int dpi, logical, device, back;
  } rows[] = {{96, 383, 383, 383}, {192, 383, 766, 383}, {144, 383, 575, 383}, {144, 13, 20, 13},
              {120, 270, 338, 270}, {288, 5, 15, 5}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dpi);
    AtDpi scale(row.dpi);
    EXPECT_EQ(to_device(row.logical), row.device);
    EXPECT_EQ(to_logical(row.device), row.back);
  }
  skin_dpi = 0;  // before any window: 96
  EXPECT_EQ(to_device(383), 383);
}

TEST(SkinScale, WholeFactorsRepeatEveryArtworkPixel) {
  Pixels one = face_at(96), two = face_at(192), three = face_at(288);
  for (int y = 0; y < two.height; ++y)
    for (int x = 0; x < two.width; ++x) ASSERT_EQ(two.at(x, y), one.at(x / 2, y / 2)) << x << ", " << y;
  for (int y = 0; y < three.height; ++y)
    for (int x = 0; x < three.width; ++x) ASSERT_EQ(three.at(x, y), one.at(x / 3, y / 3)) << x << ", " << y;
}

// At 150 % the white surround stays exactly where its nearest pixels put it (3 device
// pixels), and no blend takes in white: away from the near-white pixel every drawn
// pixel keeps the face's blue of 170.
TEST(SkinScale, OtherFactorsBlendOnlyArtworkAndKeepTheKeyExact) {
  Pixels shown = face_at(144);
  ASSERT_EQ(shown.width, 36);
  ASSERT_EQ(shown.height, 21);
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
      COLORREF pixel = shown.at(x, y);
      bool inside = x >= 3 && x < 33 && y >= 3 && y < 18;
      ASSERT_EQ(pixel == UNTOUCHED, !inside);
      if (inside && (x >= 8 || y >= 8)) {
        ASSERT_EQ(GetBValue(pixel), 170);
      }
    }
  }
}

TEST(SkinScale, FontsAreMadeForTheDpiInTrueTypeAbove96) {
  struct Row {
    int dpi;
    const char* face;
    const char* made;
    LONG height;
  } rows[] = {{96, "MS Sans Serif", "MS Sans Serif", 13},  {192, "MS Sans Serif", "Microsoft Sans Serif", 26},
              {144, "ms sans serif", "Microsoft Sans Serif", 24}, {144, "Tahoma", "Tahoma", 24}};
  ControlHost host;
  SkinPainter painter(&host, test_instance());
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.dpi) + " " + row.face);
    AtDpi scale(row.dpi);
    HFONT font = painter.make_font(row.face, row.dpi == 144 ? 16 : 13, 0);
    LOGFONTA made = {};
    GetObjectA(font, sizeof made, &made);
    EXPECT_STREQ(made.lfFaceName, row.made);
    EXPECT_EQ(made.lfHeight, row.height);
    DeleteObject(font);
  }
}

TEST(SkinColours, HighContrastTakesTheSystemsColoursNormalKeepsTheArtworks) {
  SkinColours normal = colours_for(0), contrast = colours_for(1);
  EXPECT_EQ(normal.high_contrast, 0);
  EXPECT_EQ(normal.text, 0u);
  EXPECT_EQ(contrast.high_contrast, 1);
  EXPECT_EQ(contrast.text, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(contrast.back, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(contrast.link, GetSysColor(COLOR_HOTLIGHT));
}

// In high contrast the link's text stands in the system's link colour on its window
// colour, whatever the artwork behind it.
TEST_F(SkinWindowTest, InHighContrastTheLinkIsDrawnInTheSystemsColoursOnItsOwnBackground) {
  LinkLabel* link = new LinkLabel(&host, {20, 30, 0, 0}, "www.example.test", 1029, "");
  skin_colours = colours_for(1);
  paint_window();
  skin_colours = colours_for(0);
  RECT text = link->hit_rect;
  Pixels shown = this->shown(text);
  int back_pixels = 0;
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      ASSERT_NE(shown.at(x, y), background_at(text.left + x, text.top + y)) << x << ", " << y;
      back_pixels += shown.at(x, y) == GetSysColor(COLOR_WINDOW);
    }
  }
  EXPECT_GT(back_pixels, shown.width * shown.height / 2);
  EXPECT_LT(back_pixels, shown.width * shown.height);
}
