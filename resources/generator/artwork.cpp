#include "artwork.h"

#include <algorithm>
#include <cmath>

#include "tiny_font.h"

namespace {

// The mean tone of the paper tile: keyed pictures blend their edges into it, since
// that is what they are seen against.
constexpr Rgb PAPER_MEAN = 0xF0E9DA;
constexpr Rgb PAPER_DARK = 0xDCD1BA;
constexpr Rgb PAPER_LIGHT = 0xFAF6EC;

// A fixed integer hash (no library random numbers: their sequences differ between
// standard libraries, and the output must not).
std::uint32_t hash3(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

double unit_random(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  return (hash3(a, b, c) & 0xFFFFFF) / double(0x1000000);  // 0 <= r < 1
}

double smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise on a gx x gy lattice stretched over the tile; the lattice wraps, so
// the noise continues seamlessly across the tile's edges.
double periodic_noise(double x, double y, int w, int h, int gx, int gy, std::uint32_t seed) {
  double u = x * gx / w, v = y * gy / h;
  int i = int(std::floor(u)), j = int(std::floor(v));
  double fu = smooth(u - i), fv = smooth(v - j);
  auto corner = [&](int ci, int cj) {
    return unit_random(std::uint32_t((ci % gx + gx) % gx), std::uint32_t((cj % gy + gy) % gy), seed);
  };
  double top = corner(i, j) + (corner(i + 1, j) - corner(i, j)) * fu;
  double bottom = corner(i, j + 1) + (corner(i + 1, j + 1) - corner(i, j + 1)) * fu;
  return top + (bottom - top) * fv - 0.5;  // -0.5 .. 0.5
}

void add_fibres(std::vector<double>& tone, int w, int h) {
  constexpr int FIBRES = 16;
  for (int f = 0; f < FIBRES; ++f) {
    double x = unit_random(f, 1, 77) * w, y = unit_random(f, 2, 77) * h;
    double angle = unit_random(f, 3, 77) * 3.14159265;
    int length = 5 + int(unit_random(f, 4, 77) * 10);
    double strength = (f % 3 == 0 ? 0.12 : -0.20);  // a few light fibres, more dark ones
    for (int s = 0; s < length; ++s) {
      int px = (int(std::lround(x + s * std::cos(angle))) % w + w) % w;
      int py = (int(std::lround(y + s * std::sin(angle))) % h + h) % h;
      double fade = std::sin(3.14159265 * (s + 0.5) / length);
      tone[py * w + px] += strength * fade;
    }
  }
}

struct TickStroke {
  double dx, dy;  // offset of the whole tick
};

// Coverage (0..1) of the tick's two strokes over one pixel.
double tick_coverage(int px, int py, TickStroke offset) {
  const double ax = 3.0 + offset.dx, ay = 6.4 + offset.dy;
  const double bx = 5.3 + offset.dx, by = 8.8 + offset.dy;
  const double cx = 9.9 + offset.dx, cy = 3.4 + offset.dy;
  int hits = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      double x = px + (sx + 0.5) / 4, y = py + (sy + 0.5) / 4;
      double d = std::min(distance_to_segment(x, y, ax, ay, bx, by),
                          distance_to_segment(x, y, bx, by, cx, cy));
      hits += d <= 1.05 ? 1 : 0;
    }
  }
  return hits / 16.0;
}

void draw_checkbox(Raster& strip, int left, bool ticked, bool pressed) {
  constexpr int SIZE = 13;
  const Rgb border = 0x5E4B30;
  const Rgb fill = pressed ? 0xD6CCB6 : 0xFBF8EE;
  const Rgb inner_shadow = pressed ? 0xA99C80 : 0xD5CBB5;
  const Rgb tick = pressed ? 0x24541A : 0x2F6B1F;
  for (int y = 0; y < SIZE; ++y) {
    for (int x = 0; x < SIZE; ++x) {
      bool edge_x = x == 0 || x == SIZE - 1, edge_y = y == 0 || y == SIZE - 1;
      Rgb c = fill;
      if (edge_x && edge_y) {
        c = mix(PAPER_MEAN, border, 0.35);  // softened corners
      } else if (edge_x || edge_y) {
        c = border;
      } else if (x == 1 || y == 1) {
        c = inner_shadow;  // the box looks sunk into the paper
      }
      if (ticked && !edge_x && !edge_y) {
        // A pressed box shows its tick half a pixel lower right, as if pushed in.
        double cover = tick_coverage(x, y, pressed ? TickStroke{0.5, 0.5} : TickStroke{0, 0});
        c = mix(c, tick, cover);
      }
      strip.set(left + x, y, c);
    }
  }
}

Rgb face_colour(double x, double y) {
  const double t = std::clamp((y - 1) / 18, 0.0, 1.0);
  Rgb base = t < 0.5 ? mix(0xFFEC86, 0xFBD046, t * 2) : mix(0xFBD046, 0xE9A91C, (t - 0.5) * 2);
  if (rounded_rect_distance(x, y, 3.5, 2.2, 54.5, 10.0, 4) < 0) base = mix(base, 0xFFF4BE, 0.45);
  return base;
}

}  // namespace

Raster paper_tile() {
  constexpr int W = 57, H = 82, LEVELS = 64;
  std::vector<double> tone(W * H);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      tone[y * W + x] = 0.58 + 0.14 * periodic_noise(x, y, W, H, 3, 4, 11) +
                        0.16 * periodic_noise(x, y, W, H, 7, 10, 23) +
                        0.10 * periodic_noise(x, y, W, H, 14, 20, 31) +
                        0.20 * (unit_random(x, y, 5) - 0.5);
    }
  }
  add_fibres(tone, W, H);
  Raster tile(W, H, PAPER_MEAN);
  for (int i = 0; i < W * H; ++i) {
    int level = int(std::lround(std::clamp(tone[i], 0.0, 1.0) * (LEVELS - 1)));
    tile.pixels[i] = mix(PAPER_DARK, PAPER_LIGHT, double(level) / (LEVELS - 1));
  }
  return tile;
}

Raster checkbox_strip() {
  Raster strip(52, 13, PAPER_MEAN);
  draw_checkbox(strip, 0, false, false);
  draw_checkbox(strip, 13, false, true);
  draw_checkbox(strip, 26, true, false);
  draw_checkbox(strip, 39, true, true);
  return strip;
}

Raster button_face(const char* word) {
  constexpr int W = 58, H = 20;
  Raster face(W, H, PURE_WHITE);
  render_keyed(face, [](double x, double y) -> Sample {
    double d = rounded_rect_distance(x, y, 1, 1, W - 1, H - 1, 6.5);
    if (d > 0) return {false, 0};
    if (d > -1.1) return {true, 0x8C5A0A};  // outline
    return {true, face_colour(x, y)};
  }, PAPER_MEAN);

  // The word: dark brown, bold, with a light emboss line under each stroke.
  const int left = (W - text_width(word, 1, true)) / 2, top = 6;
  for (int row = 0; row < FONT_ROWS; ++row) {
    for (int col = 0; col < text_width(word, 1, true); ++col) {
      bool here = text_pixel(word, true, col, row);
      bool above = text_pixel(word, true, col, row - 1);
      if (here) {
        face.set(left + col, top + row, 0x4A2E05);
      } else if (above) {
        face.set(left + col, top + row, mix(face_colour(left + col, top + row), 0xFFF4B8, 0.6));
      }
    }
  }
  return face;
}

Raster maker_logo() {
  constexpr int W = 170, H = 106;
  struct Lens {
    double cx, cy;
    Rgb tint;
  };
  static const Lens LENSES[] = {
      {43, 29, 0xF0645A}, {50.8, 42.5, 0x5ADC7A}, {35.2, 42.5, 0x5A8CF0}};
  constexpr double L = 9, T = 4, R = 77, B = 72, RADIUS = 15;

  Raster logo(W, H, PURE_WHITE);
  render_keyed(logo, [](double x, double y) -> Sample {
    double d = rounded_rect_distance(x, y, L, T, R, B, RADIUS);
    if (d <= 0) {
      double t = ((x - L) + (y - T)) / ((R - L) + (B - T));
      Rgb c = mix(0x1B7A99, 0x5B2A86, t);
      if (d > -1.5) c = mix(c, 0x9FD8E6, 0.5);  // light rim
      for (const Lens& lens : LENSES)
        {
        double r = std::hypot(x - lens.cx, y - lens.cy);
        if (r < 13) c = mix(c, lens.tint, 0.5);
        if (r < 13 && r > 12) c = mix(c, 0xF2EEE0, 0.35);  // glass edge
      }
      return {true, c};
    }
    // Soft shadow below right of the emblem.
    double shadow = rounded_rect_distance(x - 3, y - 3, L, T, R, B, RADIUS);
    double alpha = 0.35 * (1 - smooth(std::clamp((shadow + 2) / 5, 0.0, 1.0)));
    if (alpha > 0.05) return {true, mix(PAPER_MEAN, 0x4E4030, alpha)};
    return {false, 0};
  }, PAPER_MEAN);

  struct Words {
    const char* text;
    int x, y, scale;
    Rgb colour;
  };
  const Words WORDS[] = {
      {"VELTRANE", (W - text_width("VELTRANE", 3, false)) / 2, 81, 3, 0x2B2358},
      {"PLUGINS", 88, 36, 2, 0x1B7A99},
      {"image filters", 88 + (text_width("PLUGINS", 2, false) - text_width("image filters", 1, false)) / 2,
       56, 1, 0x6B5E4A},
  };
  for (const Words& w : WORDS) {
    int width = text_width(w.text, w.scale, false);
    for (int y = 0; y < FONT_ROWS * w.scale; ++y)
      for (int x = 0; x < width; ++x)
        if (text_pixel(w.text, false, x / w.scale, y / w.scale)) logo.set(w.x + x, w.y + y, w.colour);
  }
  return logo;
}

// clang-format off
const char* const LINK_HAND_ART[32] = {
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "                                ",
  "             XX                 ",
  "            XooX                ",
  "            XooX                ",
  "            XooX                ",
  "            XooX                ",
  "            XooXXX              ",
  "            XooXooXXX           ",
  "            XooXooXooXX         ",
  "            XooXooXooXoX        ",
  "        XX  XooXooXooXoX        ",
  "       XooX XooooooooooX        ",
  "       XooooXooooooooooX        ",
  "        XooooooooooooooX        ",
  "         XoooooooooooooX        ",
  "         XoooooooooooooX        ",
  "          XooooooooooooX        ",
  "          XoooooooooooX         ",
  "           XooooooooooX         ",
  "           XooooooooooX         ",
  "            XooooooooX          ",
  "            XooooooooX          ",
  "            XXXXXXXXXX          ",
};
// clang-format on
