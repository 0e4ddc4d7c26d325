#include "bitmap_cache.h"

#include "handles.h"
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
    if (current_dpi() != BASE_DPI) rescale(i);
    return 1;
  }
  return 1;
}

void BitmapCache::release(const SkinBitmap* record) {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i) {
    if (ref_counts[i] == 0 || mem_dcs[i] != record->mem_dc) continue;
    if (--ref_counts[i] == 0) {
      DeleteDC(record->mem_dc);
      DeleteObject(record->bitmap);
      if (scaled_bitmaps[i]) DeleteObject(scaled_bitmaps[i]);
      scaled_bitmaps[i] = nullptr;
      ids[i] = 0;
    }
    return;
  }
}

HBITMAP surface_bitmap(int width, int height, DWORD** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<DWORD*>(pixels);
  return bitmap;
}

namespace {

// Artwork at other scales than 96 DPI. Whole factors repeat each pixel; others
// blend the 2 x 2 source pixels around a device pixel's centre, but only those that
// are not pure white, the transparent key: whether a device pixel is key is decided
// by the nearest source pixel alone, so the key stays exact and never bleeds into
// the artwork's edges (and rounding down keeps a blend of other colours from
// becoming white).
constexpr DWORD KEY_WHITE = 0xFFFFFF;

// The centre of device pixel `device` in the source, in 1/256 pixels.
int source_position(int device) { return (2 * device + 1) * BASE_DPI * 128 / current_dpi(); }

struct Artwork {
  const DWORD* pixels;
  int width, height;
  // A pixel, its position clamped into the artwork.
  DWORD at(int x, int y) const {
    x = x < 0 ? 0 : x < width ? x : width - 1;
    y = y < 0 ? 0 : y < height ? y : height - 1;
    return pixels[y * width + x] & 0xFFFFFF;
  }
};

DWORD scaled_pixel(const Artwork& artwork, int x, int y) {
  int sx = source_position(x), sy = source_position(y);
  DWORD nearest = artwork.at(sx >> 8, sy >> 8);
  if (current_dpi() % BASE_DPI == 0 || nearest == KEY_WHITE) return nearest;
  sx = sx < 128 ? 0 : sx - 128;  // from the centres of the source pixels
  sy = sy < 128 ? 0 : sy - 128;
  unsigned sum[3] = {0, 0, 0}, total = 0;
  for (int corner = 0; corner < 4; ++corner) {
    int right = corner & 1, below = corner >> 1;
    unsigned weight = static_cast<unsigned>((right ? sx & 255 : 256 - (sx & 255)) * (below ? sy & 255 : 256 - (sy & 255)));
    DWORD colour = artwork.at((sx >> 8) + right, (sy >> 8) + below);
    if (colour == KEY_WHITE) continue;
    total += weight;
    for (int k = 0; k < 3; ++k) sum[k] += (colour >> 8 * k & 255) * weight;
  }
  return total ? sum[2] / total << 16 | sum[1] / total << 8 | sum[0] / total : nearest;
}

}  // namespace

void BitmapCache::rescale(int slot) {
  HDC dc = mem_dcs[slot];
  SelectObject(dc, bitmaps[slot]);  // the artwork as loaded
  if (scaled_bitmaps[slot]) DeleteObject(scaled_bitmaps[slot]);
  scaled_bitmaps[slot] = nullptr;
  if (current_dpi() == BASE_DPI) return;
  Artwork artwork = {nullptr, widths[slot], heights[slot]};
  DWORD* from = nullptr;
  DWORD* to = nullptr;
  MemoryDc source_dc(CreateCompatibleDC(dc));
  GdiObject source(surface_bitmap(artwork.width, artwork.height, &from));
  HBITMAP scaled = surface_bitmap(to_device(artwork.width), to_device(artwork.height), &to);
  if (!source_dc.valid() || !from || !to) {
    if (scaled) DeleteObject(scaled);
    return;
  }
  SelectGuard held(source_dc.get(), source.get());
  BitBlt(source_dc.get(), 0, 0, artwork.width, artwork.height, dc, 0, 0, SRCCOPY);
  GdiFlush();
  artwork.pixels = from;
  for (int y = 0; y < to_device(artwork.height); ++y)
    for (int x = 0; x < to_device(artwork.width); ++x) *to++ = scaled_pixel(artwork, x, y);
  SelectObject(dc, scaled);
  scaled_bitmaps[slot] = scaled;
}

void BitmapCache::rescale_all() {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i)
    if (ref_counts[i]) rescale(i);
}
