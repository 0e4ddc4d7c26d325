#include "reference_copies.h"

namespace {
COLORREF read(const SkinBitmap& bitmap, int x, int y) { return bitmap.mem_dc ? GetPixel(bitmap.mem_dc, x, y) : 0; }
}  // namespace

void reference_copy_keyed(const SkinBitmap& bitmap, HDC dc, int x, int y, int dx, int dy) {
  for (int j = 0; j < bitmap.height; ++j)
    for (int i = 0; i < bitmap.width; ++i) {
      COLORREF colour = read(bitmap, i, j);
      if (colour != 0xFFFFFF) SetPixel(dc, x + dx + i, y + dy + j, colour);
    }
}

void reference_copy_columns(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y) {
  for (int j = 0; j < bitmap.height; ++j)
    for (int i = start; i < end; ++i) SetPixel(dc, x + i - start, y + j, read(bitmap, i, j));
}

void reference_copy_columns_keyed(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y) {
  for (int j = 0; j < bitmap.height; ++j)
    for (int i = start; i < end; ++i) {
      COLORREF colour = read(bitmap, i, j);
      if (colour != 0xFFFFFF) SetPixel(dc, x + i - start, y + j, colour);
    }
}

void reference_copy_columns_transposed(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y) {
  for (int j = 0; j < bitmap.height; ++j)
    for (int k = 0; k < end - start; ++k) SetPixel(dc, x + k, y + j, read(bitmap, start + j, k));
}

void reference_copy_rect(const SkinBitmap& bitmap, HDC dc, const RECT& rect, int sx, int sy) {
  for (int m = 0; m < rect.bottom - rect.top; ++m)
    for (int k = 0; k < rect.right - rect.left; ++k)
      SetPixel(dc, rect.left + k, rect.top + m, read(bitmap, sx + k, sy + m));
}

void reference_copy_rect_transposed(const SkinBitmap& bitmap, HDC dc, const RECT& rect, int sx, int sy) {
  for (int m = 0; m < rect.bottom - rect.top; ++m)
    for (int k = 0; k < rect.right - rect.left; ++k)
      SetPixel(dc, rect.left + m, rect.top + k, read(bitmap, sx + k, sy + m));
}
