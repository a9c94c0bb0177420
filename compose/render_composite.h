// The composite renderer: one photo and one frame style in, the framed picture out.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

#include "compose/colour_matrix.h"
#include "compose/frame_effects.h"
#include "compose/tone_matrix.h"
#include "styles/frame_style.h"
#include "styles/texture_list.h"

// Draws the framed composite of source into destination's rectangle (0, 0, W, H), W x H being the
// source's size: background margin, shadow, band, window, overlay, stroke and line on an effects
// canvas, laid through the blend opacity over the photo shrunk into the margin over opaque
// BackColor. destination must be at least W x H (32-bit); it may be the source itself.
// textures are the tiles the style's texture indexes name.
void RenderComposite(const QImage& source, QImage& destination, const FrameStyle& style,
                     const TextureList& textures, const ToneMatrix& tone = ToneMatrix::Identity());

// The effects canvas of the composite of a photo of photo_size. It depends on nothing else, so a
// full-size render can make it while the photo is still being decoded.
SparseEffectsCanvas PrepareEffectsCanvas(QSize photo_size, const FrameStyle& style,
                                         const TextureList& textures);

// One composite drawn a row at a time, each row exactly as RenderComposite draws it, so a band of
// rows can be written out while the next one is drawn. Reads the source's pixels where they lie
// (an image made over another's memory must stay valid meanwhile) and owns the canvas; DrawRow may
// run on several threads at once.
class CompositeRows {
 public:
  // photo_size is the source's size, given apart for a null source, which draws no photo (the
  // source-is-destination case). A source less tall than photo_size holds a window of the photo's
  // rows cyclically (row y at scan line y modulo its height), as a streaming decoder fills it. canvas should
  // come from PrepareEffectsCanvas for that size and this style; it is remade here when its size does not
  // fit.
  CompositeRows(const QImage& source, QSize photo_size, const FrameStyle& style, const ToneMatrix& tone,
                SparseEffectsCanvas canvas, const TextureList& textures);
  CompositeRows(const CompositeRows&) = delete;
  CompositeRows& operator=(const CompositeRows&) = delete;

  // W x H of the composite, and Wc x Hc of the back colour's fill (never smaller).
  QSize Size() const { return size_; }
  QSize CanvasSize() const { return canvas_size_; }

  // How many rows of the source, from the top, composite rows [0, row_end) read.
  int SourceRowsFor(int row_end) const { return photo_ ? photo_->SourceRowsFor(row_end) : 0; }
  // The first row of the source composite rows from row on read: those above are read no more.
  int FirstSourceRowFrom(int row) const { return photo_ ? photo_->FirstSourceRowFrom(row) : size_.height(); }

  // Draws composite row y into line: the back colour over columns [0, fill_end), then the photo
  // and the effects canvas over [0, W) when y < H.
  void DrawRow(int y, std::uint32_t* line, int fill_end) const;
  // Draws every row into destination (Format_ARGB32_Premultiplied, at least W x H) on all cores:
  // the back colour over its (0, 0, Wc, Hc), the photo and the canvas over (0, 0, W, H).
  void DrawInto(QImage& destination) const;

 private:
  QSize size_;
  QSize canvas_size_;
  std::uint32_t back_ = 0;
  SparseEffectsCanvas canvas_;
  std::unique_ptr<ImageRectSampler> photo_;
  std::unique_ptr<ImageRectSampler> effects_;
  std::uint32_t flat_pixel_ = 0;  // the flat canvas colour through the blend opacity
};
