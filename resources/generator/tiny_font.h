// A tiny proportional bitmap font for the words on the button faces and the logo:
// capitals 7 pixels high, lower case with a 5-pixel x-height and 2-pixel
// descenders, one blank column between letters. Only the letters the artwork
// uses are drawn; asking for any other is a fault of the generator and stops it.
#pragma once
#include "raster.h"

constexpr int FONT_ROWS = 9;      // 7 above the baseline, 2 below
constexpr int FONT_BASELINE = 7;  // rows 0..6 stand on the baseline

// Width in font pixels of `text`, times `scale`; `bold` widens each letter by one.
int text_width(const char* text, int scale, bool bold);

// 1 when the font pixel (column, row) of `text`, laid out from 0, is set.
bool text_pixel(const char* text, bool bold, int column, int row);
