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
  Control* focused;     // the control whose focus holder has the keyboard focus, or null
  int focus_cues;       // 1 once the keyboard has been used: the focused control shows its cue
};

// Shared by every painter; made by the first attach that finds them missing and
// never deleted by the toolkit. The owner may replace normal_font after attach.
extern HFONT normal_font;     // "MS Sans Serif", 13 pixels
extern HFONT underline_font;  // the same, underlined: the link label's font
extern HCURSOR link_cursor;   // shown over a link label

// The colours the skin draws its text and focus cue in. Normally black text straight
// over the artwork (the link blue, then purple); in Windows' high-contrast mode the
// system's window text colour on its window colour, so the text stays readable
// whatever the artwork behind it, and links in its hot-track colour.
struct SkinColours {
  int high_contrast;
  COLORREF text;
  COLORREF back;  // behind text, in high contrast only
  COLORREF link;  // in high contrast only: the link label has its own colours otherwise
};
extern SkinColours skin_colours;  // zero (the normal colours) until refresh_skin_colours
SkinColours colours_for(int high_contrast);
// Takes the colours for whether high contrast is on now (SPI_GETHIGHCONTRAST); the
// painter asks when it is attached to a window.
void refresh_skin_colours();
// Gives a DC the text colours and background mode of the skin's colours.
void prepare_text_colours(HDC dc);

// Selects normal_font into a window DC and prepares its text colours (transparent
// text, normally), as every DC that controls draw into is prepared.
void prepare_window_dc(HDC dc);
