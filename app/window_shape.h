// The window's outline from the shape bitmap, and where a drag on the drag bar moves the window.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QRgb>

// The silhouette of the pixels of bitmap whose red, green and blue differ from key: per row, from
// the first such pixel from the left to the first from the right, with every run of key pixels
// between them cut out. Rows of key colour only are cut out whole, also above the first
// non-key row. An empty region for an empty bitmap.
QRegion ShapeRegion(const QImage& bitmap, QRgb key = qRgb(255, 255, 255));

// The window's new top-left corner for a drag: the pointer moved from recorded to now (both in
// the drag bar's coordinates, which move with the window); each axis moves only when it differs.
QPoint DraggedWindowPos(QPoint window_pos, QPoint recorded, QPoint now);
