// Drawing helpers of the skin: tiling a background, copying rectangles between DCs,
// writing text, and six pixel copies out of a SkinBitmap that cut out a sprite frame
// or grid cell, mirror it across its diagonal, or treat pure white as transparent.
// Every position, size and rectangle they take is in 96-DPI pixels; they draw in
// device pixels at the skin's scale (skin_scale.h), cached bitmaps from their
// scaled form.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"
#include "skin_scale.h"

// Fills `rect` of `dc` with the tile repeated from the DC's origin: pixel (x, y)
// gets tile pixel (x mod width, y mod height). Does nothing without a tile DC.
void tile_bitmap(const SkinBitmap* tile, HDC dc, const RECT& rect);

// Copies `rect` from `source` to the same place in `destination`.
void blit_rect(HDC destination, HDC source, const RECT& rect);

// Writes the whole text at (x, y) in the DC's current font, colour and mode.
void text_at(HDC dc, int x, int y, const char* text);

// The pixel copies. Each destination pixel in range gets its source pixel exactly
// once; keyed copies leave the destination pixel alone where the source is pure
// white. A bitmap without a memory DC reads as black everywhere. Source pixels
// outside the bitmap are not copied (their destination pixels stay as they were).
// A null bitmap or an empty range draws nothing.

// The whole bitmap to (x + dx, y + dy), white skipped.
void copy_keyed(const SkinBitmap* bitmap, HDC dc, int x, int y, int dx, int dy);
// Source columns start to end - 1, all rows, to (x, y).
void copy_columns(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y);
// As copy_columns, white skipped.
void copy_columns_keyed(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y);
// Destination (x + k, y + j) gets source (start + j, k), k < end - start, j < height:
// a frame as wide as the strip is high, mirrored across its main diagonal.
void copy_columns_transposed(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y);
// Destination (left + k, top + m) gets source (sx + k, sy + m) over the rectangle.
void copy_rect(const SkinBitmap* bitmap, HDC dc, const RECT& rect, int sx, int sy);
// Destination (left + m, top + k) gets source (sx + k, sy + m): the same source
// area, written (bottom - top) wide and (right - left) high.
void copy_rect_transposed(const SkinBitmap* bitmap, HDC dc, const RECT& rect, int sx, int sy);
