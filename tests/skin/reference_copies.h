// The pixel copies as their definition states them: one GetPixel from the bitmap's
// memory DC (0 when it has none) and one SetPixel into the destination per pixel,
// white (0xFFFFFF) skipped by the keyed ones. The tests and the benchmark hold the
// product's fast copies against these.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"

void reference_copy_keyed(const SkinBitmap& bitmap, HDC dc, int x, int y, int dx, int dy);
void reference_copy_columns(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y);
void reference_copy_columns_keyed(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y);
void reference_copy_columns_transposed(const SkinBitmap& bitmap, HDC dc, int start, int x, int end, int y);
void reference_copy_rect(const SkinBitmap& bitmap, HDC dc, const RECT& rect, int sx, int sy);
void reference_copy_rect_transposed(const SkinBitmap& bitmap, HDC dc, const RECT& rect, int sx, int sy);
