#include "image_files.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void put32(Bytes& out, unsigned v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

int row_stride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// BITMAPINFOHEADER, bottom-up, uncompressed.
void put_info_header(Bytes& out, int width, int height, int bits, unsigned image_size,
                     unsigned colours_used) {
  put32(out, 40);
  put32(out, unsigned(width));
  put32(out, unsigned(height));
  put16(out, 1);
  put16(out, unsigned(bits));
  put32(out, 0);  // BI_RGB
  put32(out, image_size);
  put32(out, 2835);  // 72 dots per inch
  put32(out, 2835);
  put32(out, colours_used);
  put32(out, colours_used);
}

void put_palette_entry(Bytes& out, Rgb c) {
  out.push_back(blue(c));
  out.push_back(green(c));
  out.push_back(red(c));
  out.push_back(0);
}

bool write_file(const char* path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// BITMAPFILEHEADER in front of an info header, palette and pixels.
bool write_bitmap_file(const char* path, const Bytes& info_and_bits, unsigned bits_offset) {
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  put32(out, unsigned(14 + info_and_bits.size()));
  put32(out, 0);
  put32(out, 14 + bits_offset);
  out.insert(out.end(), info_and_bits.begin(), info_and_bits.end());
  return write_file(path, out);
}

Rgb drop_low_bits(Rgb c, int bits) {
  if (c == PURE_WHITE || bits == 0) return c;
  Rgb mask = (0xFFu << bits) & 0xFFu;
  return c & ((mask << 16) | (mask << 8) | mask);
}

std::vector<Rgb> palette_of(const Raster& raster, int low_bits) {
  std::vector<Rgb> palette;
  for (Rgb c : raster.pixels) {
    Rgb q = drop_low_bits(c, low_bits);
    bool known = false;
    for (Rgb p : palette) known = known || p == q;
    if (!known) palette.push_back(q);
  }
  return palette;
}

}  // namespace

bool write_bmp24(const char* path, const Raster& raster) {
  int stride = row_stride(raster.width, 24);
  Bytes body;
  put_info_header(body, raster.width, raster.height, 24, unsigned(stride * raster.height), 0);
  for (int y = raster.height - 1; y >= 0; --y) {
    for (int x = 0; x < raster.width; ++x) {
      Rgb c = raster.at(x, y);
      body.push_back(blue(c));
      body.push_back(green(c));
      body.push_back(red(c));
    }
    for (int pad = raster.width * 3; pad < stride; ++pad) body.push_back(0);
  }
  return write_bitmap_file(path, body, 40);
}

bool write_bmp8(const char* path, const Raster& raster) {
  int low_bits = 0;
  std::vector<Rgb> palette = palette_of(raster, 0);
  while (palette.size() > 256 && low_bits < 7) palette = palette_of(raster, ++low_bits);
  if (palette.size() > 256) return false;

  int stride = row_stride(raster.width, 8);
  Bytes body;
  put_info_header(body, raster.width, raster.height, 8, unsigned(stride * raster.height),
                  unsigned(palette.size()));
  for (Rgb c : palette) put_palette_entry(body, c);
  unsigned bits_offset = unsigned(body.size());
  for (int y = raster.height - 1; y >= 0; --y) {
    for (int x = 0; x < raster.width; ++x) {
      Rgb q = drop_low_bits(raster.at(x, y), low_bits);
      unsigned index = 0;
      while (palette[index] != q) ++index;
      body.push_back(static_cast<unsigned char>(index));
    }
    for (int pad = raster.width; pad < stride; ++pad) body.push_back(0);
  }
  return write_bitmap_file(path, body, bits_offset);
}

bool write_cursor(const char* path, const char* const art[32], int hot_x, int hot_y) {
  constexpr int SIZE = 32;
  constexpr int MASK_BYTES = SIZE * SIZE / 8;  // rows of 4 bytes, already 32-bit aligned
  // Colour (XOR) mask: 1 = white. Transparency (AND) mask: 1 = screen shows through.
  Bytes xor_mask(MASK_BYTES, 0), and_mask(MASK_BYTES, 0);
  for (int y = 0; y < SIZE; ++y) {
    if (std::strlen(art[y]) != SIZE) return false;
    int row = (SIZE - 1 - y) * 4;  // bottom-up
    for (int x = 0; x < SIZE; ++x) {
      unsigned char bit = static_cast<unsigned char>(0x80 >> (x % 8));
      if (art[y][x] == 'o') xor_mask[row + x / 8] |= bit;
      if (art[y][x] == ' ') and_mask[row + x / 8] |= bit;
    }
  }
  Bytes image;
  put_info_header(image, SIZE, 2 * SIZE, 1, 2 * MASK_BYTES, 0);  // height covers both masks
  put_palette_entry(image, 0x000000);
  put_palette_entry(image, PURE_WHITE);
  image.insert(image.end(), xor_mask.begin(), xor_mask.end());
  image.insert(image.end(), and_mask.begin(), and_mask.end());

  Bytes out;
  put16(out, 0);  // reserved
  put16(out, 2);  // cursor
  put16(out, 1);  // one image
  out.push_back(SIZE);
  out.push_back(SIZE);
  out.push_back(2);  // colours
  out.push_back(0);
  put16(out, unsigned(hot_x));
  put16(out, unsigned(hot_y));
  put32(out, unsigned(image.size()));
  put32(out, 6 + 16);
  out.insert(out.end(), image.begin(), image.end());
  return write_file(path, out);
}
