#include "bitmap_cache.h"

#include "skin_scale.h"

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

namespace {

void drop_scaled(BitmapCache& cache, int slot) {
  if (cache.scaled_dcs[slot]) DeleteDC(cache.scaled_dcs[slot]);
  if (cache.scaled_bitmaps[slot]) DeleteObject(cache.scaled_bitmaps[slot]);
  cache.scaled_dcs[slot] = nullptr;
  cache.scaled_bitmaps[slot] = nullptr;
  cache.scaled_dpis[slot] = 0;
}

// The slot's bitmap at the skin's scale, made once per DPI; left without one when
// it cannot be made (the bitmap is then drawn unscaled).
void scale_slot(BitmapCache& cache, int slot) {
  drop_scaled(cache, slot);
  cache.scaled_dpis[slot] = current_dpi();
  HBITMAP scaled = scale_artwork(cache.mem_dcs[slot], cache.widths[slot], cache.heights[slot]);
  HDC dc = scaled ? CreateCompatibleDC(cache.mem_dcs[slot]) : nullptr;
  if (!dc) {
    if (scaled) DeleteObject(scaled);
    return;
  }
  SelectObject(dc, scaled);
  cache.scaled_dcs[slot] = dc;
  cache.scaled_bitmaps[slot] = scaled;
}

}  // namespace

void BitmapCache::release(const SkinBitmap* record) {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i) {
    if (ref_counts[i] == 0 || mem_dcs[i] != record->mem_dc) continue;
    if (--ref_counts[i] == 0) {
      DeleteDC(record->mem_dc);
      DeleteObject(record->bitmap);
      drop_scaled(*this, i);
      ids[i] = 0;
    }
    return;
  }
}

SkinBitmap BitmapCache::at_scale(const SkinBitmap* record) {
  SkinBitmap device = *record;
  if (current_dpi() == BASE_DPI || !record->mem_dc) return device;
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i) {
    if (ref_counts[i] == 0 || mem_dcs[i] != record->mem_dc) continue;
    if (scaled_dpis[i] != current_dpi()) scale_slot(*this, i);
    if (!scaled_dcs[i]) break;
    device.width = to_device(widths[i]);
    device.height = to_device(heights[i]);
    device.mem_dc = scaled_dcs[i];
    device.bitmap = scaled_bitmaps[i];
    break;
  }
  return device;
}
