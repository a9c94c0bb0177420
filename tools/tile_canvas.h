// Drawing helpers for the texture generator: colours, noise that repeats every tile, supersampled shading.
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace tiles {

// Edge length of a tile in pixels; every pattern and noise below repeats with exactly this period.
inline constexpr int kTile = 32;
inline constexpr float kPi = 3.14159265358979f;

// A colour with components 0..1 (sRGB values, not linear light).
struct Rgb {
  float r = 0;
  float g = 0;
  float b = 0;
};

Rgb Hex(uint32_t rrggbb);
Rgb Mix(Rgb a, Rgb b, float t);
Rgb operator*(Rgb c, float k);
Rgb operator+(Rgb a, Rgb b);
// Piecewise-linear through evenly spaced stops; t is clamped to 0..1.
Rgb Ramp(std::initializer_list<Rgb> stops, float t);

float Clamp01(float v);
float Smoothstep(float edge0, float edge1, float v);
float Fract(float v);
// The shortest signed offset between two positions on the wrapping tile: -16..16.
float WrapDelta(float d);
// Distance from (px, py) to the segment a-b on the wrapping tile (segments shorter than half a tile).
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by);

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
// A hash mapped to 0..1 (1 excluded).
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);

// Noise fields that repeat every kTile pixels in both directions, so a tile continues into its neighbours.
// Lattice counts (cells_x, cells_y) say how many cells span one tile; any positive integer keeps the period.
class Noise {
 public:
  explicit Noise(uint32_t seed) : seed_(seed) {}

  // Gradient noise, about -1..1.
  float Gradient(float x, float y, int cells_x, int cells_y) const;
  // Sum of octaves of Gradient, each with twice the cells and gain times the amplitude; about -1..1.
  float Fbm(float x, float y, int cells_x, int cells_y, int octaves, float gain = 0.5f) const;
  // White noise -1..1 keyed by the pixel that (x, y) falls in.
  float Grain(float x, float y) const;

  struct Cell {
    float f1 = 0;  // distance to the nearest feature point, pixels
    float f2 = 0;  // distance to the second nearest
    float dx = 0;  // offset from the nearest feature point to (x, y)
    float dy = 0;
    uint32_t id = 0;  // stable for the nearest point's cell
  };
  // Cellular (Worley) noise with one jittered point per cell; stretch_x > 1 lengthens cells horizontally
  // in the distance measure.
  Cell Cellular(float x, float y, int cells_x, int cells_y, float jitter = 1, float stretch_x = 1) const;

 private:
  uint32_t seed_;
};

using Shader = std::function<Rgb(float x, float y)>;

// Shades a kTile x kTile tile at samples x samples points per pixel (x and y in pixels, 0..kTile) and
// averages them: an opaque ARGB32 image.
QImage Render(const Shader& shade, int samples = 3);

}  // namespace tiles
