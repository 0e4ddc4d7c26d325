#include "blit.h"

#include <gtest/gtest.h>

#include "reference_copies.h"
#include "skin_test_support.h"

namespace {

// A 60 x 20 strip: distinct colours, pure white every seventh pixel, near-white
// (one channel 254) every eleventh, so a wrongly skipped or copied white shows.
COLORREF strip_pixel(int x, int y) {
  int n = y * 60 + x;
  if (n % 7 == 0) return 0xFFFFFF;
  if (n % 11 == 0) return n % 2 ? 0xFEFFFF : 0xFFFFFE;
  return RGB(20 + x * 3, 30 + y * 9, 200 - x * 2);
}
COLORREF sheet_pixel(int x, int y) { return RGB(x * 2, y * 2, 100 + (x + y) % 50); }

class PixelCopyTest : public ::testing::Test {
public:
  void SetUp() override {
    strip = make_bitmap(60, 20, strip_pixel);
    sheet = make_bitmap(104, 104, sheet_pixel);
    loaded = SkinBitmap(test_instance(), nullptr, TEST_STRIP);
    no_dc.width = 60;
    no_dc.height = 20;
  }
  void TearDown() override {
    free_bitmap(strip);
    free_bitmap(sheet);
    bitmap_cache.release(&loaded);
    EXPECT_EQ(cache_slots_in_use(), 0);
  }
  SkinBitmap strip, sheet, loaded, no_dc;
};

// One pixel copy, done by the product and by the per-pixel definition.
struct CopyCase {
  const char* name;
  SkinBitmap PixelCopyTest::*source;
  std::function<void(const SkinBitmap&, HDC)> product;
  std::function<void(const SkinBitmap&, HDC)> reference;
};

std::vector<CopyCase> copy_cases() {
  using B = const SkinBitmap&;
  return {
      {"keyed", &PixelCopyTest::strip, [](B b, HDC dc) { copy_keyed(&b, dc, 5, 6, 3, 4); },
       [](B b, HDC dc) { reference_copy_keyed(b, dc, 5, 6, 3, 4); }},
      {"keyed, partly off the surface", &PixelCopyTest::strip, [](B b, HDC dc) { copy_keyed(&b, dc, -5, -3, -2, 0); },
       [](B b, HDC dc) { reference_copy_keyed(b, dc, -5, -3, -2, 0); }},
      {"keyed, loaded resource", &PixelCopyTest::loaded, [](B b, HDC dc) { copy_keyed(&b, dc, 30, 2, 1, 1); },
       [](B b, HDC dc) { reference_copy_keyed(b, dc, 30, 2, 1, 1); }},
      {"keyed, no memory DC", &PixelCopyTest::no_dc, [](B b, HDC dc) { copy_keyed(&b, dc, 2, 2, 0, 0); },
       [](B b, HDC dc) { reference_copy_keyed(b, dc, 2, 2, 0, 0); }},
      {"columns 20-40", &PixelCopyTest::strip, [](B b, HDC dc) { copy_columns(&b, dc, 20, 7, 40, 9); },
       [](B b, HDC dc) { reference_copy_columns(b, dc, 20, 7, 40, 9); }},
      {"columns, no memory DC", &PixelCopyTest::no_dc, [](B b, HDC dc) { copy_columns(&b, dc, 0, 7, 13, 9); },
       [](B b, HDC dc) { reference_copy_columns(b, dc, 0, 7, 13, 9); }},
      {"columns keyed", &PixelCopyTest::strip, [](B b, HDC dc) { copy_columns_keyed(&b, dc, 13, 40, 39, 12); },
       [](B b, HDC dc) { reference_copy_columns_keyed(b, dc, 13, 40, 39, 12); }},
      {"columns keyed, loaded frame 2", &PixelCopyTest::loaded,
       [](B b, HDC dc) { copy_columns_keyed(&b, dc, 26, 4, 39, 4); },
       [](B b, HDC dc) { reference_copy_columns_keyed(b, dc, 26, 4, 39, 4); }},
      {"columns transposed", &PixelCopyTest::strip, [](B b, HDC dc) { copy_columns_transposed(&b, dc, 20, 11, 40, 3); },
       [](B b, HDC dc) { reference_copy_columns_transposed(b, dc, 20, 11, 40, 3); }},
      {"columns transposed, narrower than high", &PixelCopyTest::strip,
       [](B b, HDC dc) { copy_columns_transposed(&b, dc, 30, 2, 38, 20); },
       [](B b, HDC dc) { reference_copy_columns_transposed(b, dc, 30, 2, 38, 20); }},
      {"rect", &PixelCopyTest::sheet, [](B b, HDC dc) { copy_rect(&b, dc, {10, 10, 36, 36}, 26, 52); },
       [](B b, HDC dc) { reference_copy_rect(b, dc, {10, 10, 36, 36}, 26, 52); }},
      {"rect, no memory DC", &PixelCopyTest::no_dc, [](B b, HDC dc) { copy_rect(&b, dc, {1, 2, 9, 7}, 0, 0); },
       [](B b, HDC dc) { reference_copy_rect(b, dc, {1, 2, 9, 7}, 0, 0); }},
      {"rect transposed", &PixelCopyTest::sheet,
       [](B b, HDC dc) { copy_rect_transposed(&b, dc, {10, 10, 36, 36}, 26, 52); },
       [](B b, HDC dc) { reference_copy_rect_transposed(b, dc, {10, 10, 36, 36}, 26, 52); }},
      {"rect transposed, not square", &PixelCopyTest::sheet,
       [](B b, HDC dc) { copy_rect_transposed(&b, dc, {5, 8, 45, 20}, 3, 4); },
       [](B b, HDC dc) { reference_copy_rect_transposed(b, dc, {5, 8, 45, 20}, 3, 4); }},
  };
}

// Draws each case both ways over the same pattern and compares every pixel of the
// whole surface, so a pixel written outside the mapping shows as well.
void compare_on(HDC dc, const RECT& area, PixelCopyTest* test) {
  unsigned seed = 1;
  for (const CopyCase& row : copy_cases()) {
    SCOPED_TRACE(row.name);
    const SkinBitmap& source = test->*row.source;
    fill_pattern(dc, area, seed);
    row.reference(source, dc);
    Pixels expected = capture(dc, area);
    fill_pattern(dc, area, seed++);
    row.product(source, dc);
    Pixels actual = capture(dc, area);
    EXPECT_TRUE(expected == actual) << first_difference(expected, actual);
  }
}

TEST_F(PixelCopyTest, EveryCopyMatchesThePerPixelDefinitionOnAMemoryDc) {
  MemorySurface surface(120, 80);
  compare_on(surface.dc(), surface.rect(), this);
}

TEST_F(PixelCopyTest, EveryCopyMatchesThePerPixelDefinitionOnAWindow) {
  TestWindow window(120, 80);
  HDC dc = GetDC(window.hwnd());
  compare_on(dc, {0, 0, 120, 80}, this);
  ReleaseDC(window.hwnd(), dc);
}

TEST_F(PixelCopyTest, ColumnsWriteExactlyTheFrameArea) {
  MemorySurface surface(80, 40);
  fill_pattern(surface.dc(), surface.rect(), 7);
  Pixels before = surface.pixels();
  copy_columns(&strip, surface.dc(), 20, 30, 40, 10);
  Pixels after = surface.pixels();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) {
      bool inside = x >= 30 && x < 50 && y >= 10 && y < 30;
      COLORREF expected = inside ? strip_pixel(20 + x - 30, y - 10) : before.at(x, y);
      ASSERT_EQ(after.at(x, y), expected) << "at (" << x << ", " << y << ")";
    }
}

TEST_F(PixelCopyTest, TransposedCopiesMirrorAcrossTheDiagonal) {
  MemorySurface surface(80, 80);
  copy_columns_transposed(&strip, surface.dc(), 20, 30, 40, 10);
  EXPECT_EQ(surface.pixels().at(30 + 3, 10 + 5), strip_pixel(25, 3));
  copy_rect_transposed(&sheet, surface.dc(), {10, 10, 36, 36}, 26, 52);
  EXPECT_EQ(surface.pixels().at(18, 11), sheet_pixel(27, 60));
}

TEST_F(PixelCopyTest, KeyedCopySkipsOnlyPureWhite) {
  MemorySurface surface(20, 10);
  fill_colour(surface.dc(), surface.rect(), RGB(5, 6, 7));
  SkinBitmap white = make_bitmap(8, 4, [](int, int) { return 0xFFFFFF; });
  copy_keyed(&white, surface.dc(), 1, 1, 2, 2);
  for (COLORREF pixel : surface.pixels().data) ASSERT_EQ(pixel, RGB(5, 6, 7));
  SkinBitmap near_white = make_bitmap(3, 1, [](int x, int) {
    const COLORREF colours[] = {0xFEFFFF, 0xFFFEFF, 0xFFFFFE};
    return colours[x];
  });
  copy_keyed(&near_white, surface.dc(), 0, 0, 0, 0);
  Pixels after = surface.pixels();
  EXPECT_EQ(after.at(0, 0), 0xFEFFFFu);
  EXPECT_EQ(after.at(1, 0), 0xFFFEFFu);
  EXPECT_EQ(after.at(2, 0), 0xFFFFFEu);
  free_bitmap(white);
  free_bitmap(near_white);
}

TEST_F(PixelCopyTest, WithoutAMemoryDcEvenKeyedCopiesDrawBlack) {
  MemorySurface surface(70, 30);
  fill_colour(surface.dc(), surface.rect(), RGB(5, 6, 7));
  copy_keyed(&no_dc, surface.dc(), 0, 0, 5, 5);
  Pixels after = surface.pixels();
  EXPECT_EQ(after.at(5, 5), 0u);
  EXPECT_EQ(after.at(64, 24), 0u);
  EXPECT_EQ(after.at(4, 5), RGB(5, 6, 7));
  EXPECT_EQ(after.at(65, 24), RGB(5, 6, 7));
}

TEST_F(PixelCopyTest, EmptyRangesAndNullBitmapsDrawNothing) {
  MemorySurface surface(70, 30);
  fill_pattern(surface.dc(), surface.rect(), 3);
  Pixels before = surface.pixels();
  copy_columns(&strip, surface.dc(), 20, 0, 20, 0);
  copy_columns_keyed(&strip, surface.dc(), 30, 0, 10, 0);
  copy_columns_transposed(&strip, surface.dc(), 20, 0, 19, 0);
  copy_rect(&sheet, surface.dc(), {10, 10, 10, 20}, 0, 0);
  copy_rect_transposed(&sheet, surface.dc(), {10, 20, 30, 5}, 0, 0);
  copy_keyed(nullptr, surface.dc(), 0, 0, 0, 0);
  copy_rect(nullptr, surface.dc(), {0, 0, 10, 10}, 0, 0);
  EXPECT_TRUE(before == surface.pixels());
}

// Callers keep their ranges inside the source; a range that strays beyond it leaves
// those destination pixels as they were instead of writing an undefined colour.
TEST_F(PixelCopyTest, SourcePixelsOutsideTheBitmapAreNotCopied) {
  MemorySurface surface(40, 40);
  fill_pattern(surface.dc(), surface.rect(), 4);
  Pixels before = surface.pixels();
  copy_rect(&strip, surface.dc(), {0, 0, 10, 10}, 55, 15);  // 5 x 5 of it inside the strip
  Pixels after = surface.pixels();
  EXPECT_EQ(after.at(4, 4), strip_pixel(59, 19));
  EXPECT_EQ(after.at(5, 4), before.at(5, 4));
  EXPECT_EQ(after.at(4, 5), before.at(4, 5));
}

TEST(TileBitmapTest, FillsTheRectangleWithTheTileAlignedToTheOrigin) {
  SkinBitmap tile(test_instance(), nullptr, TEST_TILE);
  ASSERT_EQ(tile.width, 10);
  const RECT rects[] = {{15, 5, 32, 21}, {0, 0, 25, 13}, {3, 7, 4, 8}, {20, 20, 20, 30}, {30, 30, 10, 10}};
  TestWindow window(60, 40);
  HDC window_dc = GetDC(window.hwnd());
  MemorySurface surface(60, 40);
  for (HDC dc : {surface.dc(), window_dc}) {
    for (const RECT& rect : rects) {
      SCOPED_TRACE(testing::Message() << (dc == window_dc ? "window " : "memory ") << rect.left << "," << rect.top
                                      << "," << rect.right << "," << rect.bottom);
      fill_pattern(dc, {0, 0, 60, 40}, 5);
      Pixels before = capture(dc, {0, 0, 60, 40});
      tile_bitmap(&tile, dc, rect);
      Pixels after = capture(dc, {0, 0, 60, 40});
      int wrong = 0;
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
          bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
          COLORREF expected = inside ? GetPixel(tile.mem_dc, x % 10, y % 10) : before.at(x, y);
          wrong += after.at(x, y) != expected;
        }
      EXPECT_EQ(wrong, 0);
    }
  }
  // The corners the example names.
  fill_pattern(surface.dc(), surface.rect(), 6);
  Pixels before = surface.pixels();
  tile_bitmap(&tile, surface.dc(), {15, 5, 32, 21});
  Pixels after = surface.pixels();
  EXPECT_EQ(after.at(15, 5), GetPixel(tile.mem_dc, 5, 5));
  EXPECT_EQ(after.at(31, 20), GetPixel(tile.mem_dc, 1, 0));
  EXPECT_EQ(after.at(14, 5), before.at(14, 5));
  EXPECT_EQ(after.at(32, 5), before.at(32, 5));
  EXPECT_EQ(after.at(15, 21), before.at(15, 21));
  ReleaseDC(window.hwnd(), window_dc);
  bitmap_cache.release(&tile);
}

TEST(TileBitmapTest, ATileWithoutMemoryDcDrawsNothing) {
  MemorySurface surface(20, 20);
  fill_pattern(surface.dc(), surface.rect(), 8);
  Pixels before = surface.pixels();
  SkinBitmap empty;
  empty.width = 4;
  empty.height = 4;
  tile_bitmap(&empty, surface.dc(), surface.rect());
  tile_bitmap(nullptr, surface.dc(), surface.rect());
  EXPECT_TRUE(before == surface.pixels());
}

TEST(BlitRectTest, CopiesTheRectangleToTheSamePlaceOnly) {
  MemorySurface from(30, 30), to(30, 30);
  fill_pattern(from.dc(), from.rect(), 1);
  fill_pattern(to.dc(), to.rect(), 2);
  Pixels source = from.pixels(), before = to.pixels();
  blit_rect(to.dc(), from.dc(), {4, 5, 20, 9});
  Pixels after = to.pixels();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      bool inside = x >= 4 && x < 20 && y >= 5 && y < 9;
      ASSERT_EQ(after.at(x, y), inside ? source.at(x, y) : before.at(x, y));
    }
}

}  // namespace
