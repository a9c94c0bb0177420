// Drawing the 70 x 70 thumbnails of a grid page.
#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

#include "widgets/thumbnail_cache.h"

inline constexpr QSize kCellSize(70, 70);

// Where a picture of that size is drawn in a cell: scaled to fit with its aspect ratio kept and
// centred (300 x 100 -> 70 x 23.33 at y = 23.33; 35 x 35 fills the cell). Empty for an empty size.
QRectF ThumbnailRect(QSize picture, QSize cell = kCellSize);

// A cell: opaque white, with picture drawn into ThumbnailRect(original_size); picture may be a
// smaller copy of the original (a cached thumbnail), the geometry follows the original. A null
// picture leaves the cell white.
QImage DrawThumbnailCell(const QImage& picture, QSize original_size, QSize cell = kCellSize);

// One cell to draw: the file and its pixel size as the scan read it. An empty path is a blank cell.
struct ThumbnailRequest {
  QString path;
  QSize original_size;
};

// The cells of requests in order, decoded on all cores; cached thumbnails are used and new ones
// stored (see LoadThumbnailPicture). Undecodable files give white cells.
QList<QImage> DrawThumbnailCells(const QList<ThumbnailRequest>& requests, const ThumbnailCache& cache,
                                 QSize cell = kCellSize);
