// One-page print jobs.
#include "output/print_job.h"

#include <QPainter>
#include <QPrinter>

bool PrintPicture(QPrinter& printer, const QImage& image) {
  printer.setDocName(QStringLiteral("Lumisto"));
  printer.setFromTo(1, 1);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.drawImage(QPoint(0, 0), image);
  return painter.end();
}
