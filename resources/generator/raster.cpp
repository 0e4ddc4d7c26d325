#include "raster.h"

#include <algorithm>
#include <cmath>

Rgb make_rgb(int r, int g, int b) {
  r = std::clamp(r, 0, 255);
  g = std::clamp(g, 0, 255);
  b = std::clamp(b, 0, 255);
  return (Rgb(r) << 16) | (Rgb(g) << 8) | Rgb(b);
}

Rgb mix(Rgb a, Rgb b, double t) {
  auto channel = [t](int ca, int cb) { return int(std::lround(ca + (cb - ca) * t)); };
  return make_rgb(channel(red(a), red(b)), channel(green(a), green(b)), channel(blue(a), blue(b)));
}

Raster::Raster(int w, int h, Rgb fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}

void Raster::set(int x, int y, Rgb c) {
  if (x >= 0 && y >= 0 && x < width && y < height) pixels[y * width + x] = c;
}

void Raster::fill_rect(int left, int top, int right, int bottom, Rgb c) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) set(x, y, c);
}

namespace {

constexpr int SAMPLES_PER_AXIS = 4;
constexpr int SAMPLES = SAMPLES_PER_AXIS * SAMPLES_PER_AXIS;

struct PixelAverage {
  int covered;
  Rgb colour;  // average over all samples, uncovered ones as the backdrop
};

PixelAverage sample_pixel(const Scene& scene, int x, int y, Rgb backdrop) {
  int covered = 0;
  int r = 0, g = 0, b = 0;
  for (int sy = 0; sy < SAMPLES_PER_AXIS; ++sy) {
    for (int sx = 0; sx < SAMPLES_PER_AXIS; ++sx) {
      Sample s = scene(x + (sx + 0.5) / SAMPLES_PER_AXIS, y + (sy + 0.5) / SAMPLES_PER_AXIS);
      Rgb c = s.opaque ? s.colour : backdrop;
      covered += s.opaque ? 1 : 0;
      r += red(c);
      g += green(c);
      b += blue(c);
    }
  }
  auto average = [](int sum) { return (sum + SAMPLES / 2) / SAMPLES; };
  return {covered, make_rgb(average(r), average(g), average(b))};
}

}  // namespace

void render_keyed(Raster& raster, const Scene& scene, Rgb edge_backdrop) {
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) {
      PixelAverage p = sample_pixel(scene, x, y, edge_backdrop);
      if (p.covered * 4 < SAMPLES) {
        raster.set(x, y, PURE_WHITE);
      } else {
        raster.set(x, y, p.colour == PURE_WHITE ? Rgb(0xFEFEFE) : p.colour);
      }
    }
  }
}

void render_opaque(Raster& raster, const Scene& scene, Rgb backdrop) {
  for (int y = 0; y < raster.height; ++y)
    for (int x = 0; x < raster.width; ++x) raster.set(x, y, sample_pixel(scene, x, y, backdrop).colour);
}

double distance_to_segment(double px, double py, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

double rounded_rect_distance(double px, double py, double left, double top, double right,
                             double bottom, double radius) {
  double cx = (left + right) / 2, cy = (top + bottom) / 2;
  double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
  double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  double inside = std::min(std::max(qx, qy), 0.0);
  return outside + inside - radius;
}
