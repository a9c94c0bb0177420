// Colours, periodic noise and supersampled shading for the texture generator.
#include "tools/tile_canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tiles {
namespace {

int Mod(int v, int m) { return ((v % m) + m) % m; }

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

Rgb Hex(uint32_t rrggbb) {
  return {((rrggbb >> 16) & 0xFF) / 255.0f, ((rrggbb >> 8) & 0xFF) / 255.0f, (rrggbb & 0xFF) / 255.0f};
}

Rgb Mix(Rgb a, Rgb b, float t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }

Rgb operator*(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

Rgb Ramp(std::initializer_list<Rgb> stops, float t) {
  const std::vector<Rgb> s(stops);
  if (s.size() == 1) return s[0];
  const float pos = Clamp01(t) * static_cast<float>(s.size() - 1);
  const int i = std::min(static_cast<int>(pos), static_cast<int>(s.size()) - 2);
  return Mix(s[i], s[i + 1], pos - static_cast<float>(i));
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float Smoothstep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

float Fract(float v) { return v - std::floor(v); }

float WrapDelta(float d) { return d - kTile * std::floor(d / kTile + 0.5f); }

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  // Measure against the copy of the segment nearest to the point: wrap relative to the segment's middle.
  const float mx = (ax + bx) / 2;
  const float my = (ay + by) / 2;
  const float qx = WrapDelta(px - mx);
  const float qy = WrapDelta(py - my);
  const float hx = (bx - ax) / 2;
  const float hy = (by - ay) / 2;
  const float len2 = hx * hx + hy * hy;
  const float t = len2 > 0 ? std::clamp((qx * hx + qy * hy) / len2, -1.0f, 1.0f) : 0.0f;
  return std::hypot(qx - t * hx, qy - t * hy);
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
  h ^= (c + 0x632BE59Bu) * 0xC2B2AE3Du;
  h ^= (d + 0x1B873593u) * 0x27D4EB2Fu;
  // lowbias32 finaliser: every input bit reaches every output bit.
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return static_cast<float>(Hash(a, b, c, d) >> 8) / 16777216.0f;
}

float Noise::Gradient(float x, float y, int cells_x, int cells_y) const {
  const float u = x * static_cast<float>(cells_x) / kTile;
  const float v = y * static_cast<float>(cells_y) / kTile;
  const int i0 = static_cast<int>(std::floor(u));
  const int j0 = static_cast<int>(std::floor(v));
  const float fu = u - static_cast<float>(i0);
  const float fv = v - static_cast<float>(j0);
  // Lattice points are taken modulo the cell counts: that is what makes the field repeat every tile.
  const uint32_t salt = static_cast<uint32_t>(cells_x) * 65537u + static_cast<uint32_t>(cells_y);
  auto dot = [&](int i, int j, float dx, float dy) {
    const float angle =
        static_cast<float>(Hash(seed_, Mod(i, cells_x), Mod(j, cells_y), salt)) * (2 * kPi / 4294967296.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
  };
  const float s = Fade(fu);
  const float t = Fade(fv);
  const float top = Lerp(dot(i0, j0, fu, fv), dot(i0 + 1, j0, fu - 1, fv), s);
  const float bottom = Lerp(dot(i0, j0 + 1, fu, fv - 1), dot(i0 + 1, j0 + 1, fu - 1, fv - 1), s);
  // 2D gradient noise peaks near +-0.7; scale it to about +-1.
  return 1.41f * Lerp(top, bottom, t);
}

float Noise::Fbm(float x, float y, int cells_x, int cells_y, int octaves, float gain) const {
  float sum = 0;
  float amplitude = 1;
  float total = 0;
  for (int k = 0; k < octaves; ++k) {
    sum += amplitude * Gradient(x, y, cells_x << k, cells_y << k);
    total += amplitude;
    amplitude *= gain;
  }
  return sum / total;
}

float Noise::Grain(float x, float y) const {
  const int px = Mod(static_cast<int>(std::floor(x)), kTile);
  const int py = Mod(static_cast<int>(std::floor(y)), kTile);
  return HashUnit(seed_, static_cast<uint32_t>(px), static_cast<uint32_t>(py), 0x6A41u) * 2 - 1;
}

Noise::Cell Noise::Cellular(float x, float y, int cells_x, int cells_y, float jitter, float stretch_x) const {
  const float cw = static_cast<float>(kTile) / static_cast<float>(cells_x);
  const float ch = static_cast<float>(kTile) / static_cast<float>(cells_y);
  const int i0 = static_cast<int>(std::floor(x / cw));
  const int j0 = static_cast<int>(std::floor(y / ch));
  Cell best;
  best.f1 = best.f2 = 1e9f;
  for (int dj = -1; dj <= 1; ++dj) {
    for (int di = -1; di <= 1; ++di) {
      const int i = i0 + di;
      const int j = j0 + dj;
      const uint32_t im = static_cast<uint32_t>(Mod(i, cells_x));
      const uint32_t jm = static_cast<uint32_t>(Mod(j, cells_y));
      const float px = (static_cast<float>(i) + 0.5f + jitter * (HashUnit(seed_, im, jm, 101) - 0.5f)) * cw;
      const float py = (static_cast<float>(j) + 0.5f + jitter * (HashUnit(seed_, im, jm, 202) - 0.5f)) * ch;
      const float dx = x - px;
      const float dy = y - py;
      const float d = std::hypot(dx / stretch_x, dy);
      if (d < best.f1) {
        best.f2 = best.f1;
        best.f1 = d;
        best.dx = dx;
        best.dy = dy;
        best.id = Hash(seed_, im, jm, 303);
      } else if (d < best.f2) {
        best.f2 = d;
      }
    }
  }
  return best;
}

QImage Render(const Shader& shade, int samples) {
  QImage tile(kTile, kTile, QImage::Format_ARGB32);
  const float step = 1.0f / static_cast<float>(samples);
  for (int y = 0; y < kTile; ++y) {
    auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
    for (int x = 0; x < kTile; ++x) {
      Rgb sum;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const Rgb c = shade(static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * step,
                              static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * step);
          // Clamp each sample, so an overshooting highlight does not bleed into the pixel's average.
          sum = sum + Rgb{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
        }
      }
      const float n = static_cast<float>(samples * samples);
      auto to8 = [n](float v) { return static_cast<int>(std::lround(v / n * 255)); };
      line[x] = qRgb(to8(sum.r), to8(sum.g), to8(sum.b));
    }
  }
  return tile;
}

}  // namespace tiles
