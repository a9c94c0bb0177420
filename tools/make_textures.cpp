// Generates the texture atlas: 79 seamless 32 x 32 tiles of frame materials and patterns in a fixed order.
//
// Regenerate from the repository root with
//   cmake --build <build> --target make_textures && <build>/tools/make_textures assets/textures/textures.png
// The output is deterministic (fixed seeds, no clock), so an unchanged table rewrites the same pixels.
// The atlas is 10 tiles wide and 8 rows high; tile i sits at column i % 10, row i / 10, and the one cell
// after the last tile is left transparent. The order of the table below is the tile order: styles store
// tile numbers, so append new tiles rather than reorder.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <vector>

#include "tools/tile_looks.h"

using namespace tiles;

namespace {

struct TileEntry {
  const char* name;
  std::function<QImage()> paint;
};

constexpr int kColumns = 10;
constexpr int kRows = 8;

const std::vector<TileEntry>& Table() {
  // Entries are laid out by hand as a table, one tile each, so the formatter leaves them alone.
  // clang-format off
  static const std::vector<TileEntry> table = {
      // Woods
      {"oak", [] { return Wood({.light = Hex(0xC9A36B), .dark = Hex(0x8A6238), .rings = 5,
          .ring_contrast = 0.55f, .ring_sharpness = 2.2f, .pores = 0.5f, .seed = 11}); }},
      {"white oak", [] { return Wood({.light = Hex(0xD8C39A), .dark = Hex(0xA88B5E), .rings = 6,
          .ring_contrast = 0.5f, .pores = 0.45f, .seed = 12}); }},
      {"walnut", [] { return Wood({.light = Hex(0x7A5538), .dark = Hex(0x3B2416), .rings = 4, .meander = 4,
          .streaks = 0.4f, .pores = 0.3f, .seed = 13}); }},
      {"mahogany", [] { return Wood({.light = Hex(0x9A4A2E), .dark = Hex(0x5A2415), .rings = 3, .meander = 2,
          .ring_contrast = 0.45f, .streaks = 0.5f, .seed = 14}); }},
      {"cherry", [] { return Wood({.light = Hex(0xB76E4A), .dark = Hex(0x7C3D24), .rings = 4,
          .ring_contrast = 0.5f, .streaks = 0.35f, .seed = 15}); }},
      {"pine", [] { return Wood({.light = Hex(0xE3C48E), .dark = Hex(0xB07A3E), .rings = 3,
          .ring_contrast = 0.8f, .ring_sharpness = 4, .seed = 16}); }},
      {"curly maple", [] { return Wood({.light = Hex(0xEBD3A8), .dark = Hex(0xC9A26E), .rings = 4,
          .ring_contrast = 0.35f, .curl = 0.07f, .seed = 17}); }},
      {"ebony", [] { return Wood({.light = Hex(0x3A2C26), .dark = Hex(0x140E0C), .rings = 6, .streaks = 0.6f,
          .seed = 18}); }},
      {"teak", [] { return Wood({.light = Hex(0xB8874F), .dark = Hex(0x6E4A26), .rings = 5,
          .ring_contrast = 0.5f, .streaks = 0.5f, .seed = 19}); }},
      {"birch", [] { return Wood({.light = Hex(0xEEDDBB), .dark = Hex(0xCFB384), .rings = 3,
          .ring_contrast = 0.35f, .streaks = 0.2f, .seed = 20}); }},
      {"rosewood", [] { return Wood({.light = Hex(0x6E3426), .dark = Hex(0x2A1210), .rings = 7, .meander = 4,
          .ring_contrast = 0.7f, .streaks = 0.5f, .seed = 21}); }},
      {"zebrawood", [] { return Wood({.light = Hex(0xE2CC9A), .dark = Hex(0x5E4326), .rings = 6,
          .meander = 2.5f, .ring_contrast = 0.9f, .ring_sharpness = 1.2f, .seed = 22}); }},
      {"driftwood", [] { return Wood({.light = Hex(0xB9B2A6), .dark = Hex(0x6F6A62), .rings = 4,
          .ring_contrast = 0.5f, .streaks = 0.7f, .pores = 0.3f, .seed = 23}); }},
      {"bamboo", [] { return Bamboo(Hex(0xE4C98F), Hex(0x9C7440), 24); }},
      {"carbonised bamboo", [] { return Bamboo(Hex(0xB98A55), Hex(0x5F3C1E), 25); }},
      // Marbles
      {"white marble", [] { return Marble({.base = Hex(0xEDEDEA), .cloud = Hex(0xD8D9DA),
          .vein = Hex(0x8C8F94), .vein2 = Hex(0xB4B7BA), .kx = 1, .ky = 1, .vein_width = 0.1f,
          .vein_strength = 0.7f, .seed = 31}); }},
      {"black marble", [] { return Marble({.base = Hex(0x1C1C1E), .cloud = Hex(0x2E2D30),
          .vein = Hex(0xE8E6E1), .vein2 = Hex(0x8A8885), .kx = 2, .ky = 1, .turbulence = 4.5f,
          .vein_width = 0.06f, .vein_strength = 0.9f, .seed = 32}); }},
      {"green marble", [] { return Marble({.base = Hex(0x1F4A38), .cloud = Hex(0x2F6B50),
          .vein = Hex(0xCFE3D3), .vein2 = Hex(0x6FA287), .kx = 1, .ky = 1, .turbulence = 4.5f,
          .vein_width = 0.06f, .seed = 33}); }},
      {"rose marble", [] { return Marble({.base = Hex(0xE6C2B5), .cloud = Hex(0xD49F8E),
          .vein = Hex(0xA86A5E), .vein2 = Hex(0xF3DDD3), .turbulence = 4, .vein_width = 0.08f,
          .seed = 34}); }},
      {"gold-veined marble", [] { return Marble({.base = Hex(0xF2EFE8), .cloud = Hex(0xE6E0D4),
          .vein = Hex(0x9C7E52), .vein2 = Hex(0xC9B89A), .kx = 1, .ky = 1, .turbulence = 3,
          .vein_width = 0.09f, .seed = 35}); }},
      {"blue-grey marble", [] { return Marble({.base = Hex(0x8E949C), .cloud = Hex(0x6F767F),
          .vein = Hex(0x4C535C), .vein2 = Hex(0xB5BBC2), .kx = 0, .ky = 3, .vein_width = 0.12f,
          .seed = 36}); }},
      // Stones
      {"grey granite", [] { return Granite({{Hex(0x2E2E30), 0.18f}, {Hex(0x9A9A98), 0.37f}, {Hex(0xD5D3CF),
          0.33f}, {Hex(0x6C6A68), 0.12f}}, 11, 41); }},
      {"rose granite", [] { return Granite({{Hex(0xC98F7E), 0.4f}, {Hex(0xE1C9BD), 0.25f}, {Hex(0x3A3434),
          0.15f}, {Hex(0x9E8F8A), 0.2f}}, 11, 42); }},
      {"black granite", [] { return Granite({{Hex(0x151517), 0.8f}, {Hex(0x2A2A2E), 0.15f}, {Hex(0xC8A25A),
          0.05f}}, 10, 43); }},
      {"slate", [] { return Slate(Hex(0x4A525A), Hex(0x5E5A4E), 44); }},
      {"sandstone", [] { return Sandstone(Hex(0xE2C7A0), Hex(0xC9A274), Hex(0xA5784C), 45); }},
      {"travertine", [] { return Travertine(Hex(0xE3D3B8), Hex(0xCDB690), Hex(0xB39D7A), 46); }},
      {"limestone", [] { return Limestone(Hex(0xDCD6C8), Hex(0xB3AA98), 47); }},
      // Papers
      {"parchment", [] { return Paper({.base = Hex(0xEADBB8), .fibre = Hex(0xC9B58C), .blotch = 0.08f,
          .fibres = 12, .fibre_length = 7, .fibre_strength = 0.25f, .seed = 51}); }},
      {"kraft paper", [] { return Paper({.base = Hex(0xB08A5E), .fibre = Hex(0x8C6A43), .blotch = 0.04f,
          .fibres = 45, .fibre_length = 5, .fibre_strength = 0.35f, .grain = 0.05f, .seed = 52}); }},
      {"rice paper", [] { return Paper({.base = Hex(0xF3EFE6), .fibre = Hex(0xD9D0BE), .blotch = 0.03f,
          .fibres = 22, .fibre_length = 12, .fibre_strength = 0.45f, .grain = 0.01f, .seed = 53}); }},
      {"recycled paper", [] { return Paper({.base = Hex(0xD6D0C2), .fibre = Hex(0xB9B1A0), .fibres = 25,
          .fibre_length = 4, .specks = 0.18f, .speck_colours = {Hex(0x5B6C8A), Hex(0x8A5A4A), Hex(0x3A3A3A),
          Hex(0x9A8B5A)}, .seed = 54}); }},
      {"watercolour paper", [] { return Paper({.base = Hex(0xF5F2EA), .fibre = Hex(0xE4DED0), .fibres = 6,
          .tooth = 0.035f, .seed = 55}); }},
      {"cork", [] { return Cork(56); }},
      // Linens and canvases
      {"natural linen", [] { return Weave({.warp = Hex(0xB9A98A), .weft = Hex(0xC4B494), .gap = Hex(0x7F715A),
          .thickness = 0.85f, .slubs = 0.45f, .variation = 0.03f, .seed = 61}); }},
      {"white linen", [] { return Weave({.warp = Hex(0xEDE8DC), .weft = Hex(0xF2EDE2), .gap = Hex(0xBDB6A6),
          .thickness = 0.85f, .slubs = 0.4f, .variation = 0.02f, .seed = 62}); }},
      {"grey linen", [] { return Weave({.warp = Hex(0x8E8C86), .weft = Hex(0x9C9A93), .gap = Hex(0x5E5C57),
          .thickness = 0.85f, .slubs = 0.45f, .variation = 0.03f, .seed = 63}); }},
      {"artist canvas", [] { return Weave({.warp = Hex(0xE9E2D0), .weft = Hex(0xE3DBC7), .gap = Hex(0xC2B9A3),
          .thickness = 0.95f, .slubs = 0.12f, .variation = 0.03f, .seed = 64}); }},
      {"burlap", [] { return Weave({.warp = Hex(0xA88A5A), .weft = Hex(0xB49666), .gap = Hex(0x4E3B24),
          .threads = 8, .thickness = 0.72f, .slubs = 0.45f, .variation = 0.04f, .seed = 65}); }},
      {"grasscloth", [] { return Grasscloth(Hex(0xD2C29A), Hex(0xA39069), Hex(0xE2D8BE), 66); }},
      // Leathers
      {"saddle leather", [] { return Leather({.base = Hex(0x8B4E2B), .crease = Hex(0x4A2614), .cells = 14,
          .crease_width = 0.8f, .crease_depth = 0.35f, .relief = 0.08f, .tone = 0.1f, .seed = 71}); }},
      {"black leather", [] { return Leather({.base = Hex(0x2B2827), .crease = Hex(0x121111), .cells = 16,
          .crease_width = 0.8f, .crease_depth = 0.4f, .relief = 0.1f, .sheen = 0.05f, .seed = 72}); }},
      {"tan leather", [] { return Leather({.base = Hex(0xB98456), .crease = Hex(0x7A5230), .cells = 12,
          .crease_width = 0.8f, .crease_depth = 0.3f, .relief = 0.07f, .tone = 0.1f, .seed = 73}); }},
      {"oxblood leather", [] { return Leather({.base = Hex(0x5E1F1F), .crease = Hex(0x2C0D0D), .cells = 14,
          .crease_width = 0.8f, .crease_depth = 0.35f, .relief = 0.08f, .sheen = 0.04f, .seed = 74}); }},
      {"suede", [] { return Suede(Hex(0x8C7862), 75); }},
      {"crocodile leather", [] { return Leather({.base = Hex(0x4A2E1E), .crease = Hex(0x1E120B), .cells = 4,
          .stretch_x = 1.6f, .crease_width = 1.0f, .crease_depth = 0.85f, .relief = 0.25f, .sheen = 0.12f,
          .seed = 76}); }},
      // Metals
      {"brushed gold", [] { return BrushedMetal({Hex(0x8A6A2A), Hex(0xC9A24E), Hex(0xF1DC96), 0.5f, 0.12f,
          81}); }},
      {"antique gold", [] { return PatinatedMetal({Hex(0x7A5C26), Hex(0xB8923F), Hex(0xE0C47A), 0.4f, 0.06f,
          82}, Hex(0x6B5530), 0.05f, true); }},
      {"brushed silver", [] { return BrushedMetal({Hex(0x8C9096), Hex(0xC4C8CC), Hex(0xEEF0F2), 0.5f, 0.12f,
          83}); }},
      {"bronze", [] { return BrushedMetal({Hex(0x5C4020), Hex(0x9A7040), Hex(0xD1A66A), 0.45f, 0.14f,
          84}); }},
      {"copper", [] { return BrushedMetal({Hex(0x7A3E22), Hex(0xB8693F), Hex(0xE8A57A), 0.45f, 0.12f,
          85}); }},
      {"pewter", [] { return BrushedMetal({Hex(0x5E6164), Hex(0x8D9094), Hex(0xB6B9BC), 0.3f, 0.1f, 86}); }},
      {"hammered copper", [] { return HammeredMetal({Hex(0x6E3720), Hex(0xB8693F), Hex(0xF0B48A), 0.4f, 0,
          87}, 5); }},
      {"hammered silver", [] { return HammeredMetal({Hex(0x7E8288), Hex(0xC4C8CC), Hex(0xF4F6F8), 0.4f, 0,
          88}, 6); }},
      {"verdigris", [] { return PatinatedMetal({Hex(0x7A3E22), Hex(0xB8693F), Hex(0xE8A57A), 0.4f, 0.06f, 89},
          Hex(0x6FA593), 0.3f, false); }},
      // Fabrics
      {"burgundy velvet", [] { return Velvet(Hex(0x3A0C14), Hex(0x6E1C2A), Hex(0xA34456), 91); }},
      {"midnight velvet", [] { return Velvet(Hex(0x0E1530), Hex(0x22305C), Hex(0x4A5C92), 92); }},
      {"denim", [] { return Weave({.warp = Hex(0x2E4A73), .weft = Hex(0x7C8CA3), .gap = Hex(0x1B2A40),
          .kind = WeaveKind::kTwill31, .thickness = 0.95f, .slubs = 0.25f, .variation = 0.12f,
          .seed = 93}); }},
      {"tweed", [] { return Weave({.warp = Hex(0x6B5A45), .weft = Hex(0x8C7B62), .gap = Hex(0x3A3128),
          .kind = WeaveKind::kTwill22, .thickness = 0.95f, .variation = 0.1f, .flecks = {Hex(0x8A5A40),
          Hex(0x6B7358), Hex(0xCFC4A8), Hex(0x4A4550)}, .fleck_share = 0.08f, .seed = 94}); }},
      {"ivory silk", [] { return Silk(Hex(0xC9B99A), Hex(0xE9DEC6), Hex(0xFBF6EA), 0, 95); }},
      {"teal dupioni silk", [] { return Silk(Hex(0x2F5A5A), Hex(0x487C7A), Hex(0x86B5AE), 0.12f, 96); }},
      {"camel corduroy", [] { return Corduroy(Hex(0x9C7A4C), 8, 97); }},
      {"forest felt", [] { return Felt(Hex(0x3E5240), 98); }},
      // Patterns
      {"blue gingham", [] { return Check(Hex(0xF4F0E6), Hex(0x5B7A99), 8, 0.5f, 101); }},
      {"charcoal buffalo check", [] { return Check(Hex(0xE8E0CE), Hex(0x2D2D30), 16, 0.45f, 102); }},
      {"stone checkerboard", [] { return Checkerboard(Hex(0xE7E1D4), Hex(0x9A9185), 8, 103); }},
      {"tartan", [] { return Tartan(104); }},
      {"pinstripe", [] { return Stripes({{7, Hex(0x2E3136)}, {1, Hex(0xB8B4AA)}, {7, Hex(0x2E3136)}, {1,
          Hex(0xB8B4AA)}, {7, Hex(0x2E3136)}, {1, Hex(0xB8B4AA)}, {7, Hex(0x2E3136)}, {1, Hex(0xB8B4AA)}},
          105); }},
      {"regency stripe", [] {
         const Rgb sage = Hex(0x8FA38A), cream = Hex(0xEFE8D8), gold = Hex(0xC2A868);
         return Stripes({{6, sage}, {1.5f, cream}, {1, gold}, {5, cream}, {1, gold}, {1.5f, cream}, {6, sage},
          {1.5f, cream}, {1, gold}, {5, cream}, {1, gold}, {1.5f, cream}}, 106);
       }},
      {"polka dot", [] { return Dots(Hex(0x2E3A4F), Hex(0xEDE6D3), 2, 3.2f, 107); }},
      {"herringbone", [] { return Herringbone(Hex(0xA8A39A), Hex(0x4C4A47), 108); }},
      {"basket weave", [] { return BasketWeave(Hex(0xD9B77E), Hex(0x7C5A2E), 109); }},
      {"Greek key", [] { return GreekKey(Hex(0xEDE3CF), Hex(0x8C3B2A), 110); }},
      {"garden lattice", [] { return Lattice(Hex(0x7D9477), Hex(0xF1EEE4), 111); }},
      {"gold stars", [] { return Stars(Hex(0x1F2B47), Hex(0xD4B15F), 112); }},
      {"floral", [] { return Floral(Hex(0xF1EADB), Hex(0xC98A8A), Hex(0x8AA3C4), Hex(0x7F9A6E), 113); }},
      {"houndstooth", [] { return Houndstooth(Hex(0xE6E0D2), Hex(0x2B2A2E), 114); }},
      {"argyle", [] { return Argyle(Hex(0x9A9A96), Hex(0x6B2E3A), Hex(0xE9E3D3), 115); }},
      {"oak parquet", [] { return Parquet(Hex(0xD1A86E), Hex(0x8E6436), 116); }},
  };
  // clang-format on
  return table;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_textures OUTPUT.png\n");
    return 2;
  }
  const std::vector<TileEntry>& table = Table();
  if (table.size() > static_cast<size_t>(kColumns * kRows)) {
    std::fprintf(stderr, "make_textures: %zu tiles do not fit the %d x %d atlas\n", table.size(), kColumns,
                 kRows);
    return 1;
  }
  QImage atlas(kColumns * kTile, kRows * kTile, QImage::Format_ARGB32);
  atlas.fill(Qt::transparent);
  {
    QPainter painter(&atlas);
    for (size_t i = 0; i < table.size(); ++i) {
      const int column = static_cast<int>(i) % kColumns;
      const int row = static_cast<int>(i) / kColumns;
      painter.drawImage(column * kTile, row * kTile, table[i].paint());
    }
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (!atlas.save(path, "PNG")) {
    std::fprintf(stderr, "make_textures: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%zu tiles written to %s\n", table.size(), argv[1]);
  return 0;
}
