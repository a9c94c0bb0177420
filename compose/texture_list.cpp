// Placeholder texture tiles.
#include "compose/texture_list.h"

const TextureList& TextureList::Shipped() {
  static const TextureList list = [] {
    QList<QImage> tiles;
    for (int i = 0; i < kCount; ++i) {
      QImage tile(kTileSize, kTileSize, QImage::Format_ARGB32_Premultiplied);
      tile.fill(QColor::fromHsv((i * 37) % 360, 120, 200));
      tiles.append(tile);
    }
    return TextureList(tiles);
  }();
  return list;
}
