#include "blit.h"

#include "bounded_text.h"
#include "handles.h"

namespace {

// The surface the pixel copies compose on: 32-bit, top-down, selected into a DC of
// its own. It is kept for the whole process (like the shared fonts) and only grows:
// a fresh bitmap per copy costs more in first-touch page faults than the copy.
struct WorkSurface {
  HDC dc;
  HBITMAP bitmap;
  DWORD* bits;
  int width, height;
};
WorkSurface work;

// A work surface of at least width x height pixels, or null.
WorkSurface* work_surface(int width, int height) {
  if (work.bits && width <= work.width && height <= work.height) return &work;
  if (width < work.width) width = work.width;
  if (height < work.height) height = work.height;
  if (!work.dc) work.dc = CreateCompatibleDC(nullptr);
  DWORD* bits = nullptr;
  HBITMAP bitmap = surface_bitmap(width, height, &bits);
  if (!work.dc || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  SelectObject(work.dc, bitmap);
  if (work.bitmap) DeleteObject(work.bitmap);
  work = {work.dc, bitmap, bits, width, height};
  return &work;
}

// One pixel copy: the source area (u, v, width, height) of the bitmap goes to (x, y)
// of the destination, mirrored across its diagonal or not, white skipped or not.
struct PixelCopy {
  int x, y;
  int u, v;
  int width, height;
  bool transposed;
  bool keyed;
};

// The part [first, last) of an output row whose source pixels lie inside the bitmap.
// The row reads one source row (one source column when transposed), `fixed`, and
// runs along the other axis from `start`.
void inside_span(int fixed, int fixed_limit, int start, int limit, int out_width, int* first, int* last) {
  if (fixed < 0 || fixed >= fixed_limit) {
    *first = *last = 0;
    return;
  }
  *first = start < 0 ? -start : 0;
  *last = limit - start < out_width ? limit - start : out_width;
}

// Writes the source pixels over the destination area held in `out` exactly as the
// per-pixel mapping says; pixels it skips (white when keyed, or outside the source
// bitmap) keep the destination's colour. `source` is the source area, or null for
// a bitmap without a DC, which reads as black.
void compose(const SkinBitmap* bitmap, const PixelCopy& copy, const DWORD* source, DWORD* out, int out_width,
             int out_height, int stride) {
  // Along an output row the source moves one column right, or one row down when transposed.
  int step = copy.transposed ? stride : 1;
  for (int b = 0; b < out_height; ++b) {
    int first = 0, last = out_width;
    if (source && copy.transposed)
      inside_span(copy.u + b, bitmap->width, copy.v, bitmap->height, out_width, &first, &last);
    if (source && !copy.transposed)
      inside_span(copy.v + b, bitmap->height, copy.u, bitmap->width, out_width, &first, &last);
    DWORD* row = out + b * stride;
    const DWORD* from = source ? source + (copy.transposed ? b : b * stride) + first * step : nullptr;
    for (int a = first; a < last; ++a) {
      DWORD colour = from ? *from & 0xFFFFFF : 0;
      from += from ? step : 0;
      if (!copy.keyed || colour != TRANSPARENT_KEY) row[a] = colour;
    }
  }
}

// Reads the destination area and the source area once each, composes in memory and
// puts the area back in one BitBlt: the same pixels as one GetPixel and one SetPixel
// per pixel, without a round trip to the display for each.
// The copy is given in 96-DPI pixels; it runs in device pixels, from the bitmap at
// the skin's scale.
void copy_pixels(const SkinBitmap* record, HDC dc, const PixelCopy& logical) {
  if (!record || logical.width <= 0 || logical.height <= 0) return;
  SkinBitmap scaled = *record;
  scaled.width = to_device(record->width);
  scaled.height = to_device(record->height);
  const SkinBitmap* bitmap = &scaled;
  PixelCopy copy = logical;
  copy.x = to_device(logical.x);
  copy.y = to_device(logical.y);
  copy.u = to_device(logical.u);
  copy.v = to_device(logical.v);
  copy.width = to_device(logical.u + logical.width) - copy.u;
  copy.height = to_device(logical.v + logical.height) - copy.v;
  int out_width = copy.transposed ? copy.height : copy.width;
  int out_height = copy.transposed ? copy.width : copy.height;
  // The destination area at the top, the source area below it.
  WorkSurface* surface = work_surface(copy.width > out_width ? copy.width : out_width, out_height + copy.height);
  if (!surface) return;
  BitBlt(surface->dc, 0, 0, out_width, out_height, dc, copy.x, copy.y, SRCCOPY);
  HDC from = bitmap->mem_dc;
  if (from) BitBlt(surface->dc, 0, out_height, copy.width, copy.height, from, copy.u, copy.v, SRCCOPY);
  GdiFlush();
  const DWORD* source = from ? surface->bits + out_height * surface->width : nullptr;
  compose(bitmap, copy, source, surface->bits, out_width, out_height, surface->width);
  BitBlt(dc, copy.x, copy.y, out_width, out_height, surface->dc, 0, 0, SRCCOPY);
}

}  // namespace

// At other scales than 96 DPI the scaled tile repeats from the DC's origin in
// device pixels, so that any part of the background drawn again matches the rest.
void tile_bitmap(const SkinBitmap* tile, HDC dc, const RECT& logical) {
  if (!tile || !tile->mem_dc || tile->width <= 0 || tile->height <= 0) return;
  RECT rect = to_device(logical);
  int w = to_device(tile->width);
  int h = to_device(tile->height);
  // Positions are aligned to the DC's origin; one that starts left of or above the
  // rectangle is moved to its edge, and the position that really starts there
  // overwrites whatever it drew beyond the tile.
  for (int r = 0; r * h <= rect.bottom; ++r) {
    for (int c = 0; c * w <= rect.right; ++c) {
      int x = c * w, sx = 0;
      int y = r * h, sy = 0;
      if (x < rect.left) {
        x = rect.left;
        sx = rect.left % w;
      }
      if (y < rect.top) {
        y = rect.top;
        sy = rect.top % h;
      }
      int width = x + w > rect.right ? rect.right - x : w;
      int height = y + h > rect.bottom ? rect.bottom - y : h;
      if (width > 0 && height > 0) BitBlt(dc, x, y, width, height, tile->mem_dc, sx, sy, SRCCOPY);
    }
  }
}

void blit_rect(HDC destination, HDC source, const RECT& logical) {
  RECT rect = to_device(logical);
  BitBlt(destination, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, rect.left,
         rect.top, SRCCOPY);
}

void text_at(HDC dc, int x, int y, const char* text) {
  TextOutA(dc, to_device(x), to_device(y), text, static_cast<int>(text_length(text)));
}


void copy_keyed(const SkinBitmap* bitmap, HDC dc, int x, int y, int dx, int dy) {
  if (bitmap) copy_pixels(bitmap, dc, {x + dx, y + dy, 0, 0, bitmap->width, bitmap->height, false, true});
}

void copy_columns(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y) {
  if (bitmap) copy_pixels(bitmap, dc, {x, y, start, 0, end - start, bitmap->height, false, false});
}

void copy_columns_keyed(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y) {
  if (bitmap) copy_pixels(bitmap, dc, {x, y, start, 0, end - start, bitmap->height, false, true});
}

// The source area is `height` columns from `start` and end - start rows, so the
// destination is end - start wide and `height` high.
void copy_columns_transposed(const SkinBitmap* bitmap, HDC dc, int start, int x, int end, int y) {
  if (bitmap) copy_pixels(bitmap, dc, {x, y, start, 0, bitmap->height, end - start, true, false});
}

void copy_rect(const SkinBitmap* bitmap, HDC dc, const RECT& rect, int sx, int sy) {
  copy_pixels(bitmap, dc, {rect.left, rect.top, sx, sy, rect.right - rect.left, rect.bottom - rect.top, false, false});
}

void copy_rect_transposed(const SkinBitmap* bitmap, HDC dc, const RECT& rect, int sx, int sy) {
  copy_pixels(bitmap, dc, {rect.left, rect.top, sx, sy, rect.right - rect.left, rect.bottom - rect.top, true, false});
}
