// The composite renderer: effects canvas laid through the blend opacity over the shrunk photo.
#include "compose/render_composite.h"

#include <QPainter>

#include "compose/colour_matrix.h"
#include "compose/frame_effects.h"

namespace {

// source_owned, when given, is released once the photo is drawn. The canvas does not depend on
// the photo, so making it after the photo is drawn gives the same picture with one frame less.
void Compose(const QImage& source, QImage* source_owned, QImage& destination, const FrameStyle& style,
             const ToneMatrix& tone, const TextureList& textures) {
  if (source.isNull() || destination.isNull()) return;
  const bool same_bitmap = source.constBits() == destination.constBits();
  if (destination.format() != QImage::Format_ARGB32_Premultiplied)
    destination = destination.convertToFormat(QImage::Format_ARGB32_Premultiplied);

  const FrameStyle s = EffectiveStyle(style);
  const FrameLayout layout = ComputeFrameLayout(source.size(), s);
  const int w = source.width(), h = source.height(), m = layout.photo_margin;
  // The back colour goes under everything, opaque, whatever BackOpacity says.
  {
    QPainter p(&destination);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRect(0, 0, layout.canvas.width(), layout.canvas.height()),
               QColor::fromRgba(StyleArgb(255, s.back_color)));
  }
  // The photo shrinks into the margin: the source rectangle reaches m pixels past every edge and
  // the outside contributes nothing. When source and destination are one bitmap, the fill above
  // has already replaced the photo with the back colour, and drawing that onto itself changes nothing.
  if (!same_bitmap)
    DrawImageRect(destination, QRectF(0, 0, w, h), source, QRectF(-m, -m, w + 2.0 * m, h + 2.0 * m), tone);
  if (source_owned) *source_owned = QImage();

  const QImage canvas = RenderEffectsCanvas(layout, s, textures);
  ToneMatrix blend;
  SetAlphaScale(s.blend_opacity, blend);
  DrawImageRect(destination, QRectF(0, 0, w, h), canvas, QRectF(0, 0, canvas.width(), canvas.height()), blend);
}

}  // namespace

void RenderComposite(const QImage& source, QImage& destination, const FrameStyle& style, const ToneMatrix& tone,
                     const TextureList& textures) {
  Compose(source, nullptr, destination, style, tone, textures);
}

void RenderCompositeConsuming(QImage&& source, QImage& destination, const FrameStyle& style, const ToneMatrix& tone,
                              const TextureList& textures) {
  QImage owned = std::move(source);
  source = QImage();
  Compose(owned, &owned, destination, style, tone, textures);
}
