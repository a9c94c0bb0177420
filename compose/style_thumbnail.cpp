// The preview picture of a frame style.
#include "compose/style_thumbnail.h"

#include "compose/render_composite.h"

QImage RenderStyleThumbnail(const FrameStyle& style, const TextureList& textures) {
  QImage picture(kStyleThumbnailSide, kStyleThumbnailSide, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  RenderComposite(picture, picture, style, textures);
  return picture;
}
