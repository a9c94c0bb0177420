// Thumbnail cells: the fit with white bands, the placeholder and the broken-file glyph, and the
// choice among the cache, the embedded EXIF thumbnail and a reduced decode.
#include "browse/thumbnail_page.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "imaging/image_io.h"

QRectF ThumbnailRect(QSize picture, QSize cell) {
  if (picture.isEmpty()) return QRectF();
  const double w = picture.width();
  const double h = picture.height();
  double scale = 0.0;
  if (h >= w) {
    scale = h / cell.height();
  } else {
    scale = w / cell.width();
    if (h / scale > cell.height()) scale = h / cell.height();
  }
  const double dw = w / scale;
  const double dh = h / scale;
  return QRectF((cell.width() - dw) * 0.5, (cell.height() - dh) * 0.5, dw, dh);
}

QImage DrawThumbnailCell(const QImage& picture, QSize original_size, QSize cell) {
  QImage image(cell, QImage::Format_RGB32);
  image.fill(Qt::white);
  if (picture.isNull()) return image;
  const QSize geometry = original_size.isValid() && !original_size.isEmpty() ? original_size : picture.size();
  QPainter painter(&image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(ThumbnailRect(geometry, cell), picture, QRectF(picture.rect()));
  return image;
}

QImage BrokenThumbnailCell(QSize cell) {
  QImage image(cell, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // A small landscape picture, torn down the middle, in the middle of the cell.
  const QRectF picture(cell.width() * 0.25, cell.height() * 0.3, cell.width() * 0.5, cell.height() * 0.4);
  const double tear_x = picture.center().x();
  QPainterPath tear;
  tear.moveTo(tear_x, picture.top());
  const int zigs = 4;
  for (int i = 1; i <= zigs; ++i)
    tear.lineTo(tear_x + (i % 2 ? -3.0 : 3.0), picture.top() + picture.height() * i / zigs);
  const QColor grey(150, 150, 150);
  for (int side = 0; side < 2; ++side) {
    QPainterPath half;
    const double offset = side == 0 ? -2.0 : 2.0;
    const double outer = side == 0 ? picture.left() : picture.right();
    half.moveTo(outer + offset, picture.top());
    half.lineTo(tear_x + offset, picture.top());
    half.connectPath(tear.translated(offset, 0));
    half.lineTo(outer + offset, picture.bottom());
    half.closeSubpath();
    painter.fillPath(half, QColor(235, 235, 235));
    painter.setPen(QPen(grey, 1.2));
    painter.drawPath(half);
  }
  // A mountain and a sun, so the shape reads as a picture.
  painter.setPen(Qt::NoPen);
  painter.setBrush(grey);
  painter.drawEllipse(
      QPointF(picture.left() + picture.width() * 0.25, picture.top() + picture.height() * 0.3), 2.5, 2.5);
  QPolygonF hill({QPointF(picture.left() + 2, picture.bottom() - 2),
                  QPointF(picture.left() + picture.width() * 0.3, picture.top() + picture.height() * 0.45),
                  QPointF(tear_x - 4, picture.bottom() - 2)});
  painter.drawPolygon(hill);
  // A red cross below says that something is wrong with the file.
  painter.setPen(QPen(QColor(200, 40, 40), 2.0, Qt::SolidLine, Qt::RoundCap));
  const QPointF mark(picture.right(), picture.bottom());
  painter.drawLine(mark + QPointF(-4, -4), mark + QPointF(4, 4));
  painter.drawLine(mark + QPointF(-4, 4), mark + QPointF(4, -4));
  return image;
}

QImage PlaceholderThumbnailCell(QSize cell) {
  QImage image(cell, QImage::Format_RGB32);
  image.fill(QColor::fromRgb(kPlaceholderColour));
  return image;
}

namespace {

// Whether an embedded thumbnail is large enough: it must cover the place the picture takes in
// the cell on both axes, or the cell would show an enlarged, blurred copy.
bool Covers(QSize thumbnail, QSize original, QSize cell) {
  const QRectF place = ThumbnailRect(original, cell);
  return thumbnail.width() >= std::floor(place.width()) && thumbnail.height() >= std::floor(place.height());
}

}  // namespace

ThumbnailCell LoadThumbnailCell(const ThumbnailRequest& request, const ThumbnailCache& cache, QSize cell,
                                ThumbnailCacheEntry* later) {
  if (request.path.isEmpty()) return {DrawThumbnailCell(QImage(), QSize(), cell), false};
  const QImage cached = cache.Read(request.path);
  if (!cached.isNull()) return {DrawThumbnailCell(cached, request.original_size, cell), false};
  const LoadedImage embedded = LoadExifThumbnail(request.path);
  if (embedded.status == LoadStatus::Ok && Covers(embedded.image.size(), embedded.full_size, cell))
    return {DrawThumbnailCell(embedded.image, embedded.full_size, cell), false};
  const QImage picture = DecodeThumbnailPicture(request.path, cache, later);
  if (picture.isNull()) return {BrokenThumbnailCell(cell), true};
  return {DrawThumbnailCell(picture, request.original_size, cell), false};
}
