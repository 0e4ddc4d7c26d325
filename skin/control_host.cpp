#include "control_host.h"

HFONT normal_font = nullptr;
HFONT underline_font = nullptr;
HCURSOR link_cursor = nullptr;

SkinColours skin_colours;

SkinColours colours_for(int high_contrast) {
  SkinColours colours = {high_contrast, 0, 0, 0};
  if (high_contrast) {
    colours.text = GetSysColor(COLOR_WINDOWTEXT);
    colours.back = GetSysColor(COLOR_WINDOW);
    colours.link = GetSysColor(COLOR_HOTLIGHT);
  }
  return colours;
}

void refresh_skin_colours() {
  HIGHCONTRASTA contrast = {};
  contrast.cbSize = sizeof contrast;
  int on = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
  skin_colours = colours_for(on);
}

void prepare_text_colours(HDC dc) {
  SetBkMode(dc, skin_colours.high_contrast ? OPAQUE : TRANSPARENT);
  if (!skin_colours.high_contrast) return;
  SetTextColor(dc, skin_colours.text);
  SetBkColor(dc, skin_colours.back);
}

void prepare_window_dc(HDC dc) {
  SelectObject(dc, normal_font);
  prepare_text_colours(dc);
}
