// Scaling a picture to another size on the shared work pool.
#pragma once

#include <QImage>
#include <QSize>

// image (any format; 32-bit premultiplied and opaque ones are read as they are) scaled to size,
// each axis on its own: where it shrinks, an output pixel is the average of the source area it
// covers (partly covered source pixels by their share); where it grows or keeps its length, the
// two nearest source pixels blended by distance, the edge pixels repeated beyond the edge. Weights
// are fixed-point fractions of 16384 summing to 16384 exactly; the horizontal pass keeps 7 more
// bits, the vertical pass rounds to the nearest level. Format_ARGB32_Premultiplied out (a colour
// never exceeds its alpha); null when size is empty or the memory cannot be had. Runs on the
// caller and idle pool threads, never on Qt's own thread pool.
QImage ScaleImage(const QImage& image, QSize size);
