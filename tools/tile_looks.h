// The material and pattern painters of the texture generator: each turns a look into one seamless tile.
#pragma once

#include <QImage>

#include <cstdint>
#include <utility>
#include <vector>

#include "tools/tile_canvas.h"

namespace tiles {

// ---- Natural materials (tiles_natural.cpp) ----

struct WoodLook {
  Rgb light;                    // earlywood
  Rgb dark;                     // latewood and pores
  int rings = 4;                // growth rings across the tile; whole numbers keep the grain continuous
  float meander = 3;            // how far the grain wanders, pixels
  float ring_contrast = 0.6f;   // share of the light-to-dark range a ring spans
  float ring_sharpness = 2.5f;  // above 1 keeps the dark latewood narrow
  float streaks = 0.3f;         // fine streaks along the grain
  float pores = 0;              // open-grain pores (oak, walnut)
  float curl = 0;               // curly figure: soft bands across the grain
  uint32_t seed = 1;
};
QImage Wood(const WoodLook& look);
// Strip bamboo: two strips with a glued seam and a node each.
QImage Bamboo(Rgb light, Rgb dark, uint32_t seed);

struct MarbleLook {
  Rgb base;
  Rgb cloud;   // the soft clouding over the base
  Rgb vein;    // main veins
  Rgb vein2;   // faint secondary veins
  int kx = 1;  // vein direction as whole waves across the tile
  int ky = 2;
  float turbulence = 3.5f;   // how far veins are pushed around
  float vein_width = 0.09f;  // 0..1, share of the wave that is vein
  float vein_strength = 0.8f;
  float vein2_strength = 0.35f;
  float cloud_strength = 0.5f;
  uint32_t seed = 1;
};
QImage Marble(const MarbleLook& look);

struct Mineral {
  Rgb colour;
  float weight;
};
QImage Granite(const std::vector<Mineral>& minerals, int grains, uint32_t seed);
QImage Slate(Rgb base, Rgb tint, uint32_t seed);
QImage Sandstone(Rgb light, Rgb mid, Rgb dark, uint32_t seed);
QImage Travertine(Rgb base, Rgb vein, Rgb pit, uint32_t seed);
QImage Limestone(Rgb base, Rgb fleck, uint32_t seed);

struct PaperLook {
  Rgb base;
  Rgb fibre;               // colour fibres lean towards (per fibre it varies)
  float blotch = 0.05f;    // large soft unevenness of tone
  int fibres = 20;         // fibres drawn across the tile
  float fibre_length = 6;  // pixels
  float fibre_strength = 0.3f;
  float grain = 0.02f;  // per-pixel roughness
  float specks = 0;     // share of small cells holding a coloured fleck (recycled paper)
  std::vector<Rgb> speck_colours = {};
  float tooth = 0;  // cold-press bumps (watercolour paper)
  uint32_t seed = 1;
};
QImage Paper(const PaperLook& look);
QImage Cork(uint32_t seed);

// ---- Crafted materials (tiles_crafted.cpp) ----

enum class WeaveKind { kPlain, kTwill31, kTwill22, kBasket };

struct WeaveLook {
  Rgb warp;  // vertical threads
  Rgb weft;  // horizontal threads
  Rgb gap;   // what shows between threads
  WeaveKind kind = WeaveKind::kPlain;
  int threads = 16;         // threads across the tile each way; a multiple of the weave's repeat (2 or 4)
  float thickness = 0.9f;   // thread width as a share of the pitch
  float slubs = 0;          // irregular thickness and tone along threads (linen, burlap)
  float variation = 0.06f;  // tone difference between threads
  float fuzz = 0.03f;
  std::vector<Rgb> flecks = {};  // tweed: single crossings in these colours
  float fleck_share = 0;
  uint32_t seed = 1;
};
QImage Weave(const WeaveLook& look);
QImage Grasscloth(Rgb light, Rgb dark, Rgb binder, uint32_t seed);

struct LeatherLook {
  Rgb base;
  Rgb crease;
  int cells = 9;              // pebbles across the tile
  float stretch_x = 1;        // above 1 lengthens the pebbles (crocodile scales)
  float crease_width = 1.2f;  // pixels
  float crease_depth = 0.6f;
  float relief = 0.12f;  // dome shading of each pebble
  float tone = 0.08f;
  float sheen = 0;
  uint32_t seed = 1;
};
QImage Leather(const LeatherLook& look);
QImage Suede(Rgb base, uint32_t seed);

struct MetalLook {
  Rgb shadow;
  Rgb base;
  Rgb highlight;
  float streaks = 0.5f;  // brushing: streak strength
  float sheen = 0.12f;   // broad soft highlight bands
  uint32_t seed = 1;
};
QImage BrushedMetal(const MetalLook& look);
QImage HammeredMetal(const MetalLook& look, int dents);
// Brushed metal partly covered by a patina; coverage about 0..0.4; streaky follows the brushing.
QImage PatinatedMetal(const MetalLook& look, Rgb patina, float coverage, bool streaky);

QImage Velvet(Rgb deep, Rgb base, Rgb lustre, uint32_t seed);
QImage Silk(Rgb shadow, Rgb base, Rgb lustre, float slubs, uint32_t seed);
QImage Corduroy(Rgb base, int wales, uint32_t seed);
QImage Felt(Rgb base, uint32_t seed);

// ---- Patterns (tiles_patterns.cpp) ----

// Checks of two crossing colour bands, centred on the tile edge; blend 0.5 gives gingham.
QImage Check(Rgb ground, Rgb band, int period, float blend, uint32_t seed);
QImage Checkerboard(Rgb a, Rgb b, int period, uint32_t seed);
QImage Tartan(uint32_t seed);
// Vertical stripes as (width, colour) pairs whose widths add up to the tile; the first is centred on the
// edge.
QImage Stripes(const std::vector<std::pair<float, Rgb>>& sett, uint32_t seed);
QImage Dots(Rgb ground, Rgb dot, int per_row, float radius, uint32_t seed);
QImage Herringbone(Rgb light, Rgb dark, uint32_t seed);
QImage BasketWeave(Rgb light, Rgb dark, uint32_t seed);
QImage GreekKey(Rgb ground, Rgb line, uint32_t seed);
QImage Lattice(Rgb ground, Rgb line, uint32_t seed);
QImage Stars(Rgb ground, Rgb star, uint32_t seed);
QImage Floral(Rgb ground, Rgb petal, Rgb petal2, Rgb leaf, uint32_t seed);
QImage Houndstooth(Rgb light, Rgb dark, uint32_t seed);
QImage Argyle(Rgb a, Rgb b, Rgb line, uint32_t seed);
// Square blocks of four wooden planks, alternately laid across and along.
QImage Parquet(Rgb light, Rgb dark, uint32_t seed);

}  // namespace tiles
