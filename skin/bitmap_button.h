// The skin's push button: drawn from bitmaps only, pure white transparent, a pressed
// image while the left button is held on it, an optional caption in a rectangle of
// its own. It posts its command on release and shows its status text on hover.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"
#include "control.h"

constexpr int CAPTION_CAPACITY = 60;  // 59 characters and the terminator

enum ButtonState { BUTTON_IDLE = 0, BUTTON_PRESSED = 1 };

class BitmapButton final : public Control {
public:
  // `placement`: left, top, right, bottom; right and bottom only count without a
  // normal image. An image id of 0 means none; the same id for both images gives
  // the pressed look as the image moved one pixel right and down. `caption` may be
  // null; `caption_placement` is null or dx, dy, width, height from the placement's
  // top-left (a caption without a placement is not kept).
  BitmapButton(ControlHost* host, const RECT& placement, DWORD normal_id, DWORD pressed_id, int command,
               const char* status, const char* caption_text, const RECT* caption_placement);
  ~BitmapButton();  // gives both images back to the bitmap cache

  int on_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void render(HDC dc) override;
  void destroy(int flags) override;
  int describe(ControlAccess* access) override;  // a push button, named by its caption

  // True strictly inside (x0, y0) .. (x0 + width, y0 + height) of `rect`'s size.
  bool hit_interior(DWORD point, int x0, int y0) const;
  // Redraws the button through the back buffer in its pressed or its rest look.
  void draw_pressed(bool pressed);

  SkinBitmap* normal_image;
  SkinBitmap* pressed_image;
  int state;
  int image_x;
  int image_y;
  RECT rect;
  char caption[CAPTION_CAPACITY];
  RECT caption_rect;
  int press_offset;

private:
  void draw_caption(HDC dc);
};
