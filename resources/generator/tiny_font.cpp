#include "tiny_font.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Glyph {
  char letter;
  const char* rows[FONT_ROWS];  // '#' set, '.' clear; a null row is blank
};

constexpr int SPACE_WIDTH = 3;

// clang-format off
const Glyph GLYPHS[] = {
  {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
  {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
  {'E', {"####", "#...", "#...", "###.", "#...", "#...", "####"}},
  {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
  {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
  {'L', {"#...", "#...", "#...", "#...", "#...", "#...", "####"}},
  {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
  {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
  {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
  {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
  {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
  {'a', {"....", "....", ".##.", "...#", ".###", "#..#", ".###"}},
  {'c', {"....", "....", ".###", "#...", "#...", "#...", ".###"}},
  {'e', {"....", "....", ".##.", "#..#", "####", "#...", ".###"}},
  {'f', {".##", "#..", "###", "#..", "#..", "#..", "#.."}},
  {'g', {"....", "....", ".###", "#..#", "#..#", "#..#", ".###", "...#", ".##."}},
  {'i', {"#", ".", "#", "#", "#", "#", "#"}},
  {'j', {".#", "..", ".#", ".#", ".#", ".#", ".#", ".#", "#."}},
  {'l', {"#", "#", "#", "#", "#", "#", "#"}},
  {'m', {".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
  {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#"}},
  {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##."}},
  {'r', {"....", "....", "#.##", "##..", "#...", "#...", "#..."}},
  {'s', {"....", "....", ".###", "#...", ".##.", "...#", "###."}},
  {'t', {"...", ".#.", "###", ".#.", ".#.", ".#.", "..#"}},
  {'u', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###"}},
  {'y', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###", "...#", ".##."}},
};
// clang-format on

const Glyph* find_glyph(char letter) {
  for (const Glyph& g : GLYPHS)
    if (g.letter == letter) return &g;
  std::fprintf(stderr, "tiny font: no glyph for '%c'\n", letter);
  std::exit(1);
}

int glyph_width(char letter) {
  return letter == ' ' ? SPACE_WIDTH : int(std::strlen(find_glyph(letter)->rows[0]));
}

bool glyph_pixel(char letter, int column, int row) {
  if (letter == ' ' || row < 0 || row >= FONT_ROWS) return false;
  const char* line = find_glyph(letter)->rows[row];
  return line && column >= 0 && column < int(std::strlen(line)) && line[column] == '#';
}

}  // namespace

int text_width(const char* text, int scale, bool bold) {
  int width = 0;
  for (const char* p = text; *p; ++p) {
    if (p != text) width += 1;
    width += glyph_width(*p) + (bold && *p != ' ' ? 1 : 0);
  }
  return width * scale;
}

bool text_pixel(const char* text, bool bold, int column, int row) {
  int left = 0;
  for (const char* p = text; *p; ++p) {
    int width = glyph_width(*p) + (bold && *p != ' ' ? 1 : 0);
    if (column >= left && column < left + width) {
      int c = column - left;
      return glyph_pixel(*p, c, row) || (bold && glyph_pixel(*p, c - 1, row));
    }
    left += width + 1;
  }
  return false;
}
