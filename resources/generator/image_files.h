// Writes the generator's pictures in the file formats the resource compiler
// takes: Windows bitmaps (.bmp) and cursors (.cur). Each writer returns false when
// the file cannot be written or the picture does not fit the format.
#pragma once
#include "raster.h"

bool write_bmp24(const char* path, const Raster& raster);

// 8 bits per pixel with a palette of the picture's own colours in the order they
// first occur (top row first). A picture of more than 256 colours is reduced by
// dropping low bits of each channel, rounding down, so that no colour becomes pure
// white and pure white itself stays exact.
bool write_bmp8(const char* path, const Raster& raster);

// A 32 x 32 monochrome cursor. `art` holds 32 rows of 32 characters: 'X' black,
// 'o' white, ' ' transparent.
bool write_cursor(const char* path, const char* const art[32], int hot_x, int hot_y);
