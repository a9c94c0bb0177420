// The 70 x 70 preview picture of a frame style, as the template grid shows it.
#pragma once

#include <QImage>

#include "styles/frame_style.h"
#include "styles/texture_list.h"

inline constexpr int kStyleThumbnailSide = 70;

// The style's effects alone: one blank 70 x 70 picture is both the photo and the target, so the
// back colour shows where a photo would lie. Sizes are drawn as they stand, whatever Scale says.
QImage RenderStyleThumbnail(const FrameStyle& style, const TextureList& textures);
