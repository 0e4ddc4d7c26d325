// Writes the skin tests' bitmaps and cursor into the folder given as argument.
// Runs on the build machine (native compiler); each image has colours that make
// a misplaced, mirrored or skipped pixel visible.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};
const Rgb WHITE = {255, 255, 255};

void put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, unsigned v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

template <typename Pixel>
bool write_bmp(const std::string& path, int width, int height, Pixel pixel) {
  int row = (width * 3 + 3) & ~3;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + row * height);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, width);
  put32(out, height);  // bottom-up
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, row * height);
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      Rgb c = pixel(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (int pad = width * 3; pad < row; ++pad) out.push_back(0);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && ok;
}

// A 32 x 32 monochrome cursor: a black block under the hot spot, transparent elsewhere.
bool write_cursor(const std::string& path) {
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 2);  // cursor
  put16(out, 1);
  out.push_back(32);
  out.push_back(32);
  out.push_back(0);
  out.push_back(0);
  put16(out, 13);  // hot spot
  put16(out, 10);
  put32(out, 40 + 8 + 128 + 128);
  put32(out, 22);
  put32(out, 40);
  put32(out, 32);
  put32(out, 64);  // XOR and AND masks
  put16(out, 1);
  put16(out, 1);
  for (int i = 0; i < 6; ++i) put32(out, 0);
  put32(out, 0x000000);
  put32(out, 0xFFFFFF);
  for (int i = 0; i < 128; ++i) out.push_back(0);  // XOR: black
  for (int y = 31; y >= 0; --y)                    // AND: 0 = opaque
    for (int byte = 0; byte < 4; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        int x = byte * 8 + bit;
        bool opaque = x >= 8 && x < 20 && y >= 4 && y < 24;
        if (!opaque) bits |= 0x80 >> bit;
      }
      out.push_back(bits);
    }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && ok;
}

Rgb face(int x, int y, bool pressed) {
  if (x < 2 || y < 2 || x >= 22 || y >= 12) return WHITE;
  if (x == 3 && y == 3) return {255, 255, 254};  // near white: must be drawn
  if (pressed) return {170, 30 + x * 8, 50 + y * 12};
  return {30 + x * 8, 50 + y * 12, 170};
}

Rgb strip_frame(int x, int y, int frame_width) {
  int frame = x / frame_width;
  int u = x % frame_width;
  if (u == 0 || y == 0 || u == frame_width - 1 || y == 12) return {40 + frame * 50, 20, 20};
  if ((u + 2 * y) % 5 == 0) return WHITE;
  return {10 + u * 9, 40 + frame * 40, 60 + y * 12};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string dir = std::string(argv[1]) + "/";
  bool ok = true;
  ok &= write_bmp(dir + "tile.bmp", 10, 10, [](int x, int y) { return Rgb{20 + x * 20, 20 + y * 20, 90}; });
  ok &= write_bmp(dir + "background.bmp", 16, 12,
                  [](int x, int y) { return Rgb{180 + x * 4, 170 + y * 5, 150 + ((x * 7 + y * 3) % 11)}; });
  ok &= write_bmp(dir + "face.bmp", 24, 14, [](int x, int y) { return face(x, y, false); });
  ok &= write_bmp(dir + "face_pressed.bmp", 24, 14, [](int x, int y) { return face(x, y, true); });
  ok &= write_bmp(dir + "strip.bmp", 52, 13, [](int x, int y) { return strip_frame(x, y, 13); });
  ok &= write_bmp(dir + "wide_strip.bmp", 104, 13, [](int x, int y) { return strip_frame(x, y, 26); });
  ok &= write_bmp(dir + "sheet.bmp", 104, 52, [](int x, int y) {
    int cell = (y / 26) * 4 + x / 26;
    return Rgb{10 + cell * 30, (x % 26) * 9, 30 + (y % 26) * 8};
  });
  ok &= write_bmp(dir + "small.bmp", 7, 5, [](int x, int y) { return Rgb{x * 30, 200, y * 40}; });
  ok &= write_cursor(dir + "cursor.cur");
  return ok ? 0 : 1;
}
