// The live display of the preview: the photo stretched over it and shifted by the photo offset,
// with the custom frame and the caption on top (the camera feed and the custom frames draw this way).
#pragma once

#include <QImage>
#include <QPoint>

#include "compose/display_mode.h"
#include "compose/tone_matrix.h"

// The three custom frame images, all the preview's size.
struct CustomFrames {
  QImage picture;
  QImage mask;
  QImage masked;  // rewritten from the other two on every run
};

// Draws into target (Format_ARGB32_Premultiplied): opaque white; the photo's rectangle
// (-offset.x, -offset.y, photo width, photo height) stretched over the whole target through tone
// (what lies outside the photo adds nothing); the masked frame at (0, 0); and the caption layer
// at (0, 0) unless the caption is being placed.
void LiveCompositor(QImage& target, CustomFrames& frames, const QImage& photo, QPoint offset,
                    const ToneMatrix& tone, const QImage& caption_layer, DisplayMode mode);
