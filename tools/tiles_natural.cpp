// Woods, marbles, stones and papers for the texture generator.
#include <algorithm>
#include <cmath>

#include "tools/tile_looks.h"

namespace tiles {

QImage Wood(const WoodLook& look) {
  const Noise meander(look.seed);
  const Noise streaks(look.seed + 1);
  const Noise pores(look.seed + 2);
  const Noise tone(look.seed + 3);
  return Render([&](float x, float y) {
    const float t = (y + look.meander * meander.Fbm(x, y, 1, 2, 3)) * static_cast<float>(look.rings) / kTile;
    // Latewood darkens slowly, then the next year's earlywood starts light again within about a pixel.
    constexpr float kSoft = 0.12f;
    const float band = Fract(t);
    const float ring =
        band < 1 - kSoft ? std::pow(band / (1 - kSoft), look.ring_sharpness) : (1 - band) / kSoft;
    float v = look.ring_contrast * ring + look.streaks * 0.5f * streaks.Fbm(x, y, 1, 32, 2) +
              0.12f * tone.Fbm(x, y, 1, 1, 2);
    // Curly figure: irregular soft bands across the grain.
    if (look.curl > 0) v += look.curl * std::sin(2 * kPi * 5 * x / kTile + 3 * tone.Fbm(x, y, 2, 1, 3));
    Rgb c = Mix(look.light, look.dark, std::clamp(v, -0.3f, 1.1f));
    if (look.pores > 0) {
      const float p = Smoothstep(0.35f, 0.7f, pores.Gradient(x, y, 5, 32));
      c = Mix(c, look.dark * 0.7f, p * look.pores);
    }
    return c;
  });
}

QImage Bamboo(Rgb light, Rgb dark, uint32_t seed) {
  const Noise fibres(seed);
  const Noise tone(seed + 1);
  return Render([&](float x, float y) {
    // Two 16-pixel strips; the seams sit at y 12 and 28, away from the tile edge.
    const float sy = y + 4;
    const int strip = static_cast<int>(std::floor(sy / 16)) & 1;
    const float local = sy - 16 * std::floor(sy / 16);
    const float strip_tone = strip == 0 ? 0.0f : 0.12f;
    float v = 0.25f + strip_tone + 0.35f * fibres.Fbm(x, y, 1, 32, 2) + 0.1f * tone.Fbm(x, y, 2, 2, 2);
    // A node: a short dark lens across the middle of the strip with a pale rim either side.
    const float node_x = strip == 0 ? 9.0f : 25.0f;
    const float d = std::abs(WrapDelta(x - node_x));
    const float lens = 1 - Smoothstep(3.0f, 6.5f, std::abs(local - 8));
    v += lens * (0.45f * (1 - Smoothstep(0.3f, 1.2f, d)) -
                 0.12f * Smoothstep(0.8f, 1.4f, d) * (1 - Smoothstep(1.4f, 2.6f, d)));
    // The glued seam between strips.
    const float seam = 1 - Smoothstep(0.2f, 0.7f, std::min(local, 16 - local));
    v += 0.45f * seam;
    return Mix(light, dark, std::clamp(v, 0.0f, 1.0f));
  });
}

QImage Marble(const MarbleLook& look) {
  const Noise warp(look.seed);
  const Noise turbulence(look.seed + 1);
  const Noise fade(look.seed + 2);
  const Noise cloud(look.seed + 3);
  const Noise crackle(look.seed + 4);
  return Render(
      [&](float x, float y) {
        // Coordinates pushed around by periodic noise stay periodic, so the warped veins still wrap.
        const float wx = x + 3 * warp.Fbm(x, y, 1, 1, 2);
        const float wy = y + 3 * warp.Fbm(x + 16, y, 1, 1, 2);
        // Whole waves across the tile (kx, ky) keep the veins continuous over the edges.
        const float phase = 2 * kPi * static_cast<float>(look.kx * x + look.ky * y) / kTile +
                            look.turbulence * turbulence.Fbm(wx, wy, 1, 1, 4, 0.5f);
        const float v = std::abs(std::sin(phase));
        // Veins swell, thin out and vanish along their length.
        const float width =
            look.vein_width * (0.25f + 1.5f * Smoothstep(-0.4f, 0.6f, fade.Fbm(x, y, 2, 2, 2)));
        const float vein = 1 - Smoothstep(0, width, v);
        const float halo = 1 - Smoothstep(0, width * 6, v);
        const float c2 = std::abs(crackle.Fbm(wx, wy, 2, 2, 3));
        const float vein2 =
            (1 - Smoothstep(0.0f, 0.04f, c2)) * Smoothstep(0.1f, 0.6f, fade.Fbm(x + 8, y, 2, 2, 2));
        Rgb c = Mix(look.base, look.cloud,
                    look.cloud_strength * Smoothstep(-0.6f, 0.7f, cloud.Fbm(wx, wy, 2, 2, 4)));
        c = Mix(c, look.vein2, look.vein2_strength * vein2);
        c = Mix(c, look.vein, look.vein_strength * (0.7f * vein + 0.3f * halo));
        return c;
      },
      4);
}

QImage Granite(const std::vector<Mineral>& minerals, int grains, uint32_t seed) {
  const Noise coarse(seed);
  const Noise fine(seed + 1);
  const Noise grain(seed + 2);
  float total = 0;
  for (const Mineral& m : minerals) total += m.weight;
  auto pick = [&](uint32_t id) {
    float r = HashUnit(id) * total;
    for (const Mineral& m : minerals) {
      if (r < m.weight) return m.colour;
      r -= m.weight;
    }
    return minerals.back().colour;
  };
  return Render([&](float x, float y) {
    const Noise::Cell a = coarse.Cellular(x, y, grains, grains, 0.95f);
    const Noise::Cell b = fine.Cellular(x, y, grains * 2, grains * 2, 0.95f);
    // Small crystals lie over the large ones where their own random draw says so.
    const bool small_on_top = HashUnit(b.id, 9) < 0.45f;
    Rgb c = small_on_top ? pick(b.id) : pick(a.id);
    c = c * (0.92f + 0.16f * HashUnit(small_on_top ? b.id : a.id, 5));
    c = c * (1 + 0.05f * grain.Grain(x, y));
    return c;
  });
}

QImage Slate(Rgb base, Rgb tint, uint32_t seed) {
  const Noise layers(seed);
  const Noise mottle(seed + 1);
  const Noise clefts(seed + 2);
  const Noise grain(seed + 3);
  return Render([&](float x, float y) {
    Rgb c = base * (0.92f + 0.14f * layers.Fbm(x, y, 1, 8, 3));
    c = Mix(c, tint, 0.35f * Smoothstep(0.05f, 0.6f, mottle.Fbm(x, y, 2, 2, 3)));
    const float cleft = 1 - Smoothstep(0.0f, 0.07f, std::abs(clefts.Fbm(x, y, 1, 6, 2)));
    c = c * (1 + 0.18f * cleft);
    return c * (1 + 0.035f * grain.Grain(x, y));
  });
}

QImage Sandstone(Rgb light, Rgb mid, Rgb dark, uint32_t seed) {
  const Noise warp(seed);
  const Noise grain(seed + 1);
  const Noise specks(seed + 2);
  return Render([&](float x, float y) {
    const float bands = std::sin(2 * kPi * (2 * y + x) / kTile + 2.2f * warp.Fbm(x, y, 2, 2, 4));
    Rgb c = Ramp({light, mid, dark}, 0.45f + 0.3f * bands + 0.15f * warp.Fbm(x + 11, y, 4, 4, 2));
    const Noise::Cell s = specks.Cellular(x, y, 12, 12);
    if (HashUnit(s.id) < 0.25f) c = Mix(c, dark * 0.7f, 0.5f * (1 - Smoothstep(0.3f, 0.7f, s.f1)));
    return c * (1 + 0.07f * grain.Grain(x, y));
  });
}

QImage Travertine(Rgb base, Rgb vein, Rgb pit, uint32_t seed) {
  const Noise layers(seed);
  const Noise pits(seed + 1);
  const Noise grain(seed + 2);
  return Render([&](float x, float y) {
    const float l = layers.Fbm(x, y, 1, 8, 4, 0.6f);
    Rgb c = Mix(base, vein, Smoothstep(-0.1f, 0.6f, l) * 0.6f);
    // Elongated pits: stretched cells, only some of which hold a hole.
    const Noise::Cell cell = pits.Cellular(x, y, 3, 8, 0.8f, 2.6f);
    const float radius = 0.4f + 0.9f * HashUnit(cell.id, 1);
    if (HashUnit(cell.id, 2) < 0.45f) {
      const float inside = 1 - Smoothstep(radius - 0.4f, radius + 0.2f, cell.f1);
      // The lower lip of a pit catches the light, the upper one is in shade.
      const float lip = cell.dy > 0 ? 0.9f : 1.0f;
      c = Mix(c, pit * lip, inside * 0.7f);
    }
    return c * (1 + 0.03f * grain.Grain(x, y));
  });
}

QImage Limestone(Rgb base, Rgb fleck, uint32_t seed) {
  const Noise mottle(seed);
  const Noise flecks(seed + 1);
  const Noise grain(seed + 2);
  return Render([&](float x, float y) {
    Rgb c = base * (0.95f + 0.07f * mottle.Fbm(x, y, 2, 2, 4, 0.6f));
    const Noise::Cell f = flecks.Cellular(x, y, 10, 10);
    const float share = HashUnit(f.id);
    if (share < 0.3f) c = Mix(c, fleck, 0.6f * (1 - Smoothstep(0.2f, 0.8f, f.f1)));
    if (share > 0.9f) c = Mix(c, base * 1.08f, 1 - Smoothstep(0.4f, 1.1f, f.f1));
    return c * (1 + 0.025f * grain.Grain(x, y));
  });
}

namespace {

struct Fibre {
  float ax, ay, bx, by;
  float strength;
  Rgb colour;
};

std::vector<Fibre> ScatterFibres(const PaperLook& look) {
  std::vector<Fibre> fibres;
  for (int i = 0; i < look.fibres; ++i) {
    const uint32_t k = static_cast<uint32_t>(i);
    const float cx = HashUnit(look.seed, k, 1) * kTile;
    const float cy = HashUnit(look.seed, k, 2) * kTile;
    const float angle = HashUnit(look.seed, k, 3) * kPi;
    const float half = look.fibre_length * (0.5f + 0.5f * HashUnit(look.seed, k, 4)) / 2;
    const float shade = HashUnit(look.seed, k, 5);
    // Some fibres are lighter than the sheet, most a little darker.
    const Rgb colour = shade < 0.3f ? Mix(look.base, Rgb{1, 1, 1}, 0.6f) : look.fibre;
    fibres.push_back({cx - half * std::cos(angle), cy - half * std::sin(angle), cx + half * std::cos(angle),
                      cy + half * std::sin(angle),
                      look.fibre_strength * (0.4f + 0.6f * HashUnit(look.seed, k, 6)), colour});
  }
  return fibres;
}

}  // namespace

QImage Paper(const PaperLook& look) {
  const Noise blotch(look.seed);
  const Noise specks(look.seed + 1);
  const Noise tooth(look.seed + 2);
  const Noise grain(look.seed + 3);
  const std::vector<Fibre> fibres = ScatterFibres(look);
  return Render([&](float x, float y) {
    Rgb c = look.base * (1 + look.blotch * blotch.Fbm(x, y, 2, 2, 4, 0.6f));
    for (const Fibre& f : fibres) {
      const float d = SegmentDistance(x, y, f.ax, f.ay, f.bx, f.by);
      if (d < 1) c = Mix(c, f.colour, f.strength * (1 - Smoothstep(0.15f, 0.65f, d)));
    }
    if (look.specks > 0) {
      const Noise::Cell s = specks.Cellular(x, y, 8, 8);
      if (HashUnit(s.id) < look.specks) {
        const Rgb colour = look.speck_colours[Hash(s.id, 7) % look.speck_colours.size()];
        c = Mix(c, colour, 0.8f * (1 - Smoothstep(0.35f, 0.75f, s.f1)));
      }
    }
    if (look.tooth > 0) {
      // Bumps lit from the upper left: the side facing away from the light is darker.
      const Noise::Cell t = tooth.Cellular(x, y, 9, 9);
      const float slope = -(t.dx + t.dy) / 3.6f;
      c = c * (1 + look.tooth * slope - look.tooth * 0.6f * (1 - Smoothstep(0, 0.9f, t.f2 - t.f1)));
    }
    return c * (1 + look.grain * grain.Grain(x, y));
  });
}

QImage Cork(uint32_t seed) {
  const Noise granules(seed);
  const Noise small(seed + 1);
  const Noise grain(seed + 2);
  const Rgb light = Hex(0xCFA577);
  const Rgb mid = Hex(0xB0804F);
  const Rgb dark = Hex(0x6E4526);
  return Render([&](float x, float y) {
    const Noise::Cell a = granules.Cellular(x, y, 9, 9, 0.9f);
    Rgb c = Ramp({light, mid, dark}, 0.15f + 0.6f * HashUnit(a.id));
    c = Mix(c, dark * 0.8f, 0.7f * (1 - Smoothstep(0, 0.8f, a.f2 - a.f1)));
    const Noise::Cell b = small.Cellular(x, y, 16, 16);
    if (HashUnit(b.id) < 0.2f) c = Mix(c, dark * 0.6f, 1 - Smoothstep(0.2f, 0.6f, b.f1));
    return c * (1 + 0.05f * grain.Grain(x, y));
  });
}

}  // namespace tiles
