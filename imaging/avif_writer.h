// Writing AVIF files through libheif's AV1 encoder.
#pragma once

#include <QByteArray>
#include <QImage>

// The encoder speed: 6 of AV1's 0 (slowest, smallest) .. 9, the speed avifenc uses by default.
inline constexpr int kAvifEncoderSpeed = 6;

// Encodes image as AVIF (4:2:0, 8 bits) at quality 1..100, described as sRGB; alpha is kept when a
// pixel is not opaque. exif_tiff (an EXIF TIFF structure) and xmp_packet go in as the image's
// metadata items when not empty. Empty when encoding fails.
QByteArray EncodeAvif(const QImage& image, int quality, const QByteArray& exif_tiff = QByteArray(),
                      const QByteArray& xmp_packet = QByteArray());
