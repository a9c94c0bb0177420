// The composite renderer: one photo and one frame style in, the framed picture out.
#pragma once

#include <QImage>

#include "compose/texture_list.h"
#include "edit/tone_matrix.h"
#include "styles/frame_style.h"

// Draws the framed composite of source into destination's rectangle (0, 0, W, H), W x H being the
// source's size: background margin, shadow, band, window, overlay, stroke and line on an effects
// canvas, laid through the blend opacity over the photo shrunk into the margin over opaque
// BackColor. destination must be at least W x H (32-bit); it may be the source itself.
void RenderComposite(const QImage& source, QImage& destination, const FrameStyle& style,
                     const ToneMatrix& tone = ToneMatrix::Identity(),
                     const TextureList& textures = TextureList::Shipped());

// The same for a source the caller gives up: it is released as soon as the photo has been drawn,
// before the effects canvas is made, so a full-size render holds two frames at a time, not three.
void RenderCompositeConsuming(QImage&& source, QImage& destination, const FrameStyle& style,
                              const ToneMatrix& tone = ToneMatrix::Identity(),
                              const TextureList& textures = TextureList::Shipped());
