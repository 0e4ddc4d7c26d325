#include "bitmap_cache.h"

#include <gtest/gtest.h>
#include <string.h>

#include "blit.h"
#include "skin_test_support.h"

namespace {

// An id whose resource number does not exist: bit 10 lifts the number out of the
// test images' range without changing the blank width (bits 0-9).
DWORD blank_id(int width, int height) {
  return (static_cast<DWORD>(height) << 16) | 0x400 | static_cast<DWORD>(width);
}

class BitmapCacheTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(cache_slots_in_use(), 0); }
  void TearDown() override { EXPECT_EQ(cache_slots_in_use(), 0) << "a test left bitmaps in the cache"; }
  HDC screen = GetDC(nullptr);
  ~BitmapCacheTest() override { ReleaseDC(nullptr, screen); }
};

bool is_memory_dc(HDC dc) { return GetObjectType(dc) == OBJ_MEMDC; }

TEST_F(BitmapCacheTest, SameIdTwiceSharesOneBitmapUntilTheLastRelease) {
  SkinBitmap first, second;
  EXPECT_EQ(bitmap_cache.load(&first, test_instance(), screen, TEST_FACE), 1);
  EXPECT_EQ(bitmap_cache.load(&second, test_instance(), screen, TEST_FACE), 0);
  EXPECT_EQ(first.mem_dc, second.mem_dc);
  EXPECT_EQ(first.bitmap, second.bitmap);
  EXPECT_EQ(second.width, TEST_FACE_WIDTH);
  EXPECT_EQ(second.height, TEST_FACE_HEIGHT);
  int slot = cache_slot_of(TEST_FACE);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(bitmap_cache.ref_counts[slot], 2);

  bitmap_cache.release(&first);
  EXPECT_EQ(bitmap_cache.ref_counts[slot], 1);
  EXPECT_TRUE(is_memory_dc(second.mem_dc));
  EXPECT_EQ(GetPixel(second.mem_dc, 0, 0), 0xFFFFFFu);  // the face's white surround, still readable

  bitmap_cache.release(&second);
  EXPECT_EQ(bitmap_cache.ref_counts[slot], 0);
  EXPECT_EQ(bitmap_cache.ids[slot], 0u);
  EXPECT_FALSE(is_memory_dc(second.mem_dc));
  EXPECT_EQ(GetObjectType(second.bitmap), 0u);
}

TEST_F(BitmapCacheTest, ConstructingARecordLoadsThroughTheCache) {
  SkinBitmap loaded(test_instance(), screen, TEST_STRIP);
  EXPECT_EQ(loaded.width, 52);
  EXPECT_EQ(loaded.height, 13);
  int slot = cache_slot_of(TEST_STRIP);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(bitmap_cache.mem_dcs[slot], loaded.mem_dc);
  EXPECT_EQ(bitmap_cache.widths[slot], 52);
  EXPECT_EQ(bitmap_cache.heights[slot], 13);
  bitmap_cache.release(&loaded);
}

TEST_F(BitmapCacheTest, ReloadAfterFullReleaseMakesFreshObjectsInTheFirstFreeSlot) {
  SkinBitmap a(test_instance(), screen, TEST_TILE);
  SkinBitmap b(test_instance(), screen, TEST_FACE);
  ASSERT_EQ(cache_slot_of(TEST_TILE), 0);
  ASSERT_EQ(cache_slot_of(TEST_FACE), 1);
  bitmap_cache.release(&a);
  SkinBitmap c(test_instance(), screen, TEST_STRIP);
  EXPECT_EQ(cache_slot_of(TEST_STRIP), 0);  // the slot the tile had
  SkinBitmap again(test_instance(), screen, TEST_TILE);
  EXPECT_EQ(cache_slot_of(TEST_TILE), 2);
  EXPECT_TRUE(is_memory_dc(again.mem_dc));
  EXPECT_EQ(again.width, 10);
  bitmap_cache.release(&again);
  bitmap_cache.release(&c);
  bitmap_cache.release(&b);
}

TEST_F(BitmapCacheTest, MissingResourceGivesABlackBlankOfTheSizeInTheId) {
  DWORD id = blank_id(44, 36);
  SkinBitmap blank(test_instance(), screen, id);
  EXPECT_EQ(blank.width, 44);
  EXPECT_EQ(blank.height, 36);
  BITMAP description = {};
  ASSERT_TRUE(GetObjectA(blank.bitmap, sizeof description, &description));
  EXPECT_EQ(description.bmWidth, 44);
  EXPECT_EQ(description.bmHeight, 36);
  EXPECT_EQ(GetPixel(blank.mem_dc, 0, 0), 0u);
  EXPECT_EQ(GetPixel(blank.mem_dc, 43, 35), 0u);
  EXPECT_GE(cache_slot_of(id), 0);
  bitmap_cache.release(&blank);
}

TEST_F(BitmapCacheTest, ExistingResourceWinsOverTheBlankSizeAndIsCachedUnderTheWholeId) {
  DWORD id = (36u << 16) | TEST_SMALL;  // resource 44 exists: 7 x 5
  SkinBitmap loaded(test_instance(), screen, id);
  EXPECT_EQ(loaded.width, 7);
  EXPECT_EQ(loaded.height, 5);
  EXPECT_GE(cache_slot_of(id), 0);
  EXPECT_EQ(cache_slot_of(TEST_SMALL), -1);
  bitmap_cache.release(&loaded);
}

TEST_F(BitmapCacheTest, IdsThatDifferInAnyBitAreSeparateEntries) {
  struct Row {
    const char* name;
    DWORD first, second;
  } rows[] = {
      {"bits 26-31 of an existing resource", TEST_FACE, (1u << 26) | TEST_FACE},
      {"bits 10-15 of a missing resource", (5u << 16) | 0x400 | 8, (5u << 16) | 0x800 | 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SkinBitmap a(test_instance(), screen, row.first);
    SkinBitmap b(test_instance(), screen, row.second);
    EXPECT_NE(a.mem_dc, b.mem_dc);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(cache_slots_in_use(), 2);
    bitmap_cache.release(&a);
    bitmap_cache.release(&b);
  }
}

TEST_F(BitmapCacheTest, WithAllSlotsInUseA51stIdStillLoadsAndDrawsButIsNotCached) {
  SkinBitmap held[BITMAP_CACHE_CAPACITY];
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i)
    ASSERT_EQ(bitmap_cache.load(&held[i], test_instance(), screen, blank_id(2 + i, 3)), 1);
  ASSERT_EQ(cache_slots_in_use(), BITMAP_CACHE_CAPACITY);

  BitmapCache before;
  memcpy(&before, &bitmap_cache, sizeof before);
  SkinBitmap extra;
  EXPECT_EQ(bitmap_cache.load(&extra, test_instance(), screen, TEST_FACE), 1);
  EXPECT_EQ(memcmp(&before, &bitmap_cache, sizeof before), 0);
  EXPECT_EQ(extra.width, TEST_FACE_WIDTH);

  MemorySurface surface(40, 20);
  fill_colour(surface.dc(), surface.rect(), RGB(1, 2, 3));
  copy_rect(&extra, surface.dc(), {0, 0, 24, 14}, 0, 0);
  EXPECT_EQ(surface.pixels().at(5, 5), GetPixel(extra.mem_dc, 5, 5));

  bitmap_cache.release(&extra);
  EXPECT_EQ(memcmp(&before, &bitmap_cache, sizeof before), 0);
  EXPECT_TRUE(is_memory_dc(extra.mem_dc));  // never cached, so never deleted by the cache
  free_bitmap(extra);
  for (SkinBitmap& record : held) bitmap_cache.release(&record);
}

TEST_F(BitmapCacheTest, ReleasingARecordTheCacheDoesNotKnowChangesNothing) {
  SkinBitmap cached(test_instance(), screen, TEST_TILE);
  SkinBitmap stranger = make_bitmap(4, 4, [](int, int) { return RGB(9, 9, 9); });
  BitmapCache before;
  memcpy(&before, &bitmap_cache, sizeof before);
  bitmap_cache.release(&stranger);
  EXPECT_EQ(memcmp(&before, &bitmap_cache, sizeof before), 0);
  EXPECT_TRUE(is_memory_dc(stranger.mem_dc));
  free_bitmap(stranger);
  bitmap_cache.release(&cached);
  bitmap_cache.release(&cached);  // already freed: nothing happens
}

TEST_F(BitmapCacheTest, LoadsWithoutADeviceContext) {
  SkinBitmap loaded(test_instance(), nullptr, TEST_FACE);
  EXPECT_TRUE(is_memory_dc(loaded.mem_dc));
  EXPECT_EQ(loaded.width, TEST_FACE_WIDTH);
  bitmap_cache.release(&loaded);
}

}  // namespace
