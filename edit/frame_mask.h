// Cutting a custom frame picture out through its mask.
#pragma once

#include <QImage>

// Rewrites masked pixel by pixel: its colour becomes the frame picture's and its alpha the
// mask's green value, except that green 255 keeps the frame picture's own alpha. All three are
// read as unpremultiplied 32-bit ARGB; masked ends in Format_ARGB32. Only the area the three
// images share is written.
void ApplyFrameMask(const QImage& mask, const QImage& picture, QImage& masked);
