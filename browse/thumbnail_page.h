// Drawing the 70 x 70 thumbnail cells of a grid page: the fitted picture, the placeholder shown
// while it loads and the glyph of a file that cannot be decoded.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "browse/thumbnail_cache.h"

inline constexpr QSize kCellSize(70, 70);

// Where a picture of that size is drawn in a cell: scaled to fit with its aspect ratio kept and
// centred (300 x 100 -> 70 x 23.33 at y = 23.33; 35 x 35 fills the cell). Empty for an empty size.
QRectF ThumbnailRect(QSize picture, QSize cell = kCellSize);

// A cell: opaque white, with picture drawn into ThumbnailRect(original_size); picture may be a
// smaller copy of the original (a cached thumbnail), the geometry follows the original. A null
// picture leaves the cell white.
QImage DrawThumbnailCell(const QImage& picture, QSize original_size, QSize cell = kCellSize);

// The cell of a file that cannot be decoded: white with a torn-picture glyph in grey and red.
QImage BrokenThumbnailCell(QSize cell = kCellSize);
// The quiet cell shown while a thumbnail is being prepared: a pale even fill.
QImage PlaceholderThumbnailCell(QSize cell = kCellSize);
inline constexpr QRgb kPlaceholderColour = 0xFFF1F4EC;

// One cell to draw: the file and its pixel size as the scan read it. An empty path is a blank cell.
struct ThumbnailRequest {
  QString path;
  QSize original_size;
};

// What a cell shows for one file; broken when the file cannot be decoded.
struct ThumbnailCell {
  QImage image;
  bool broken = false;
};

// The cell of one file, from the cheapest source that serves it: the shared cache; else the
// thumbnail embedded in the JPEG's EXIF block when it covers the picture's place in the cell; else
// the photo decoded at reduced scale (which stores a new cache entry, or hands it to later to be
// stored after the cell is shown). Safe on any thread.
ThumbnailCell LoadThumbnailCell(const ThumbnailRequest& request, const ThumbnailCache& cache,
                                QSize cell = kCellSize, ThumbnailCacheEntry* later = nullptr);
