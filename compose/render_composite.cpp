// Placeholder renderer: the photo over its back colour.
#include "compose/render_composite.h"

#include <QPainter>

void RenderComposite(const QImage& source, QImage& destination, const FrameStyle& style, const ToneMatrix&,
                     const TextureList&) {
  const QImage photo = source.copy();
  QPainter p(&destination);
  p.fillRect(QRect(0, 0, source.width(), source.height()), QColor::fromRgb(StyleArgb(255, style.back_color)));
  p.drawImage(QRect(0, 0, source.width(), source.height()), photo);
}
