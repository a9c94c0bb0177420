// Linens, canvases, leathers, metals and fabrics for the texture generator.
#include <algorithm>
#include <cmath>

#include "tools/tile_looks.h"

namespace tiles {
namespace {

int Mod(int v, int m) { return ((v % m) + m) % m; }

bool WarpOnTop(WeaveKind kind, int i, int j) {
  switch (kind) {
    case WeaveKind::kPlain:
      return Mod(i + j, 2) == 0;
    case WeaveKind::kTwill31:
      return Mod(i - j, 4) != 0;
    case WeaveKind::kTwill22:
      return Mod(i - j, 4) < 2;
    case WeaveKind::kBasket:
      return Mod(i / 2 + j / 2, 2) == 0;
  }
  return true;
}

// A round thread seen from above: brightest along its middle, darker towards its edges.
float ThreadProfile(float offset, float half_width) {
  const float t = std::min(std::abs(offset) / half_width, 1.0f);
  return 0.62f + 0.38f * std::sqrt(1 - t * t);
}

// A thread darkens where it dives under a crossing thread; floats continue without a dip.
float Dip(float along, bool continues_before, bool continues_after) {
  float d = 1;
  if (!continues_before) d *= 0.72f + 0.28f * Smoothstep(0.0f, 0.45f, along);
  if (!continues_after) d *= 0.72f + 0.28f * Smoothstep(0.0f, 0.45f, 1 - along);
  return d;
}

}  // namespace

QImage Weave(const WeaveLook& look) {
  const Noise slubs(look.seed);
  const Noise fuzz(look.seed + 1);
  const int n = look.threads;
  const float pitch = static_cast<float>(kTile) / static_cast<float>(n);
  return Render(
      [&](float x, float y) {
        const float fx = x / pitch;
        const float fy = y / pitch;
        const int i = Mod(static_cast<int>(std::floor(fx)), n);
        const int j = Mod(static_cast<int>(std::floor(fy)), n);
        const float u = Fract(fx) - 0.5f;
        const float v = Fract(fy) - 0.5f;
        // Slub noise runs along each thread: sampled in the middle of thread i's lattice column.
        const float s_warp = slubs.Gradient((static_cast<float>(i) + 0.5f) * pitch, y, n, 8);
        const float s_weft = slubs.Gradient(x, (static_cast<float>(j) + 0.5f) * pitch, 8, n);
        const float hw_warp = 0.5f * look.thickness * (1 + look.slubs * s_warp);
        const float hw_weft = 0.5f * look.thickness * (1 + look.slubs * s_weft);
        const bool top = WarpOnTop(look.kind, i, j);
        auto thread = [&](Rgb base, int index, bool warp) {
          Rgb c =
              base * (1 + look.variation * (2 * HashUnit(look.seed, static_cast<uint32_t>(index), warp) - 1));
          if (look.fleck_share > 0 && HashUnit(look.seed, static_cast<uint32_t>(i), static_cast<uint32_t>(j),
                                               77) < look.fleck_share) {
            c = look.flecks[Hash(look.seed, static_cast<uint32_t>(i), static_cast<uint32_t>(j)) %
                            look.flecks.size()];
          }
          c = c * (1 + 0.5f * look.slubs * (warp ? s_warp : s_weft));
          if (warp) {
            return c * ThreadProfile(u, hw_warp) *
                   Dip(v + 0.5f, WarpOnTop(look.kind, i, j - 1), WarpOnTop(look.kind, i, j + 1));
          }
          return c * ThreadProfile(v, hw_weft) *
                 Dip(u + 0.5f, !WarpOnTop(look.kind, i - 1, j), !WarpOnTop(look.kind, i + 1, j));
        };
        const bool in_warp = std::abs(u) < hw_warp;
        const bool in_weft = std::abs(v) < hw_weft;
        Rgb c = look.gap;
        if (top ? in_warp : in_weft) {
          c = top ? thread(look.warp, i, true) : thread(look.weft, j, false);
        } else if (in_warp || in_weft) {
          c = in_warp ? thread(look.warp, i, true) * 0.85f : thread(look.weft, j, false) * 0.85f;
        }
        return c * (1 + look.fuzz * fuzz.Grain(x * 2, y * 2));
      },
      4);
}

QImage Grasscloth(Rgb light, Rgb dark, Rgb binder, uint32_t seed) {
  const Noise strands(seed);
  const Noise edges(seed + 1);
  const Noise grain(seed + 2);
  return Render(
      [&](float x, float y) {
        const float tone = strands.Fbm(x, y, 1, 16, 3, 0.6f);
        Rgb c = Mix(light, dark, Clamp01(0.45f + 0.6f * tone));
        // Gaps between strands: thin dark lines that wander a little.
        const float f = Fract(y * 10 / kTile + 0.25f * edges.Fbm(x, y, 1, 4, 2));
        c = c * (0.8f + 0.2f * Smoothstep(0.0f, 0.12f, std::min(f, 1 - f)));
        // Binding threads every 8 pixels, between the tile edges.
        const float bx = std::abs(WrapDelta(x - 4 - 8 * std::floor(x / 8)));
        const float b = 1 - Smoothstep(0.25f, 0.6f, bx);
        c = Mix(c, binder * (0.9f + 0.1f * std::sin(kPi * Fract(y / 2))), 0.8f * b);
        return c * (1 + 0.04f * grain.Grain(x, y));
      },
      4);
}

QImage Leather(const LeatherLook& look) {
  const Noise pebbles(look.seed);
  const Noise tone(look.seed + 1);
  const Noise grain(look.seed + 2);
  const float cell = static_cast<float>(kTile) / static_cast<float>(look.cells);
  const int cells_x = std::max(1, static_cast<int>(std::lround(look.cells / look.stretch_x)));
  return Render(
      [&](float x, float y) {
        const Noise::Cell p = pebbles.Cellular(x, y, cells_x, look.cells, 0.9f, look.stretch_x);
        // Pebbles are domes lit from the upper left.
        const float slope = -(p.dx / look.stretch_x + p.dy) / cell;
        Rgb c = look.base * (1 + look.tone * tone.Fbm(x, y, 2, 2, 3)) * (1 + look.relief * slope);
        const float crease = 1 - Smoothstep(0.0f, look.crease_width, p.f2 - p.f1);
        c = Mix(c, look.crease, crease * look.crease_depth);
        if (look.sheen > 0)
          c = c + Rgb{1, 1, 1} * (look.sheen * Smoothstep(0.35f, 0.9f, slope) * (1 - crease));
        return c * (1 + 0.03f * grain.Grain(x, y));
      },
      3);
}

QImage Suede(Rgb base, uint32_t seed) {
  const Noise nap(seed);
  const Noise brush(seed + 1);
  const Noise grain(seed + 2);
  return Render([&](float x, float y) {
    const float v = 0.09f * nap.Fbm(x, y, 2, 2, 4, 0.6f) + 0.04f * brush.Fbm(x, y, 4, 1, 2);
    return base * (1 + v + 0.05f * grain.Grain(x, y));
  });
}

QImage BrushedMetal(const MetalLook& look) {
  const Noise streaks(look.seed);
  const Noise fine(look.seed + 1);
  const Noise sheen(look.seed + 2);
  return Render(
      [&](float x, float y) {
        // Brushing leaves fine streaks along x; the light varies only softly and without bands.
        const float v =
            0.5f + look.streaks * (0.3f * streaks.Fbm(x, y, 1, 16, 3) + 0.18f * fine.Gradient(x, y, 3, 64)) +
            look.sheen * 2 * sheen.Fbm(x, y, 1, 1, 2);
        return Ramp({look.shadow, look.base, look.highlight}, v);
      },
      4);
}

QImage HammeredMetal(const MetalLook& look, int dents) {
  const Noise dent_field(look.seed);
  const Noise streaks(look.seed + 1);
  const float radius = 0.8f * static_cast<float>(kTile) / static_cast<float>(dents);
  return Render(
      [&](float x, float y) {
        const Noise::Cell d = dent_field.Cellular(x, y, dents, dents, 0.85f);
        // Inside a dent the side away from the light faces it: the right and lower walls are lit.
        const float nx = d.dx / radius;
        const float ny = d.dy / radius;
        const float lit = 0.5f + 0.55f * (nx + ny) / std::sqrt(2.0f) * std::min(1.0f, d.f1 / radius * 1.4f);
        const float ridge = 1 - Smoothstep(0.0f, 1.1f, d.f2 - d.f1);
        const float v = lit + 0.18f * ridge + look.streaks * 0.08f * streaks.Fbm(x, y, 1, 16, 2);
        return Ramp({look.shadow, look.base, look.highlight}, v);
      },
      4);
}

QImage PatinatedMetal(const MetalLook& look, Rgb patina, float coverage, bool streaky) {
  const Noise patches(look.seed + 7);
  const Noise mottle(look.seed + 8);
  const Noise grain(look.seed + 9);
  const QImage metal = BrushedMetal(look);
  return Render([&](float x, float y) {
    const QRgb m = metal.pixel(static_cast<int>(x) % kTile, static_cast<int>(y) % kTile);
    const Rgb c{qRed(m) / 255.0f, qGreen(m) / 255.0f, qBlue(m) / 255.0f};
    // Streaky patina sits in the brushing grooves; blotchy patina grows in patches.
    const float p = streaky ? patches.Fbm(x, y, 1, 8, 4, 0.6f) : patches.Fbm(x, y, 2, 2, 5, 0.6f);
    const float mask = Smoothstep(0.3f - coverage, 0.6f - coverage, p);
    const Rgb crust = patina * (0.88f + 0.2f * mottle.Fbm(x, y, 4, 4, 2) + 0.06f * grain.Grain(x, y));
    // Where the crust thins out, the metal around it is darkened by tarnish.
    const float rim = Smoothstep(0.1f - coverage, 0.4f - coverage, p) * (1 - mask);
    return Mix(c * (1 - 0.25f * rim), crust, mask * 0.9f);
  });
}

QImage Velvet(Rgb deep, Rgb base, Rgb lustre, uint32_t seed) {
  const Noise pile(seed);
  const Noise grain(seed + 1);
  return Render([&](float x, float y) {
    const float v = 0.48f + 0.5f * pile.Fbm(x, y, 2, 2, 4, 0.55f) + 0.04f * grain.Grain(x, y);
    return Ramp({deep, base, lustre}, v);
  });
}

QImage Silk(Rgb shadow, Rgb base, Rgb lustre, float slubs, uint32_t seed) {
  const Noise folds(seed);
  const Noise slub_field(seed + 1);
  return Render(
      [&](float x, float y) {
        const float s = std::sin(2 * kPi * (x + 2 * y) / kTile + 1.8f * folds.Fbm(x, y, 1, 2, 3));
        float v = 0.5f + 0.38f * s;
        v += slubs * Smoothstep(0.35f, 0.7f, slub_field.Fbm(x, y, 1, 32, 2));
        v += 0.03f * std::sin(2 * kPi * 16 * y / kTile);
        return Ramp({shadow, base, lustre}, v);
      },
      4);
}

QImage Corduroy(Rgb base, int wales, uint32_t seed) {
  const Noise pile(seed);
  const Noise grain(seed + 1);
  return Render(
      [&](float x, float y) {
        const float u = Fract(x * static_cast<float>(wales) / kTile);
        const float rib = std::pow(std::sin(kPi * u), 0.6f);
        const float v = 0.25f + 0.65f * rib + 0.1f * pile.Fbm(x, y, 2, 4, 3) + 0.06f * grain.Grain(x, y);
        return Mix(base * 0.5f, base * 1.12f, v);
      },
      4);
}

QImage Felt(Rgb base, uint32_t seed) {
  const Noise mottle(seed);
  const Noise grain(seed + 1);
  struct Hair {
    float ax, ay, bx, by, shade;
  };
  std::vector<Hair> hairs;
  for (uint32_t k = 0; k < 110; ++k) {
    const float cx = HashUnit(seed, k, 1) * kTile;
    const float cy = HashUnit(seed, k, 2) * kTile;
    const float a = HashUnit(seed, k, 3) * kPi;
    const float h = 1 + 1.5f * HashUnit(seed, k, 4);
    hairs.push_back({cx - h * std::cos(a), cy - h * std::sin(a), cx + h * std::cos(a), cy + h * std::sin(a),
                     HashUnit(seed, k, 5) < 0.5f ? 0.86f : 1.14f});
  }
  return Render([&](float x, float y) {
    Rgb c = base * (1 + 0.06f * mottle.Fbm(x, y, 2, 2, 5, 0.7f));
    for (const Hair& h : hairs) {
      const float d = SegmentDistance(x, y, h.ax, h.ay, h.bx, h.by);
      if (d < 0.7f) c = c * (1 + (h.shade - 1) * (1 - Smoothstep(0.15f, 0.6f, d)));
    }
    return c * (1 + 0.05f * grain.Grain(x, y));
  });
}

}  // namespace tiles
