// The frame's geometry and the six effect steps drawn on the effects canvas.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "styles/frame_style.h"
#include "styles/texture_list.h"

// Where everything lies on the effects canvas for a photo of W x H. All rectangles are in canvas
// pixels. With FrameInclude on the band lies over the photo's edge, off it lies around the photo.
struct FrameLayout {
  int margin = 0;  // N: BackSize when the background is on, else 0
  int band = 0;    // w: FrameSize when the band is on, else 0
  QSize photo;     // W x H
  QSize canvas;    // Wc x Hc
  QRect photo_rect;
  QRect framed_rect;      // outer edge of the band
  QRect window_rect;      // inner edge of the band (may have a negative size when the band is too wide)
  int photo_margin = 0;   // m: how far the photo lies inside the canvas edge
  int diamond_inset = 0;  // d of the diamond window
};

// The style as the renderer uses it: BackSize and FrameSize zeroed when their layer is off.
FrameStyle EffectiveStyle(const FrameStyle& style);
// Any value of the record gives a layout without overflow: it is worked out in 64 bits and every
// coordinate is then held within +-2^30, far outside any canvas the ceiling lets through, so a
// rectangle pushed off the canvas stays off it and one turned inside out stays so.
FrameLayout ComputeFrameLayout(QSize photo, const FrameStyle& effective);

// Refuses, with a LumistoError naming the key and its value, a style whose effects canvas for a
// photo of this size, or one of whose texture tiles in use, would pass the kMaxImagePixels ceiling.
void CheckFrameLimits(QSize photo, const FrameStyle& effective);

// The drop shadow's own bitmap: the framed rectangle grown by ShadowSize on every side, its
// rounded corner length, where it lands on the canvas, and the four positions of its blend.
// In 64 bits: the shadow may reach far past the canvas, and only its part on the canvas is drawn.
struct ShadowGeometry {
  qint64 width = 0, height = 0;
  qint64 corner = 0;
  qint64 left = 0, top = 0;
  std::array<float, 4> blend_positions{};
};
ShadowGeometry ComputeShadowGeometry(const FrameLayout& layout, const FrameStyle& effective);

// Draws every effect step that is switched on (and the window fill, always) onto a transparent
// canvas of layout.canvas size and returns it.
QImage RenderEffectsCanvas(const FrameLayout& layout, const FrameStyle& effective,
                           const TextureList& textures);

// Columns [begin, end) of one canvas row; empty when begin >= end.
struct RowSpan {
  int begin = 0;
  int end = 0;
  bool operator==(const RowSpan&) const = default;
};

// The part of the canvas the window fill leaves one flat colour: inside the window shape, clear of
// its anti-aliased edge, of the stroke and of the line (with a pixel or two to spare), one span per
// canvas row. Empty when there is no window to fill.
std::vector<RowSpan> ComputeFlatArea(const FrameLayout& layout, const FrameStyle& effective);

// An effects canvas painted everywhere but deep inside its flat area: the background, shadow, band
// and window fill there would only be replaced by the fill colour, so they are skipped and those
// pixels (never touched, so their memory is never faulted in) stand for flat_colour. Every pixel
// within one pixel of a painted one is painted, so a bilinear sample that is not wholly inside the
// flat area reads only painted pixels.
struct SparseEffectsCanvas {
  QImage image;
  std::vector<RowSpan> flat;       // per canvas row, where the canvas is flat_colour
  std::vector<RowSpan> unpainted;  // per canvas row, within flat: left blank
  std::uint32_t flat_colour = 0;   // premultiplied
};
SparseEffectsCanvas RenderSparseEffectsCanvas(const FrameLayout& layout, const FrameStyle& effective,
                                              const TextureList& textures);
// Writes flat_colour into the unpainted spans: the whole canvas RenderEffectsCanvas draws.
void FillUnpainted(SparseEffectsCanvas& canvas);

// The effect steps. The painter is open on the canvas in source-copy mode with anti-aliasing.
void DrawBackground(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s,
                    const TextureList& textures);
// skip, when given, holds per canvas row the columns the shadow leaves alone.
void DrawDropShadow(QImage& canvas, const FrameLayout& layout, const FrameStyle& s,
                    const std::vector<RowSpan>* skip = nullptr);
void DrawFrameBand(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s,
                   const TextureList& textures);
void FillWindow(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);
void DrawStroke(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);
void DrawLine(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s);

// The width a pen of the style's size draws with: 0 is the thinnest pen, one pixel wide; a negative
// size draws nothing (0 returned).
int PenWidth(std::int32_t size);

// The diamond through (Wc div 2, d), (Wc - d, Hc div 2), (Wc div 2, Hc - d), (d, Hc div 2).
void FillDiamond(QPainter& canvas, QSize canvas_size, int inset, const QBrush& brush);
void StrokeDiamond(QPainter& canvas, QSize canvas_size, int inset, int opacity, int width,
                   std::int32_t colour);

// A brush tiling texture `index` scaled to size x size, anchored at the canvas origin; with an
// opacity (0..255) the tile is drawn through SetAlphaScale first. Qt::NoBrush when the index
// names no tile or the size is not positive or its square passes the pixel ceiling.
// Only the part of the tile within reach (the canvas size) is made: a tile larger than the canvas
// never repeats on it.
QBrush TextureBrush(const TextureList& textures, int index, int size, int opacity = -1,
                    QSize reach = QSize(INT_MAX, INT_MAX));
