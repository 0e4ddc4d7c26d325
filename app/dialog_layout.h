// The installer dialog's own windows at the skin's scale: the client area and the
// folder list with its font, laid out when the dialog starts, when it completes,
// and again when it moves to a screen of another DPI. Sizes are in 96-DPI pixels.
#pragma once
#include <windows.h>

constexpr int CLIENT_WIDTH = 383;
constexpr int CLIENT_HEIGHT = 270;
constexpr int LIST_TOP_CHOOSING = 210;
constexpr int LIST_TOP_COMPLETED = 1000;  // below the client area: out of sight

// Windows 10 (1703 on) rescales a dialog's template by itself when the dialog moves
// to a screen of another DPI; this dialog is laid out by its own code instead.
void keep_dialog_unscaled(HWND window);

// The folder list at (6, top), 373 wide, in a font made for the scale when that is
// not 96 DPI (the template's bitmap font has no sizes for it), and at 96 DPI in the
// dialog manager's own font, also after a change of DPI and back.
void place_folder_list(HWND window, int top);

// A client area of 383 x 270 at the scale, whose centre stays where it was, or with
// `centred` lies at the centre of the main monitor's work area, inside it where it
// fits (else with its top left corner inside).
void size_client_area(HWND window, int centred);

// The completion screen's text font, 16 pixels high, made for the scale in place of
// normal_font.
void use_completion_font();

// WM_DPICHANGED with its wParam and lParam: the skin takes the new DPI, the window the
// suggested rectangle, and everything is laid out and drawn again for it. A message
// with DPIs that differ or lie outside 48 to 960, or a rectangle outside the virtual
// screen, changes nothing.
void on_dpi_changed(HWND window, WPARAM dpis, LPARAM suggested_rect, int list_top);
