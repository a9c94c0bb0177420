// The live compositor.
#include "edit/live_compositor.h"

#include <QPainter>

#include "compose/colour_matrix.h"
#include "edit/frame_mask.h"

void LiveCompositor(QImage& target, CustomFrames& frames, const QImage& photo, QPoint offset,
                    const ToneMatrix& tone, const QImage& caption_layer, DisplayMode mode) {
  target.fill(Qt::white);
  ApplyFrameMask(frames.mask, frames.picture, frames.masked);
  if (!photo.isNull()) {
    const QRectF source(-offset.x(), -offset.y(), photo.width(), photo.height());
    DrawImageRect(target, QRectF(target.rect()), photo, source, tone);
  }
  QPainter painter(&target);
  painter.drawImage(QPoint(0, 0), frames.masked);
  if (mode != DisplayMode::CaptionEditing && !caption_layer.isNull())
    painter.drawImage(QPoint(0, 0), caption_layer);
}
