// The installer's pictures, drawn from code: the paper background tile, the
// check-box strip of the plug-in selector, the rounded button faces, the maker's
// logo and the pointing-hand cursor of the link. Every drawing is deterministic:
// the same program always produces the same pixels.
#pragma once
#include "raster.h"

// 57 x 82 light paper texture that tiles seamlessly in both directions; at most 64
// colours, so it fits an 8-bit palette.
Raster paper_tile();

// 52 x 13: four 13 x 13 check-box frames side by side: empty, empty pressed,
// ticked, ticked pressed. Drawn opaque over the paper, so the frames fill their
// squares completely.
Raster checkbox_strip();

// 58 x 20: the yellow rounded button face bearing `word`, on a pure white surround
// that the installer's keyed copy leaves transparent.
Raster button_face(const char* word);

// 170 x 106: the maker's logo, an emblem of three overlapping filter lenses with
// the name beneath, on pure white. The top right (from x 88, rows 10 to 28) stays
// clear: the installer draws its home-page link there.
Raster maker_logo();

// The link cursor: a pointing hand whose fingertip is the hot spot.
extern const char* const LINK_HAND_ART[32];
constexpr int LINK_HAND_HOT_X = 13;
constexpr int LINK_HAND_HOT_Y = 10;
