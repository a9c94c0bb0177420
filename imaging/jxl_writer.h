// Writing JPEG XL files through libjxl.
#pragma once

#include <QByteArray>
#include <QImage>

// Encodes image as JPEG XL in sRGB: lossy at quality 1..99 (mapped onto libjxl's distance as its
// own tool maps it), lossless at 100; alpha is kept when the image has an alpha channel. Empty
// when encoding fails.
// exif_tiff (an EXIF TIFF structure) and xmp_packet go in as "Exif" and "xml " boxes when not empty.
QByteArray EncodeJxl(const QImage& image, int quality, const QByteArray& exif_tiff = QByteArray(),
                     const QByteArray& xmp_packet = QByteArray());

// The distance of a quality 1..99: 0.1 + (100 - q) * 0.09 from quality 30 up, growing faster below.
float JxlDistanceForQuality(int quality);
