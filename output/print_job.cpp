// One-page print jobs.
#include "output/print_job.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

QRect PrintedPictureRect(QSize image_size, QSize area) {
  if (image_size.isEmpty()) return QRect();
  if (area.isEmpty() || (image_size.width() <= area.width() && image_size.height() <= area.height()))
    return QRect(QPoint(0, 0), image_size);
  // Larger than the page: a corner of it would be all that prints.
  return QRect(QPoint(0, 0), image_size.scaled(area, Qt::KeepAspectRatio));
}

bool PrintPicture(QPrinter& printer, const QImage& image) {
  printer.setDocName(QStringLiteral("GdiplusPrint"));
  printer.setFromTo(1, 1);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // The printable area in whole device pixels, rounded down: the picture never passes the page's
  // margin by the part of a pixel the device's own size rounds up.
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
  const double pixels_per_point = printer.resolution() / 72.0;
  const QRect target =
      PrintedPictureRect(image.size(), QSize(static_cast<int>(area.width() * pixels_per_point),
                                             static_cast<int>(area.height() * pixels_per_point)));
  if (target.size() == image.size()) {
    painter.drawImage(target.topLeft(), image);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
  }
  return painter.end();
}
