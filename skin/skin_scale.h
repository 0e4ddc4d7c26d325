// The skin's one scale. Every position and size the skin and its controls keep is
// in pixels of a 96-DPI screen; the drawing helpers, the mouse dispatch and the
// picker turn them into device pixels here, for the DPI the skinned window is
// shown at. At 96 DPI nothing changes.
#pragma once
#include <windows.h>

constexpr int BASE_DPI = 96;
constexpr COLORREF TRANSPARENT_KEY = 0xFFFFFF;  // pure white: skipped by the keyed copies

// The DPI the skin draws at, process-wide like the shared fonts, which are made for
// it. Zero (before any window was attached) counts as 96.
extern int skin_dpi;
int current_dpi();

int to_device(int logical);          // logical * dpi / 96, rounded half away from zero
int to_logical(int device);          // the logical pixel that holds the device pixel
int to_logical_ceil(int device);     // the logical length that covers the device length
RECT to_device(const RECT& logical);  // each edge on its own

// The DPI a window is shown at: the window's own where Windows can tell (Windows 10
// 1607 on, looked up at run time), else the screen's.
int window_dpi(HWND window);
