// Writing WebP files through libwebp.
#pragma once

#include <QByteArray>
#include <QImage>

// Encodes image as WebP with an sRGB ICC profile: lossy at quality 1..99, lossless at 100; alpha is
// kept when a pixel is not opaque. Empty when encoding fails.
QByteArray EncodeWebp(const QImage& image, int quality);
