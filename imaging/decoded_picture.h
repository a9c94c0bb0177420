// What a codec hands to the loader: pixels before colour conversion, the size, the verdict, the profile.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "imaging/image_io.h"

struct DecodedPicture {
  QImage image;  // Format_ARGB32 (straight alpha) or Format_RGB32; null unless status is Ok
  LoadStatus status = LoadStatus::Undecodable;
  QSize full_size;         // the whole picture's upright size (known also for reduced decodes, TooLarge)
  QByteArray icc_profile;  // the profile the pixels are in; empty: sRGB
};

// The largest file of the formats read whole into memory (a photo under the pixel ceiling stays far
// below it); a larger file is refused as too large.
inline constexpr qint64 kMaxCodecFileBytes = qint64{1} << 30;

inline DecodedPicture FailedPicture(LoadStatus status, QSize full_size = QSize()) {
  DecodedPicture result;
  result.status = status;
  result.full_size = full_size;
  return result;
}

inline bool AbovePixelCeiling(qint64 width, qint64 height) {
  return width <= 0 || height <= 0 || width > kMaxImagePixels || height > kMaxImagePixels ||
         width * height > kMaxImagePixels;
}
