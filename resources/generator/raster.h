// An RGB picture in memory that the artwork generator draws into, and the small
// colour arithmetic it needs. Colours are 0xRRGGBB; (0, 0) is the top-left pixel.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

using Rgb = std::uint32_t;

constexpr Rgb PURE_WHITE = 0xFFFFFF;  // the installer's transparent key

inline int red(Rgb c) { return (c >> 16) & 0xFF; }
inline int green(Rgb c) { return (c >> 8) & 0xFF; }
inline int blue(Rgb c) { return c & 0xFF; }
Rgb make_rgb(int r, int g, int b);  // each channel clamped to 0..255

// a + (b - a) * t, channel by channel, t from 0 to 1.
Rgb mix(Rgb a, Rgb b, double t);

struct Raster {
  int width;
  int height;
  std::vector<Rgb> pixels;  // row-major, top row first

  Raster(int w, int h, Rgb fill);
  Rgb at(int x, int y) const { return pixels[y * width + x]; }
  void set(int x, int y, Rgb c);  // ignores points outside
  void fill_rect(int left, int top, int right, int bottom, Rgb c);  // right/bottom exclusive
};

// What a drawing shows at a point of the continuous plane: `opaque` false where
// the point lies outside every shape.
struct Sample {
  bool opaque;
  Rgb colour;
};
using Scene = std::function<Sample(double x, double y)>;

// Paints `scene` into the raster with 4 x 4 samples per pixel. Pixels the scene
// covers less than a quarter stay pure white (transparent for the installer's keyed
// copy); the others average their samples, with the uncovered part taken as
// `edge_backdrop`, the colour the picture will be seen against. A covered pixel is
// never pure white, so nothing meant to be opaque turns transparent.
void render_keyed(Raster& raster, const Scene& scene, Rgb edge_backdrop);

// As render_keyed, for pictures drawn opaque: every pixel averages its samples,
// uncovered samples taking `backdrop`.
void render_opaque(Raster& raster, const Scene& scene, Rgb backdrop);

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
double distance_to_segment(double px, double py, double ax, double ay, double bx, double by);

// Signed distance to a rounded rectangle (negative inside).
double rounded_rect_distance(double px, double py, double left, double top, double right,
                             double bottom, double radius);
