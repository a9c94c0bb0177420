// Painting helpers for the skin generator: pictures at a display scale, blurred shadows, PNG output.
#include "tools/skin_paint.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace skin {
namespace {

// One box-blur pass along rows (or columns) of a premultiplied ARGB image; three passes approach a
// Gaussian closely enough for a shadow.
void BoxBlurPass(QImage& image, int radius, bool along_rows) {
  const int width = image.width();
  const int height = image.height();
  const int lines = along_rows ? height : width;
  const int length = along_rows ? width : height;
  const int window = 2 * radius + 1;
  std::vector<QRgb> line(length);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int i) -> QRgb& {
      return along_rows ? reinterpret_cast<QRgb*>(image.scanLine(l))[i]
                        : reinterpret_cast<QRgb*>(image.scanLine(i))[l];
    };
    for (int i = 0; i < length; ++i) line[i] = at(i);
    int sum[4] = {0, 0, 0, 0};
    auto add = [&](int i, int sign) {
      if (i < 0 || i >= length) return;  // outside the image counts as transparent
      const QRgb p = line[i];
      sum[0] += sign * qAlpha(p);
      sum[1] += sign * qRed(p);
      sum[2] += sign * qGreen(p);
      sum[3] += sign * qBlue(p);
    };
    for (int i = -radius; i <= radius; ++i) add(i, 1);
    for (int i = 0; i < length; ++i) {
      at(i) = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
      add(i - radius, -1);
      add(i + radius + 1, 1);
    }
  }
}

}  // namespace

QImage RenderPicture(QSize logical_size, qreal scale, const PaintFunction& paint, const QColor& background) {
  QImage image(logical_size * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(background);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
  painter.scale(scale, scale);
  paint(painter, scale);
  painter.end();
  return image;
}

void SoftShadow(QPainter& painter, qreal scale, const QPainterPath& path, qreal blur, QPointF offset,
                const QColor& colour) {
  const int radius = std::max(1, qRound(blur * scale / 2));  // three passes of r spread about 2r
  const QRectF logical =
      path.boundingRect().translated(offset).adjusted(-2 * blur, -2 * blur, 2 * blur, 2 * blur);
  const QRect device = QRectF(logical.topLeft() * scale, logical.size() * scale).toAlignedRect();
  QImage mask(device.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter mask_painter(&mask);
    mask_painter.setRenderHint(QPainter::Antialiasing);
    mask_painter.translate(-device.topLeft());
    mask_painter.scale(scale, scale);
    mask_painter.translate(offset);
    mask_painter.fillPath(path, colour);
  }
  for (int pass = 0; pass < 3; ++pass) {
    BoxBlurPass(mask, radius, true);
    BoxBlurPass(mask, radius, false);
  }
  painter.save();
  painter.setTransform(QTransform());
  painter.drawImage(device.topLeft(), mask);
  painter.restore();
}

QPainterPath RoundedRect(const QRectF& rect, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

void WritePng(const QImage& image, const QString& path) {
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "make_skin: cannot write %s\n", qPrintable(path));
    std::exit(1);
  }
}

}  // namespace skin
