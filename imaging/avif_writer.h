// Writing AVIF files through libheif's AV1 encoder.
#pragma once

#include <QByteArray>
#include <QImage>

// The encoder speed: 6 of AV1's 0 (slowest, smallest) .. 9, the speed avifenc uses by default.
inline constexpr int kAvifEncoderSpeed = 6;

// Encodes image as AVIF (4:2:0, 8 bits) at quality 1..100 with an sRGB ICC profile; alpha is kept
// when a pixel is not opaque. Empty when encoding fails.
QByteArray EncodeAvif(const QImage& image, int quality);
