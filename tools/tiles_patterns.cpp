// Checks, stripes, dots, weaves and ornaments for the texture generator.
#include <algorithm>
#include <cmath>

#include "tools/tile_looks.h"

namespace tiles {
namespace {

int Mod(int v, int m) { return ((v % m) + m) % m; }

// A light cloth or paper grain under a printed pattern, so it does not look like flat vector art.
Rgb Surface(Rgb c, const Noise& n, float x, float y, float amount = 0.03f) {
  return c * (1 + amount * n.Grain(x, y) + amount * 0.8f * n.Fbm(x, y, 2, 2, 3));
}

// 1 inside a band of width `width` centred on multiples of `period` (0 at the centre of the gaps).
float Band(float v, float period, float width) {
  const float d = std::abs(v - period * std::round(v / period));
  return d < width / 2 ? 1.0f : 0.0f;
}

}  // namespace

QImage Check(Rgb ground, Rgb band, int period, float blend, uint32_t seed) {
  const Noise n(seed);
  const float p = static_cast<float>(period);
  return Render(
      [&](float x, float y) {
        const float a = Band(x, p, p / 2);
        const float b = Band(y, p, p / 2);
        Rgb c = Mix(ground, band, blend * (a + b));
        // A fine twill line shows the weave under the colour.
        c = c * (1 + 0.035f * std::sin(2 * kPi * 8 * (x + y) / kTile));
        return Surface(c, n, x, y);
      },
      4);
}

QImage Checkerboard(Rgb a, Rgb b, int period, uint32_t seed) {
  const Noise n(seed);
  const Noise veins(seed + 1);
  const float p = static_cast<float>(period);
  return Render(
      [&](float x, float y) {
        // Squares are centred on the tile edge, so no square edge falls on the wrap.
        const int cx = static_cast<int>(std::floor(x / p + 0.5f));
        const int cy = static_cast<int>(std::floor(y / p + 0.5f));
        Rgb c = Mod(cx + cy, 2) == 0 ? a : b;
        c = c * (1 + 0.05f * veins.Fbm(x, y, 2, 2, 4));
        return Surface(c, n, x, y, 0.02f);
      },
      4);
}

QImage Tartan(uint32_t seed) {
  const Noise n(seed);
  // A muted green, navy and black sett with a thin red line, one letter per 1-pixel thread; it starts
  // inside a green block so the tile edge is not a stripe edge.
  constexpr char kSett[] = "GGGGGGKKNNNNKKNNNNKKGGGGGGKRKGGG";
  auto colour = [](char k) {
    switch (k) {
      case 'G':
        return Hex(0x2F4A3A);
      case 'N':
        return Hex(0x23304D);
      case 'R':
        return Hex(0x8C2F2F);
      default:
        return Hex(0x16181B);
    }
  };
  return Render(
      [&](float x, float y) {
        const int i = Mod(static_cast<int>(std::floor(x)), kTile);
        const int j = Mod(static_cast<int>(std::floor(y)), kTile);
        // 2/2 twill: each crossing shows the warp or the weft colour, so stripes mix where they cross.
        const bool warp_top = Mod(i - j, 4) < 2;
        const Rgb c = colour(kSett[warp_top ? i : j]) * (warp_top ? 1.0f : 0.92f);
        return Surface(c, n, x, y, 0.04f);
      },
      4);
}

QImage Stripes(const std::vector<std::pair<float, Rgb>>& sett, uint32_t seed) {
  const Noise n(seed);
  const float first_half = sett.front().first / 2;
  return Render(
      [&](float x, float y) {
        float pos = Fract((x + first_half) / kTile) * kTile;
        Rgb c = sett.back().second;
        for (const auto& [width, colour] : sett) {
          if (pos < width) {
            c = colour;
            break;
          }
          pos -= width;
        }
        c = c * (1 + 0.03f * std::sin(2 * kPi * 16 * y / kTile));
        return Surface(c, n, x, y);
      },
      4);
}

QImage Dots(Rgb ground, Rgb dot, int per_row, float radius, uint32_t seed) {
  const Noise n(seed);
  const float s = static_cast<float>(kTile) / static_cast<float>(per_row);
  return Render(
      [&](float x, float y) {
        // Dots on a half-drop grid: one lattice at the cell corners, one at the cell centres.
        auto nearest = [s](float u, float v) {
          const float dx = (Fract(u / s + 0.5f) - 0.5f) * s;
          const float dy = (Fract(v / s + 0.5f) - 0.5f) * s;
          return std::hypot(dx, dy);
        };
        const float d = std::min(nearest(x, y), nearest(x + s / 2, y + s / 2));
        const Rgb c = d < radius ? dot : ground;
        return Surface(c, n, x, y);
      },
      4);
}

QImage Herringbone(Rgb light, Rgb dark, uint32_t seed) {
  const Noise n(seed);
  const Noise flecks(seed + 1);
  return Render(
      [&](float x, float y) {
        // Columns 8 wide starting at x 4; the twill runs up in one column and down in the next.
        const float cx = x - 4;
        const int column = Mod(static_cast<int>(std::floor(cx / 8)), 4);
        const float local = cx - 8 * std::floor(cx / 8);
        const float dir = column % 2 == 0 ? 1.0f : -1.0f;
        const float phase = Fract((y + dir * local) / 4);
        const float rib = std::sin(kPi * Fract(phase * 2));
        Rgb c = phase < 0.5f ? dark : light;
        c = c * (0.8f + 0.25f * rib);
        const float fleck = flecks.Grain(x, y);
        if (fleck > 0.9f) c = Mix(c, light * 1.15f, 0.5f);
        return Surface(c, n, x, y, 0.05f);
      },
      4);
}

QImage BasketWeave(Rgb light, Rgb dark, uint32_t seed) {
  const Noise fibres(seed);
  const Noise n(seed + 1);
  return Render(
      [&](float x, float y) {
        // Blocks of three strips, 8 pixels square, offset by 4 so block edges avoid the tile edge.
        const float bx = x + 4;
        const float by = y + 4;
        const int block = Mod(static_cast<int>(std::floor(bx / 8)) + static_cast<int>(std::floor(by / 8)), 2);
        const float lx = bx - 8 * std::floor(bx / 8);
        const float ly = by - 8 * std::floor(by / 8);
        const float across = block == 0 ? ly : lx;
        const float along = block == 0 ? lx : ly;
        const float strip = Fract(across * 3 / 8);
        const float round = std::sin(kPi * strip);
        const float ends = Smoothstep(0.0f, 1.2f, std::min(along, 8 - along));
        const float grain = block == 0 ? fibres.Fbm(x, y, 2, 32, 2) : fibres.Fbm(x, y, 32, 2, 2);
        const float v = 0.25f + 0.55f * std::pow(round, 0.7f) * (0.55f + 0.45f * ends) + 0.15f * grain;
        return Surface(Mix(dark, light, v), n, x, y, 0.02f);
      },
      4);
}

QImage GreekKey(Rgb ground, Rgb line, uint32_t seed) {
  const Noise n(seed);
  // One running meander unit in units of 4 pixels: up, over, down, back, down and on to the next unit.
  constexpr float kPath[][2] = {{0, 2}, {0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {4, 2}};
  struct Segment {
    float ax, ay, bx, by;
  };
  std::vector<Segment> segments;
  // Two meander rows, each 16 pixels tall, two units of 16 pixels each; shifted by 2 so that no upright
  // stroke lies on the tile edge.
  for (int row = 0; row < 2; ++row) {
    for (int unit = 0; unit < 2; ++unit) {
      const float ox = 2.0f + 16.0f * static_cast<float>(unit);
      const float oy = 4.0f + 16.0f * static_cast<float>(row);
      for (size_t k = 0; k + 1 < std::size(kPath); ++k) {
        segments.push_back(
            {ox + 4 * kPath[k][0], oy + 4 * kPath[k][1], ox + 4 * kPath[k + 1][0], oy + 4 * kPath[k + 1][1]});
      }
    }
  }
  return Render(
      [&](float x, float y) {
        float d = 1e9f;
        for (const Segment& s : segments) d = std::min(d, SegmentDistance(x, y, s.ax, s.ay, s.bx, s.by));
        // Ruled lines between the meander rows, centred on y 0 and 16.
        const float rule = std::abs(y - 16 * std::round(y / 16));
        const bool ink = d <= 1.0f || rule <= 0.75f;
        return Surface(ink ? line : ground, n, x, y);
      },
      4);
}

QImage Lattice(Rgb ground, Rgb line, uint32_t seed) {
  const Noise n(seed);
  return Render(
      [&](float x, float y) {
        // Diagonal laths 16 apart along both diagonals; the shadow falls to the lower right.
        auto lath = [](float u) { return std::abs(u - 16 * std::round(u / 16)) / std::sqrt(2.0f); };
        const float d1 = lath(x + y);
        const float d2 = lath(x - y);
        const float shadow = std::min(lath(x + y - 2.2f), lath(x - y + 1.6f));
        Rgb c = ground;
        if (shadow < 0.95f) c = ground * 0.86f;
        if (std::min(d1, d2) < 0.95f) c = line * (d1 < d2 ? 1.0f : 0.93f);
        return Surface(c, n, x, y);
      },
      4);
}

namespace {

// Signed distance to a five-pointed star of outer radius r pointing up (y grows downwards).
float StarDistance(float px, float py, float r, float inner) {
  const float k1x = 0.809016994f;
  const float k1y = -0.587785252f;
  float x = std::abs(px);
  float y = -py;
  float d = std::max(k1x * x + k1y * y, 0.0f);
  x -= 2 * d * k1x;
  y -= 2 * d * k1y;
  d = std::max(-k1x * x + k1y * y, 0.0f);
  x -= 2 * d * -k1x;
  y -= 2 * d * k1y;
  x = std::abs(x);
  y -= r;
  const float bax = inner * -k1y;
  const float bay = inner * k1x - 1;
  const float h = std::clamp((x * bax + y * bay) / (bax * bax + bay * bay), 0.0f, r);
  const float ex = x - bax * h;
  const float ey = y - bay * h;
  return std::hypot(ex, ey) * ((y * bax - x * bay) < 0 ? -1.0f : 1.0f);
}

}  // namespace

QImage Stars(Rgb ground, Rgb star, uint32_t seed) {
  const Noise n(seed);
  struct Place {
    float x, y, r;
  };
  const Place places[] = {{8, 8, 5.5f}, {24, 24, 5.5f}, {24, 9, 2.4f}, {8, 25, 2.4f}};
  return Render(
      [&](float x, float y) {
        float d = 1e9f;
        for (const Place& p : places) {
          d = std::min(d, StarDistance(WrapDelta(x - p.x), WrapDelta(y - p.y), p.r, 0.45f));
        }
        return Surface(d < 0 ? star : ground, n, x, y);
      },
      4);
}

QImage Floral(Rgb ground, Rgb petal, Rgb petal2, Rgb leaf, uint32_t seed) {
  const Noise n(seed);
  struct Flower {
    float x, y, r, turn;
    Rgb colour;
  };
  const Flower flowers[] = {{9, 9, 5.2f, 0.3f, petal}, {25, 24, 4.6f, 1.1f, petal2}};
  struct Leaf {
    float x, y, angle;
  };
  const Leaf leaves[] = {{16.5f, 13, 0.6f}, {13, 18, 2.2f}, {31, 15.5f, -0.7f}, {3, 29, 2.4f}, {21, 3, 1.0f}};
  return Render(
      [&](float x, float y) {
        Rgb c = ground;
        for (const Leaf& l : leaves) {
          const float dx = WrapDelta(x - l.x);
          const float dy = WrapDelta(y - l.y);
          const float u = dx * std::cos(l.angle) + dy * std::sin(l.angle);
          const float v = -dx * std::sin(l.angle) + dy * std::cos(l.angle);
          if ((u * u) / 9.0f + (v * v) / 1.7f < 1) c = std::abs(v) < 0.25f ? leaf * 0.8f : leaf;
        }
        for (const Flower& f : flowers) {
          const float dx = WrapDelta(x - f.x);
          const float dy = WrapDelta(y - f.y);
          const float r = std::hypot(dx, dy);
          const float a = std::atan2(dy, dx) + f.turn;
          const float edge = f.r * (0.55f + 0.45f * std::abs(std::cos(2.5f * a)));
          if (r < edge) c = f.colour * (0.85f + 0.2f * r / f.r);
          if (r < f.r * 0.28f) c = Hex(0xE3B85A);
        }
        // Scattered sprigs between the flowers.
        for (const auto& [sx, sy] :
             {std::pair{18.0f, 27.0f}, std::pair{29.0f, 5.0f}, std::pair{4.0f, 19.0f}}) {
          if (std::hypot(WrapDelta(x - sx), WrapDelta(y - sy)) < 1.1f) c = petal * 0.95f;
        }
        return Surface(c, n, x, y);
      },
      4);
}

QImage Houndstooth(Rgb light, Rgb dark, uint32_t seed) {
  const Noise n(seed);
  return Render(
      [&](float x, float y) {
        // Four dark and four light 2-pixel threads each way, woven 2/2 twill: that is houndstooth.
        const int i = Mod(static_cast<int>(std::floor(x / 2)) + 2, 16);
        const int j = Mod(static_cast<int>(std::floor(y / 2)) + 2, 16);
        const bool warp_top = Mod(i + j, 4) < 2;
        const bool is_dark = warp_top ? (i % 8) < 4 : (j % 8) < 4;
        const float across = Fract(warp_top ? x / 2 : y / 2) - 0.5f;
        const Rgb c = (is_dark ? dark : light) * (0.88f + 0.24f * (0.5f - std::abs(across)));
        return Surface(c, n, x, y, 0.04f);
      },
      4);
}

QImage Argyle(Rgb a, Rgb b, Rgb line, uint32_t seed) {
  const Noise n(seed);
  return Render(
      [&](float x, float y) {
        // Diamonds 16 wide between the diagonals through the tile corners; dashed over-check lines cross
        // through the diamond centres.
        const float u = (x + y) / 16;
        const float v = (x - y) / 16;
        const int parity = Mod(static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(v)), 2);
        Rgb c = parity == 0 ? a : b;
        const float lu = std::abs(Fract(u) - 0.5f) * 16 / std::sqrt(2.0f);
        const float lv = std::abs(Fract(v) - 0.5f) * 16 / std::sqrt(2.0f);
        if (std::min(lu, lv) < 0.4f) c = line;
        c = c * (1 + 0.04f * std::sin(2 * kPi * 16 * x / kTile));
        return Surface(c, n, x, y, 0.035f);
      },
      4);
}

QImage Parquet(Rgb light, Rgb dark, uint32_t seed) {
  const Noise grain(seed);
  const Noise n(seed + 1);
  return Render(
      [&](float x, float y) {
        // 16-pixel blocks of four 4-pixel planks, offset by 2 so that neither block nor plank joints fall on
        // the tile edge.
        const float bx = x + 2;
        const float by = y + 2;
        const int ix = static_cast<int>(std::floor(bx / 16));
        const int iy = static_cast<int>(std::floor(by / 16));
        const bool across = Mod(ix + iy, 2) == 0;
        const float lx = bx - 16 * std::floor(bx / 16);
        const float ly = by - 16 * std::floor(by / 16);
        const float side = across ? ly : lx;
        const int plank = static_cast<int>(side / 4);
        const float tone = HashUnit(seed, static_cast<uint32_t>(Mod(ix, 2)),
                                    static_cast<uint32_t>(Mod(iy, 2)), static_cast<uint32_t>(plank));
        const float g = across ? grain.Fbm(x, y, 2, 32, 3) : grain.Fbm(x, y, 32, 2, 3);
        Rgb c = Mix(light, dark, Clamp01(0.2f + 0.45f * tone + 0.35f * g));
        const float in_plank = side - 4 * static_cast<float>(plank);
        const float joint = std::min({in_plank, 4 - in_plank, lx, 16 - lx, ly, 16 - ly});
        c = c * (0.7f + 0.3f * Smoothstep(0.0f, 0.5f, joint));
        return Surface(c, n, x, y, 0.02f);
      },
      4);
}

}  // namespace tiles
