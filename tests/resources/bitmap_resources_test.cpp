// The skin's bitmaps and the link cursor as the installer loads them: sizes and
// bit depths, the pure white that the keyed copies leave transparent, and looks
// that can be told apart by their pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <queue>
#include <vector>

#include "handles.h"
#include "resource_ids.h"

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;

HMODULE self() { return GetModuleHandleA(nullptr); }

// The bitmap's pixels read as the skin reads them: LoadBitmapA, a memory DC,
// GetPixel.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colours;
  COLORREF at(int x, int y) const { return colours[size_t(y) * width + x]; }
};

Pixels load_pixels(int id) {
  Pixels p;
  GdiObject bitmap(LoadBitmapA(self(), MAKEINTRESOURCEA(id)));
  if (!bitmap.valid()) return p;
  BITMAP info{};
  GetObjectA(bitmap.get(), sizeof info, &info);
  MemoryDc dc(CreateCompatibleDC(nullptr));
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  p.width = info.bmWidth;
  p.height = info.bmHeight;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.colours.push_back(GetPixel(dc.get(), x, y) & 0xFFFFFF);
  SelectObject(dc.get(), previous);
  return p;
}

int luminance(COLORREF c) { return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100; }

// True when every pixel of the outermost ring is pure white.
bool border_is_white(const Pixels& p) {
  for (int x = 0; x < p.width; ++x)
    if (p.at(x, 0) != WHITE || p.at(x, p.height - 1) != WHITE) return false;
  for (int y = 0; y < p.height; ++y)
    if (p.at(0, y) != WHITE || p.at(p.width - 1, y) != WHITE) return false;
  return true;
}

// Pure white pixels that cannot be reached from the border through pure white:
// holes that the keyed copy would punch into an opaque face.
int enclosed_white_pixels(const Pixels& p) {
  std::vector<char> reached(p.colours.size(), 0);
  std::queue<POINT> todo;
  auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    size_t i = size_t(y) * p.width + x;
    if (reached[i] || p.colours[i] != WHITE) return;
    reached[i] = 1;
    todo.push(POINT{x, y});
  };
  for (int x = 0; x < p.width; ++x) visit(x, 0), visit(x, p.height - 1);
  for (int y = 0; y < p.height; ++y) visit(0, y), visit(p.width - 1, y);
  while (!todo.empty()) {
    POINT q = todo.front();
    todo.pop();
    visit(q.x + 1, q.y), visit(q.x - 1, q.y), visit(q.x, q.y + 1), visit(q.x, q.y - 1);
  }
  int enclosed = 0;
  for (size_t i = 0; i < p.colours.size(); ++i) enclosed += (p.colours[i] == WHITE && !reached[i]) ? 1 : 0;
  return enclosed;
}

int count_if_pixel(const Pixels& p, bool (*test)(COLORREF)) {
  int n = 0;
  for (COLORREF c : p.colours) n += test(c) ? 1 : 0;
  return n;
}

struct BitmapRow {
  int id;
  int width;
  int height;
  int bits;
};
const BitmapRow BITMAPS[] = {
    {BITMAP_PAPER_TILE, 57, 82, 8},     {BITMAP_CHECKBOX_STRIP, 52, 13, 24},
    {BITMAP_CANCEL_FACE, 58, 20, 8},    {BITMAP_MAKER_LOGO, 170, 106, 24},
    {BITMAP_INSTALL_FACE, 58, 20, 24},  {BITMAP_ENJOY_FACE, 58, 20, 24},
};

TEST(BitmapResources, EveryBitmapHasItsSizeAndBitDepth) {
  for (const BitmapRow& row : BITMAPS) {
    SCOPED_TRACE(row.id);
    HRSRC found = FindResourceA(self(), MAKEINTRESOURCEA(row.id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr);
    ASSERT_GE(SizeofResource(self(), found), sizeof(BITMAPINFOHEADER));
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self(), found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, row.width);
    EXPECT_EQ(header->biHeight, row.height);  // positive: bottom-up, as resource bitmaps are
    EXPECT_EQ(header->biBitCount, row.bits);
    EXPECT_EQ(header->biCompression, DWORD(BI_RGB));

    GdiObject bitmap(LoadBitmapA(self(), MAKEINTRESOURCEA(row.id)));
    ASSERT_TRUE(bitmap.valid());
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap.get(), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, row.width);
    EXPECT_EQ(info.bmHeight, row.height);
  }
}

TEST(BitmapResources, ButtonFacesAreOpaqueYellowInsideAPureWhiteSurround) {
  for (int id : {BITMAP_CANCEL_FACE, BITMAP_INSTALL_FACE, BITMAP_ENJOY_FACE}) {
    SCOPED_TRACE(id);
    Pixels face = load_pixels(id);
    ASSERT_EQ(face.width, 58);
    EXPECT_TRUE(border_is_white(face));
    EXPECT_EQ(enclosed_white_pixels(face), 0);
    int opaque = count_if_pixel(face, [](COLORREF c) { return c != WHITE; });
    EXPECT_GT(opaque, 58 * 20 * 8 / 10);
    int yellow = count_if_pixel(face, [](COLORREF c) {
      return c != WHITE && GetRValue(c) > 200 && GetGValue(c) > 150 && GetBValue(c) < 160;
    });
    EXPECT_GT(yellow, opaque / 2);
    int dark = count_if_pixel(face, [](COLORREF c) { return luminance(c) < 90; });
    EXPECT_GT(dark, 40);  // the word's strokes
  }
}

TEST(BitmapResources, ButtonFacesShareTheFaceAndDifferInTheirWords) {
  Pixels cancel = load_pixels(BITMAP_CANCEL_FACE);
  Pixels install = load_pixels(BITMAP_INSTALL_FACE);
  Pixels enjoy = load_pixels(BITMAP_ENJOY_FACE);
  ASSERT_EQ(cancel.colours.size(), install.colours.size());
  ASSERT_EQ(cancel.colours.size(), enjoy.colours.size());
  int different_words = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 58; ++x) {
      bool text_rows = y >= 5 && y <= 15;
      if (!text_rows) {
        SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
        EXPECT_EQ(cancel.at(x, y), install.at(x, y));  // the 8-bit face keeps its colours exactly
        EXPECT_EQ(enjoy.at(x, y), install.at(x, y));
      }
      different_words += (install.at(x, y) != enjoy.at(x, y)) + (cancel.at(x, y) != install.at(x, y));
    }
  }
  EXPECT_GT(different_words, 40);
}

TEST(BitmapResources, LogoStandsOnPureWhiteAndLeavesTheLinkAreaClear) {
  Pixels logo = load_pixels(BITMAP_MAKER_LOGO);
  ASSERT_EQ(logo.width, 170);
  ASSERT_EQ(logo.height, 106);
  EXPECT_TRUE(border_is_white(logo));
  int drawn = count_if_pixel(logo, [](COLORREF c) { return c != WHITE; });
  EXPECT_GT(drawn, 170 * 106 / 5);
  EXPECT_LT(drawn, 170 * 106 * 3 / 4);  // most of the background shows through
  // The home-page link is drawn over the logo from client (96, 14), the logo
  // standing at (4, 2).
  for (int y = 10; y <= 28; ++y)
    for (int x = 88; x < 170; ++x) ASSERT_EQ(logo.at(x, y), WHITE) << x << "," << y;
  int dark = count_if_pixel(logo, [](COLORREF c) { return luminance(c) < 80; });
  EXPECT_GT(dark, 300);  // the name in large letters
}

TEST(BitmapResources, CheckBoxFramesShowFourDistinctLooks) {
  Pixels strip = load_pixels(BITMAP_CHECKBOX_STRIP);
  ASSERT_EQ(strip.width, 52);
  struct Frame {
    int greens;      // pixels of the tick
    int inner_tone;  // mean luminance of the box's inside
  };
  auto measure = [&](int f) {
    Frame m{0, 0};
    int sum = 0;
    for (int y = 2; y < 12; ++y) {
      for (int x = 2; x < 12; ++x) {
        COLORREF c = strip.at(f * 13 + x, y);
        m.greens += (GetGValue(c) > GetRValue(c) + 30 && GetGValue(c) > GetBValue(c) + 30) ? 1 : 0;
        sum += luminance(c);
      }
    }
    m.inner_tone = sum / 100;
    return m;
  };
  Frame frames[4] = {measure(0), measure(1), measure(2), measure(3)};
  EXPECT_EQ(frames[0].greens, 0);
  EXPECT_EQ(frames[1].greens, 0);
  EXPECT_GT(frames[2].greens, 10);
  EXPECT_GT(frames[3].greens, 10);
  EXPECT_LT(frames[1].inner_tone, frames[0].inner_tone - 15);  // pressed is darker
  EXPECT_LT(frames[3].inner_tone, frames[2].inner_tone - 15);
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) {
      int differ = 0;
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) differ += strip.at(a * 13 + x, y) != strip.at(b * 13 + x, y);
      EXPECT_GT(differ, 10) << "frames " << a << " and " << b;
    }
  }
}

TEST(BitmapResources, PaperTileIsLightAndTilesWithoutSeams) {
  Pixels tile = load_pixels(BITMAP_PAPER_TILE);
  ASSERT_EQ(tile.width, 57);
  long sum = 0;
  for (COLORREF c : tile.colours) sum += luminance(c);
  EXPECT_GT(sum / long(tile.colours.size()), 200);

  // Neighbouring pixels across the wrap differ no more than neighbours inside.
  auto step = [](COLORREF a, COLORREF b) { return abs(luminance(a) - luminance(b)); };
  long inside = 0, across = 0;
  for (int y = 0; y < tile.height; ++y) {
    for (int x = 0; x + 1 < tile.width; ++x) inside += step(tile.at(x, y), tile.at(x + 1, y));
    across += step(tile.at(tile.width - 1, y), tile.at(0, y));
  }
  double inside_mean = double(inside) / (tile.height * (tile.width - 1));
  EXPECT_LT(double(across) / tile.height, inside_mean * 1.5 + 0.5);
  inside = across = 0;
  for (int x = 0; x < tile.width; ++x) {
    for (int y = 0; y + 1 < tile.height; ++y) inside += step(tile.at(x, y), tile.at(x, y + 1));
    across += step(tile.at(x, tile.height - 1), tile.at(x, 0));
  }
  inside_mean = double(inside) / (tile.width * (tile.height - 1));
  EXPECT_LT(double(across) / tile.width, inside_mean * 1.5 + 0.5);
}

TEST(BitmapResources, LinkCursorIsAMonochromeHandPointingAtItsHotSpot) {
  HCURSOR cursor = LoadCursorA(self(), MAKEINTRESOURCEA(CURSOR_LINK_HAND));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  info.xHotspot = info.yHotspot = 0xdeadbeef;
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  GdiObject mask(info.hbmMask), colour(info.hbmColor);
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 13u);
  EXPECT_EQ(info.yHotspot, 10u);
  EXPECT_FALSE(colour.valid());  // monochrome: both masks in one bitmap
  ASSERT_TRUE(mask.valid());
  BITMAP bm{};
  GetObjectA(mask.get(), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  EXPECT_EQ(bm.bmHeight, 64);

  // Top half: the AND mask, black where the hand is. The hot spot is the tip of
  // the finger: drawn itself, with nothing drawn above it.
  MemoryDc dc(CreateCompatibleDC(nullptr));
  HGDIOBJ previous = SelectObject(dc.get(), mask.get());
  EXPECT_EQ(GetPixel(dc.get(), 13, 10) & 0xFFFFFF, 0u);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(GetPixel(dc.get(), x, y) & 0xFFFFFF, WHITE) << x << "," << y;
  int opaque = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) opaque += (GetPixel(dc.get(), x, y) & 0xFFFFFF) == 0;
  EXPECT_GT(opaque, 150);
  SelectObject(dc.get(), previous);
}

}  // namespace
