// Where the texture picker lays its tiles: seven to a row at a 33-pixel pitch.
#pragma once

#include <QPoint>

inline constexpr int kPaletteColumns = 7;
inline constexpr int kPalettePitch = 33;

// The top-left corner of tile index in the picker's scroll box; the selection frame goes there too.
constexpr QPoint PaletteTileOrigin(int index) {
  return QPoint((index % kPaletteColumns) * kPalettePitch, (index / kPaletteColumns) * kPalettePitch);
}
