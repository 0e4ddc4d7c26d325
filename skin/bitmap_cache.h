// Bitmaps the skin draws from, shared between every record that asks for the same
// id. An id names a bitmap resource in its low 16 bits; when that resource does not
// exist, bits 0-9 and 16-25 give the size of a blank bitmap made instead.
#pragma once
#include <windows.h>

// One user's handle on a bitmap: its size and a memory DC with the bitmap selected.
// The DC and bitmap belong to the cache slot they came from; the owner of the
// record gives them back with bitmap_cache.release() before freeing the record.
struct SkinBitmap {
  int width = 0;
  int height = 0;
  HDC mem_dc = nullptr;
  HBITMAP bitmap = nullptr;

  SkinBitmap() = default;
  // Loads `id` through the process-wide cache (bitmap_cache.load).
  SkinBitmap(HINSTANCE instance, HDC dc, DWORD id);
};

constexpr int BITMAP_CACHE_CAPACITY = 50;

// The process-wide table: six parallel arrays, and beside them each slot's artwork
// at the skin's scale. A slot is in use exactly while its reference count is
// non-zero. Zero-initialised before anything runs.
struct BitmapCache {
  DWORD ids[BITMAP_CACHE_CAPACITY];
  int ref_counts[BITMAP_CACHE_CAPACITY];
  int widths[BITMAP_CACHE_CAPACITY];
  int heights[BITMAP_CACHE_CAPACITY];
  HDC mem_dcs[BITMAP_CACHE_CAPACITY];
  HBITMAP bitmaps[BITMAP_CACHE_CAPACITY];
  // At another DPI than 96, the slot's DC holds this instead of `bitmaps`.
  HBITMAP scaled_bitmaps[BITMAP_CACHE_CAPACITY];

  // Fills `record` with the bitmap of `id`: 0 when it now shares a cached bitmap,
  // 1 when a new one was made (cached in the first free slot, or, with the table
  // full, usable but never cached). `dc` (may be null) is what the DC and a blank
  // bitmap are made compatible with.
  int load(SkinBitmap* record, HINSTANCE instance, HDC dc, DWORD id);
  // Gives the record's reference back; the last one deletes the DC and bitmap.
  // A record whose DC belongs to no slot in use changes nothing.
  void release(const SkinBitmap* record);
  // Puts the artwork of the slot, or of every slot in use, into its DC at the skin's
  // scale (the artwork itself at 96 DPI). Loading does it for a new slot; the
  // painter does it for all when the DPI changes. So every record draws at the
  // scale, in device pixels of to_device(width) x to_device(height); a record that
  // shares no slot (the table was full) stays at 96 DPI.
  void rescale(int slot);
  void rescale_all();
};
extern BitmapCache bitmap_cache;

// A 32-bit top-down bitmap of the size, its pixels in `bits` (null on failure).
HBITMAP surface_bitmap(int width, int height, DWORD** bits);
