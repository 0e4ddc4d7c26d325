// The skin painter: draws one window entirely by itself over a back buffer (tiled
// background, owner-drawn controls, a status line) and hands the window's mouse
// messages to its controls in creation order.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"

class Control;

constexpr int CONTROL_CAPACITY = 150;

// What every control reaches the window through. The installer has one, static.
struct ControlHost {
  int count;            // registered controls
  HINSTANCE instance;   // where bitmap and cursor resources come from
  HWND window;          // the skinned window
  HDC paint_dc;         // window DC, only inside a paint cycle or a dispatch (or set by the owner)
  HDC back_dc;          // back buffer: transparent mode, normal_font as it was at attach
  SkinBitmap* background;           // background tile; owned by the painter
  Control* controls[CONTROL_CAPACITY];  // creation order; owned: the painter destroys them
  RECT status_rect;     // status line, client coordinates; all zero when none was given
};

// Shared by every painter; made by the first attach that finds them missing and
// never deleted by the toolkit. The owner may replace normal_font after attach.
extern HFONT normal_font;     // "MS Sans Serif", 13 pixels
extern HFONT underline_font;  // the same, underlined: the link label's font
extern HCURSOR link_cursor;   // shown over a link label

class SkinPainter {
public:
  SkinPainter(ControlHost* host, HINSTANCE instance);
  // Deletes the back buffer and background, then destroys every registered control.
  ~SkinPainter();
  SkinPainter(const SkinPainter&) = delete;
  SkinPainter& operator=(const SkinPainter&) = delete;

  // Once, from the window's creation handler, before any control is created.
  // `status` may be null.
  void attach(HWND window, DWORD background_id, WORD cursor_id, const RECT* status);
  HFONT make_font(const char* face, int height, int underline);
  void create_back_buffer(HWND window);

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
  HBITMAP back_bitmap;
};

// Selects normal_font into a window DC and makes text transparent, as every DC
// that controls draw into is prepared.
void prepare_window_dc(HDC dc);
