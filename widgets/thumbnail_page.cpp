// Thumbnail cells: the fit with white bands, a page at a time on every core.
#include "widgets/thumbnail_page.h"

#include <QPainter>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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

QList<QImage> DrawThumbnailCells(const QList<ThumbnailRequest>& requests, const ThumbnailCache& cache,
                                 QSize cell) {
  const qsizetype count = requests.size();
  std::vector<QImage> cells(static_cast<std::size_t>(count));
  std::atomic<qsizetype> next{0};
  const auto work = [&] {
    for (qsizetype i = next++; i < count; i = next++) {
      const ThumbnailRequest& request = requests[i];
      const QImage picture = request.path.isEmpty() ? QImage() : LoadThumbnailPicture(request.path, cache);
      cells[static_cast<std::size_t>(i)] = DrawThumbnailCell(picture, request.original_size, cell);
    }
  };
  // Decoding dominates; one helper thread per further core shares the page with this thread.
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int helpers = static_cast<int>(std::min<qsizetype>(cores, count)) - 1;
  std::vector<std::thread> threads;
  for (int t = 0; t < helpers; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  return QList<QImage>(cells.begin(), cells.end());
}
