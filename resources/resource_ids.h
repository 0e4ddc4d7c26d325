// Numeric ids of the installer's resources, shared by the resource script and the
// dialog code. The dialog template itself is named: MAIN_DIALOG_NAME.
#pragma once

#define MAIN_DIALOG_NAME "main"

// Bitmaps (device-independent, in the resource section).
#define BITMAP_PAPER_TILE 117      // 8 bpp, 57 x 82: the dialog's background tile
#define BITMAP_CHECKBOX_STRIP 128  // 24 bpp, 52 x 13: empty, empty pressed, ticked, ticked pressed
#define BITMAP_CANCEL_FACE 203     // 8 bpp, 58 x 20: exit button
#define BITMAP_MAKER_LOGO 213      // 24 bpp, 170 x 106: picture at the top left
#define BITMAP_INSTALL_FACE 219    // 24 bpp, 58 x 20: install button
#define BITMAP_ENJOY_FACE 220      // 24 bpp, 58 x 20: finish button

// Cursor shown over the link: 32 x 32 monochrome pointing hand, hot spot (13, 10).
#define CURSOR_LINK_HAND 120

// Controls of the dialog template.
#define CONTROL_FOLDER_LIST 1033    // drop-down list of plug-in folders
#define CONTROL_HIDDEN_BUTTON 1034  // never shown; receives the dialog's BM_CLICK
