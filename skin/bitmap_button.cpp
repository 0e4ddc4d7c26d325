#include "bitmap_button.h"

#include "blit.h"
#include "bounded_text.h"

namespace {
SkinBitmap* load_image(ControlHost* host, DWORD id) {
  return id ? new SkinBitmap(host->instance, host->paint_dc, id) : nullptr;
}
void release_image(SkinBitmap* image) {
  if (!image) return;
  bitmap_cache.release(image);
  delete image;
}
}  // namespace

BitmapButton::BitmapButton(ControlHost* owner, const RECT& placement, DWORD normal_id, DWORD pressed_id, int command,
                           const char* status, const char* caption_text, const RECT* caption_placement)
    : Control(owner, status), caption(), caption_rect() {
  if (caption_text && caption_placement) {
    copy_text(caption, caption_text);  // a longer caption keeps its first 59 characters
    caption_rect = {placement.left + caption_placement->left, placement.top + caption_placement->top,
                    placement.left + caption_placement->left + caption_placement->right,
                    placement.top + caption_placement->top + caption_placement->bottom};
  }
  rect = placement;
  normal_image = load_image(host, normal_id);
  pressed_image = load_image(host, pressed_id);
  image_x = placement.left;
  image_y = placement.top;
  if (normal_image) {
    rect.right = placement.left + normal_image->width;
    rect.bottom = placement.top + normal_image->height;
  }
  press_offset = normal_id == pressed_id;
  if (press_offset) {  // room for the image moved by one pixel
    ++rect.right;
    ++rect.bottom;
  }
  state = BUTTON_IDLE;
  command_id = command;
}

BitmapButton::~BitmapButton() {
  release_image(pressed_image);
  release_image(normal_image);
}

void BitmapButton::destroy(int flags) { destroy_control(this, flags); }

int BitmapButton::describe(ControlAccess* access) {
  access->role = ROLE_PUSH_BUTTON;
  access->state = state == BUTTON_PRESSED ? STATE_SYSTEM_PRESSED : 0;
  access->name = caption;
  access->area = rect;
  return 1;
}

bool BitmapButton::hit_interior(DWORD point, int x0, int y0) const {
  int x = static_cast<int>(point & 0xFFFF);
  int y = static_cast<int>((point >> 16) & 0xFFFF);
  return x0 < x && x < x0 + (rect.right - rect.left) && y0 < y && y < y0 + (rect.bottom - rect.top);
}

void BitmapButton::draw_caption(HDC dc) {
  tile_bitmap(host->background, host->back_dc, caption_rect);
  text_at(host->back_dc, caption_rect.left, caption_rect.top, caption);
  blit_rect(dc, host->back_dc, caption_rect);
}

// A visible button is keyed over whatever background the DC already shows; a
// hidden one covers its rectangle with the background.
void BitmapButton::render(HDC dc) {
  if (visible && normal_image) copy_keyed(normal_image, dc, image_x, image_y, 0, 0);
  if (!visible) tile_bitmap(host->background, dc, rect);
  if (caption[0]) draw_caption(dc);
}

void BitmapButton::draw_pressed(bool pressed) {
  if (!pressed_image || !normal_image) return;
  tile_bitmap(host->background, host->back_dc, rect);
  int offset = pressed ? press_offset : 0;
  copy_keyed(pressed ? pressed_image : normal_image, host->back_dc, image_x, image_y, offset, offset);
  blit_rect(host->paint_dc, host->back_dc, rect);
  if (caption[0]) draw_caption(host->paint_dc);
}

// A press never stops the host's dispatch; only the release that fires does.
int BitmapButton::on_mouse(HWND window, UINT message, WPARAM, LPARAM lparam) {
  bool inside = hit_interior(static_cast<DWORD>(lparam), image_x, image_y);
  switch (message) {
  case WM_MOUSEMOVE:
    if (!inside && state == BUTTON_PRESSED) {
      draw_pressed(false);
      state = BUTTON_IDLE;
    }
    show_status(inside ? 1 : 0);
    return 0;
  case WM_LBUTTONDOWN:
    if (inside) {
      draw_pressed(true);
      state = BUTTON_PRESSED;
    }
    return 0;
  case WM_LBUTTONUP:  // wherever the pointer is now
    if (state != BUTTON_PRESSED) return 0;
    draw_pressed(false);
    report(window, command_id);
    state = BUTTON_IDLE;
    return 1;
  default:
    return 0;
  }
}
