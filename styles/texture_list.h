// The 79 texture tiles of 32 x 32 pixels that fill backgrounds and frame bands.
#pragma once

#include <QImage>
#include <QList>

#include <utility>

class TextureList {
 public:
  static constexpr int kCount = 79;
  static constexpr int kTileSize = 32;

  // The shipped tiles in their fixed order, cut from the atlas compiled into the program (each call
  // cuts them anew: the caller keeps the list and hands it to the renderer). Throws LumistoError
  // when the build's atlas does not hold kCount tiles.
  static TextureList LoadShipped();

  explicit TextureList(QList<QImage> tiles) : tiles_(std::move(tiles)) {}
  int Count() const { return static_cast<int>(tiles_.size()); }
  // Tile i (Format_ARGB32_Premultiplied), or a null image when i names no tile.
  QImage Tile(int index) const { return index >= 0 && index < Count() ? tiles_[index] : QImage(); }

 private:
  QList<QImage> tiles_;
};
