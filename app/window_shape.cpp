// Window region from a bitmap, row by row.
#include "app/window_shape.h"

#include <QList>
#include <QRect>

QRegion ShapeRegion(const QImage& bitmap, QRgb key) {
  if (bitmap.isNull()) return QRegion();
  const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const QRgb key_rgb = key & 0x00FFFFFF;
  QList<QRect> spans;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto is_key = [&](int x) { return (row[x] & 0x00FFFFFF) == key_rgb; };
    int left = 0;
    while (left < width && is_key(left)) ++left;
    if (left == width) continue;  // a row of key colour only
    int right = width - 1;
    while (is_key(right)) --right;
    // Between the two edges, the non-key runs stay; the key runs are the holes.
    int x = left;
    while (x <= right) {
      const int start = x;
      while (x <= right && !is_key(x)) ++x;
      spans.append(QRect(start, y, x - start, 1));
      while (x <= right && is_key(x)) ++x;
    }
  }
  // Spans are already sorted by row and then by x and do not overlap: exactly what setRects wants.
  QRegion region;
  region.setRects(spans.constData(), static_cast<int>(spans.size()));
  return region;
}

QPoint DraggedWindowPos(QPoint window_pos, QPoint recorded, QPoint now) {
  QPoint result = window_pos;
  if (now.x() != recorded.x()) result.rx() += now.x() - recorded.x();
  if (now.y() != recorded.y()) result.ry() += now.y() - recorded.y();
  return result;
}
