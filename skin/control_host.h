// What every skin control reaches its window through: the control host of one
// skinned window, and the fonts and cursor all skinned windows share.
#pragma once
#include <windows.h>

#include "bitmap_cache.h"

class Control;

constexpr int CONTROL_CAPACITY = 150;

// The installer has one, static: plain data, zero until a painter is made for it.
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

// Selects normal_font into a window DC and makes text transparent, as every DC
// that controls draw into is prepared.
void prepare_window_dc(HDC dc);
