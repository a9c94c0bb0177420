// Photo folders and templates for the benchmarks.
#include "bench/bench_fixtures.h"

#include <QDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "imaging/image_io.h"

QImage CameraLikePhoto(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int n = static_cast<int>(noise & 15) - 8;
      row[x] = qRgb(40 + x * 160 / width + n, 60 + y * 150 / height + n,
                    200 - (x + y) * 140 / (width + height) + n);
    }
  }
  return image;
}

void WriteJpegOrExit(const QImage& image, const QString& path, int quality) {
  QString error;
  if (EncodeImage(image, path, QStringLiteral("image/jpeg"), quality, &error)) return;
  std::fprintf(stderr, "%s\n", qPrintable(error));
  std::exit(1);
}

FrameStyle BandStyle() {
  FrameStyle style;
  style.blend_opacity = 255;
  style.back_draw = 1;
  style.back_opacity = 255;
  style.back_size = 12;
  style.back_color = 0x40A0C0;
  style.frame_draw = 1;
  style.frame_opacity = 255;
  style.frame_size = 10;
  style.frame_color = 0x206080;
  return style;
}

void WriteTemplate(const QString& folder, const QString& name, const FrameStyle& style) {
  QDir().mkpath(folder);
  QImage picture(70, 70, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  picture.save(folder + u'/' + name + QStringLiteral(".jpg"));
  WriteFrameStyle(folder + u'/' + name + QStringLiteral(".ini"), style);
}
