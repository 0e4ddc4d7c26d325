// The skin's hyperlink: one line of underlined text, blue until it has been pressed
// once and purple after. Over it the status line shows its status text and the
// pointer becomes the link cursor; a left press posts its command.
#pragma once
#include <windows.h>

#include "control.h"

constexpr int LINK_TEXT_CAPACITY = 60;  // 59 characters and the terminator
constexpr COLORREF LINK_COLOUR = 0xFF0000;          // blue
constexpr COLORREF VISITED_LINK_COLOUR = 0x800080;  // purple

class LinkLabel final : public Control {
public:
  // Only the left and top of `origin` are read: where the text is drawn.
  LinkLabel(ControlHost* host, const RECT& origin, const char* link_text, int command, const char* status);

  int on_mouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  // Draws the text and measures its hit area; leaves the DC's text colour black.
  // A hidden link covers its last measured area with the background instead.
  void render(HDC dc) override;
  void destroy(int flags) override;
  int describe(ControlAccess* access) override;  // a link named by its text

  int visited;
  RECT hit_rect;  // origin, and origin plus the text's extent at the last draw
  char text[LINK_TEXT_CAPACITY];
};
