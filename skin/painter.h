// The skin painter: draws one window entirely by itself over a back buffer (tiled
// background, owner-drawn controls, a status line) and hands the window's mouse
// messages to its controls in creation order.
#pragma once
#include <windows.h>

#include "control_host.h"
#include "handles.h"

class SkinPainter {
public:
  SkinPainter(ControlHost* host, HINSTANCE instance);
  // Deletes the back buffer and background, then destroys every registered control.
  ~SkinPainter();
  SkinPainter(const SkinPainter&) = delete;
  SkinPainter& operator=(const SkinPainter&) = delete;

  // Once, from the window's creation handler, before any control is created; takes
  // the window's DPI as the skin's scale. `status` may be null.
  void attach(HWND window, DWORD background_id, WORD cursor_id, const RECT* status);
  // A font `height` 96-DPI pixels high for the skin's scale. Above 96 DPI the bitmap
  // face "MS Sans Serif" is made as its TrueType form, "Microsoft Sans Serif".
  HFONT make_font(const char* face, int height, int underline);
  void create_back_buffer(HWND window);
  // Takes `dpi` as the skin's scale and makes the shared fonts again for it, as
  // attach makes them (an owner that replaced normal_font replaces it again). The
  // back buffer goes too: once the window has its new size, create_back_buffer
  // makes it again.
  void set_dpi(int dpi);

  // The paint cycle of one WM_PAINT: begin_paint, paint_all, draw_text..., end_paint.
  HDC begin_paint();
  void paint_all();
  void draw_text(int x, int y, const char* text);
  void end_paint();

  // Offers a message to the interactive controls in creation order; 1 when one
  // handled it (the window then does nothing further with it), else 0.
  int dispatch_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  ControlHost* host;
  PAINTSTRUCT paint;
  RECT extent;  // the back buffer's size: client area plus the right and bottom frame
  GdiObject back_bitmap;
  MemoryDc back_buffer;  // the host's back_dc, with back_bitmap selected
};
