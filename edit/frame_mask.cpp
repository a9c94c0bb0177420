// The custom frame's mask operation.
#include "edit/frame_mask.h"

#include <algorithm>

void ApplyFrameMask(const QImage& mask, const QImage& picture, QImage& masked) {
  const QImage mask32 = mask.convertToFormat(QImage::Format_ARGB32);
  const QImage picture32 = picture.convertToFormat(QImage::Format_ARGB32);
  if (masked.format() != QImage::Format_ARGB32) masked = masked.convertToFormat(QImage::Format_ARGB32);
  const int width = std::min({mask32.width(), picture32.width(), masked.width()});
  const int height = std::min({mask32.height(), picture32.height(), masked.height()});
  for (int y = 0; y < height; ++y) {
    const auto* m = reinterpret_cast<const QRgb*>(mask32.constScanLine(y));
    const auto* p = reinterpret_cast<const QRgb*>(picture32.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int green = qGreen(m[x]);
      const int alpha = green == 255 ? qAlpha(p[x]) : green;
      out[x] = qRgba(qRed(p[x]), qGreen(p[x]), qBlue(p[x]), alpha);
    }
  }
}
