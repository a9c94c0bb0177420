// A PNG file's chunk list walked before any library reads it, so that no chunk can make a reader
// allocate what the file does not hold.
#pragma once

#include <QIODevice>

// The most an ancillary chunk (text, colour profile, metadata) may declare: libpng's own default
// for one chunk, which the readers we hand files to may raise. All of them together may hold twice
// that.
inline constexpr qint64 kMaxPngAncillaryBytes = 8'000'000;
inline constexpr qint64 kMaxPngAncillaryTotal = 2 * kMaxPngAncillaryBytes;

enum class PngChunks {
  Fine,      // not a PNG, or every chunk within its limits
  TooLarge,  // an ancillary chunk above kMaxPngAncillaryBytes, or all above kMaxPngAncillaryTotal
  Cut,       // a chunk other than image data declared longer than what is left of the file
};

// Reads the 8-byte header of every chunk from the start of the device, skipping their data (never
// allocating by what a chunk declares). The device is left at 0.
PngChunks CheckPngChunks(QIODevice& device);
