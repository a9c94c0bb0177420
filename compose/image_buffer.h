// Large image buffers that are cheap to fault in: huge pages for full-size frames.
#pragma once

#include <QImage>

// A new image of width x height, zero-filled (transparent for ARGB formats). Buffers of a
// megabyte and more come from anonymous memory advised for transparent huge pages, so touching a
// fresh 96 MB frame costs a few dozen page faults instead of tens of thousands. Null on failure.
QImage NewImage(int width, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied);
