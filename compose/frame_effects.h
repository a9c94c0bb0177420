// The frame's geometry and the six effect steps drawn on the effects canvas.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <array>

#include "compose/texture_list.h"
#include "styles/frame_style.h"

// Where everything lies on the effects canvas for a photo of W x H. All rectangles are in canvas
// pixels. With FrameInclude on the band lies over the photo's edge, off it lies around the photo.
struct FrameLayout {
  int margin = 0;  // N: BackSize when the background is on, else 0
  int band = 0;    // w: FrameSize when the band is on, else 0
  QSize photo;     // W x H
  QSize canvas;    // Wc x Hc
  QRect photo_rect;
  QRect framed_rect;  // outer edge of the band
  QRect window_rect;  // inner edge of the band (may have a negative size when the band is too wide)
  int photo_margin = 0;   // m: how far the photo lies inside the canvas edge
  int diamond_inset = 0;  // d of the diamond window
};

// The style as the renderer uses it: BackSize and FrameSize zeroed when their layer is off.
FrameStyle EffectiveStyle(const FrameStyle& style);
FrameLayout ComputeFrameLayout(QSize photo, const FrameStyle& effective);

// The drop shadow's own bitmap: the framed rectangle grown by ShadowSize on every side, its
// rounded corner length, where it lands on the canvas, and the four positions of its blend.
struct ShadowGeometry {
  QSize size;
  int corner = 0;
  QPoint position;
  std::array<float, 4> blend_positions{};
};
ShadowGeometry ComputeShadowGeometry(const FrameLayout& layout, const FrameStyle& effective);

// Draws every effect step that is switched on (and the window fill, always) onto a transparent
// canvas of layout.canvas size and returns it.
QImage RenderEffectsCanvas(const FrameLayout& layout, const FrameStyle& effective, const TextureList& textures);

// The effect steps. The painter is open on the canvas in source-copy mode with anti-aliasing.
void DrawBackground(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s, const TextureList& textures);
void DrawDropShadow(QImage& canvas, const FrameLayout& layout, const FrameStyle& s);
void DrawFrameBand(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s, const TextureList& textures);
void FillWindow(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);
void DrawStroke(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);
void DrawLine(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);

// The diamond through (Wc div 2, d), (Wc - d, Hc div 2), (Wc div 2, Hc - d), (d, Hc div 2).
void FillDiamond(QPainter& canvas, QSize canvas_size, int inset, const QBrush& brush);
void StrokeDiamond(QPainter& canvas, QSize canvas_size, int inset, int opacity, int width, std::int32_t colour);

// A brush tiling texture `index` scaled to size x size, anchored at the canvas origin; with an
// opacity (0..255) the tile is drawn through SetAlphaScale first. Qt::NoBrush when the index
// names no tile or the size is not positive.
QBrush TextureBrush(const TextureList& textures, int index, int size, int opacity = -1);
