// Small pictures and comparisons shared by the imaging I/O tests.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cstdlib>

namespace image_fixtures {

// Bytes of image in format, written by Qt's own writers: independent of the code under test.
inline QByteArray EncodeWithQt(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  return writer.write(image) ? bytes : QByteArray();
}

// 64 x 32 in four flat 32 x 16 quadrants (red, green / blue, white): aligned to JPEG's 16-pixel
// chroma blocks, so every quadrant centre survives compression nearly unchanged.
inline QImage Quadrants() {
  QImage image(64, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      image.setPixel(x, y,
                     y < 16 ? (x < 32 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                            : (x < 32 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
    }
  }
  return image;
}

// Largest channel difference between the quadrant centres of image (scaled to any size) and
// those of Quadrants().
inline int QuadrantError(const QImage& image) {
  const QImage expected = Quadrants();
  int worst = 0;
  for (const QPointF at :
       {QPointF(0.25, 0.25), QPointF(0.75, 0.25), QPointF(0.25, 0.75), QPointF(0.75, 0.75)}) {
    const QRgb got = image.pixel(int(at.x() * image.width()), int(at.y() * image.height()));
    const QRgb want = expected.pixel(int(at.x() * 64), int(at.y() * 32));
    worst = std::max({worst, std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                      std::abs(qBlue(got) - qBlue(want))});
  }
  return worst;
}

// A smooth picture, what photos and composites mostly are; no two corners alike, so a turned or
// mirrored result differs from it by about 200 levels somewhere.
inline QImage Gradient(int width = 48, int height = 32) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(
          x, y, qRgb(x * 200 / (width - 1), y * 200 / (height - 1), 128 + (x + y) * 100 / (width + height)));
    }
  }
  return image;
}

inline int ColourError(QRgb got, QRgb want) {
  return std::max({std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                   std::abs(qBlue(got) - qBlue(want))});
}

}  // namespace image_fixtures
