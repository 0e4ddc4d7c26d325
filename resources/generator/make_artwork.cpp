// Build-time tool: draws the installer's bitmaps and cursor and writes them into
// the folder given as its only argument, where the resource script picks them up.
#include <cstdio>
#include <string>

#include "artwork.h"
#include "image_files.h"

namespace {

bool report(bool ok, const std::string& path) {
  if (!ok) std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;
  ok &= report(write_bmp8((dir + "paper_tile.bmp").c_str(), paper_tile()), dir + "paper_tile.bmp");
  ok &= report(write_bmp24((dir + "checkbox_strip.bmp").c_str(), checkbox_strip()), dir + "checkbox_strip.bmp");
  ok &= report(write_bmp8((dir + "cancel_face.bmp").c_str(), button_face("Cancel")), dir + "cancel_face.bmp");
  ok &= report(write_bmp24((dir + "maker_logo.bmp").c_str(), maker_logo()), dir + "maker_logo.bmp");
  ok &= report(write_bmp24((dir + "install_face.bmp").c_str(), button_face("Install")), dir + "install_face.bmp");
  ok &= report(write_bmp24((dir + "enjoy_face.bmp").c_str(), button_face("Enjoy")), dir + "enjoy_face.bmp");
  ok &= report(write_cursor((dir + "link_hand.cur").c_str(), LINK_HAND_ART, LINK_HAND_HOT_X, LINK_HAND_HOT_Y),
               dir + "link_hand.cur");
  return ok ? 0 : 1;
}
