// Build-time tool: draws the installer's bitmaps and cursor and writes them into
// the folder given as its only argument, where the resource script picks them up.
#include <cstdio>
#include <string>

#include "artwork.h"
#include "image_files.h"

namespace {

struct BitmapFile {
  const char* name;
  int bits;  // 8 or 24
  Raster (*draw)();
};

Raster cancel_face() { return button_face("Cancel"); }
Raster install_face() { return button_face("Install"); }
Raster enjoy_face() { return button_face("Enjoy"); }

const BitmapFile BITMAP_FILES[] = {
    {"paper_tile.bmp", 8, paper_tile},       {"checkbox_strip.bmp", 24, checkbox_strip},
    {"cancel_face.bmp", 8, cancel_face},     {"maker_logo.bmp", 24, maker_logo},
    {"install_face.bmp", 24, install_face},  {"enjoy_face.bmp", 24, enjoy_face},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  int status = 0;
  for (const BitmapFile& file : BITMAP_FILES) {
    std::string path = dir + file.name;
    Raster picture = file.draw();
    bool ok = file.bits == 8 ? write_bmp8(path.c_str(), picture) : write_bmp24(path.c_str(), picture);
    if (!ok) {
      std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
      status = 1;
    }
  }
  std::string cursor = dir + "link_hand.cur";
  if (!write_cursor(cursor.c_str(), LINK_HAND_ART, LINK_HAND_HOT_X, LINK_HAND_HOT_Y)) {
    std::fprintf(stderr, "make_artwork: cannot write %s\n", cursor.c_str());
    status = 1;
  }
  return status;
}
