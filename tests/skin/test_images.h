/* Resource ids and sizes of the skin tests' own images (made by make_test_images).
   Read by the resource compiler too, so only plain #defines here. */
#pragma once

#define TEST_TILE 601          /* 10 x 10, every pixel different, no white */
#define TEST_BACKGROUND 602    /* 16 x 12 background tile, no white */
#define TEST_FACE 603          /* 24 x 14 button face: 2-pixel white surround, near-white at (3, 3) */
#define TEST_FACE_PRESSED 604  /* 24 x 14, the pressed face, other colours */
#define TEST_STRIP 605         /* 52 x 13: four 13 x 13 check-box frames with white inside */
#define TEST_WIDE_STRIP 606    /* 104 x 13: four 26 x 13 frames */
#define TEST_SHEET 607         /* 104 x 52: grid sheet, 4 x 2 cells of 26 x 26 */
#define TEST_SMALL 44          /* 7 x 5: a resource whose number is also a blank size */
#define TEST_CURSOR 610        /* 32 x 32 monochrome cursor, hot spot (13, 10) */

#define TEST_FACE_WIDTH 24
#define TEST_FACE_HEIGHT 14
