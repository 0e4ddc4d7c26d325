#include "bitmap_cache.h"

BitmapCache bitmap_cache;

SkinBitmap::SkinBitmap(HINSTANCE instance, HDC dc, DWORD id) { bitmap_cache.load(this, instance, dc, id); }

namespace {

// A missing resource yields a blank bitmap of the size coded in the id. It is
// cleared to black, which is also how a missing memory DC reads in the copies.
HBITMAP create_blank(SkinBitmap* record, HDC dc, DWORD id) {
  record->width = static_cast<int>(id & 0x3FF);
  record->height = static_cast<int>((id >> 16) & 0x3FF);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = record->width;
  header.biHeight = -record->height;  // top-down
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  HBITMAP blank = CreateDIBitmap(dc, &header, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  if (blank && record->mem_dc) {
    SelectObject(record->mem_dc, blank);
    PatBlt(record->mem_dc, 0, 0, record->width, record->height, BLACKNESS);
  }
  return blank;
}

}  // namespace

int BitmapCache::load(SkinBitmap* record, HINSTANCE instance, HDC dc, DWORD id) {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i) {
    // Free slots carry id 0; the count check keeps an (invalid) id 0 from taking one.
    if (ids[i] != id || ref_counts[i] == 0) continue;
    record->width = widths[i];
    record->height = heights[i];
    record->mem_dc = mem_dcs[i];
    record->bitmap = bitmaps[i];
    ++ref_counts[i];
    return 0;
  }
  record->bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(id & 0xFFFF));
  record->mem_dc = CreateCompatibleDC(dc);
  if (record->bitmap) {
    SelectObject(record->mem_dc, record->bitmap);
    BITMAP description = {};
    GetObjectA(record->bitmap, sizeof(description), &description);
    record->width = description.bmWidth;
    record->height = description.bmHeight;
  } else {
    record->bitmap = create_blank(record, dc, id);
  }
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i) {
    if (ref_counts[i] != 0) continue;
    ids[i] = id;
    ref_counts[i] = 1;
    mem_dcs[i] = record->mem_dc;
    bitmaps[i] = record->bitmap;
    widths[i] = record->width;
    heights[i] = record->height;
    return 1;
  }
  return 1;
}

int BitmapCache::slot_of(const SkinBitmap* record) const {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i)
    if (ref_counts[i] != 0 && record->mem_dc && mem_dcs[i] == record->mem_dc) return i;
  return -1;
}

void BitmapCache::drop_scaled(int slot) {
  if (scaled_dcs[slot]) DeleteDC(scaled_dcs[slot]);
  if (scaled_bitmaps[slot]) DeleteObject(scaled_bitmaps[slot]);
  scaled_dcs[slot] = nullptr;
  scaled_bitmaps[slot] = nullptr;
  scaled_dpis[slot] = 0;
}

void BitmapCache::release(const SkinBitmap* record) {
  int i = slot_of(record);
  if (i < 0 || --ref_counts[i] != 0) return;
  DeleteDC(record->mem_dc);
  DeleteObject(record->bitmap);
  drop_scaled(i);
  ids[i] = 0;
}
