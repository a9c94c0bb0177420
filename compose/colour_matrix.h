// Drawing images through a 5 x 5 colour matrix, and the opacity matrix of SetAlphaScale.
#pragma once

#include <QImage>
#include <QRectF>
#include <cstdint>
#include <vector>

#include "compose/tone_matrix.h"

// The alpha factor an opacity 0..255 stands for: floor(v x 100 / 255) x 0.01 (255 -> 1.00,
// 127 -> 0.49, 0 -> 0).
float AlphaScaleFactor(int opacity);

// Loads the identity with the alpha-to-alpha element set to AlphaScaleFactor(opacity).
void SetAlphaScale(int opacity, ToneMatrix& attributes);

// Draws the area src_rect of source, scaled into dest_rect of target, blended over what target
// holds (source-over), each sample passed through matrix: the row vector (R, G, B, A, 1) of
// unpremultiplied components 0..1 times the matrix, clamped. src_rect may reach outside the
// image: the outside contributes nothing. Bilinear sampling; partially covered edge pixels of
// dest_rect get their share. The identity and pure alpha scales take fast paths. target must be
// Format_ARGB32_Premultiplied; source any format (32-bit formats are read without conversion).
void DrawImageRect(QImage& target, const QRectF& dest_rect, const QImage& source, const QRectF& src_rect,
                   const ToneMatrix& matrix = ToneMatrix::Identity());

// Applies matrix to every pixel of image in place (Format_ARGB32_Premultiplied).
void ApplyColourMatrix(QImage& image, const ToneMatrix& matrix);

// One DrawImageRect mapping prepared once and applied a target row at a time, so a caller can
// interleave it with other per-row work; DrawImageRect is this over every row. The source must
// outlive the sampler.
// What a colour matrix does: nothing, only scale alpha, or anything else.
enum class MatrixKind { Identity, AlphaScale, General };
MatrixKind KindOf(const ToneMatrix& m);

class ImageRectSampler {
 public:
  // source_height, when larger than the source's own height, is the height of the picture the
  // source holds a window of: its row y lies at scan line y modulo the source's height (a decoder
  // filling a few rows over and over). Only the rows SourceRowsFor names may be read then.
  ImageRectSampler(QSize target_size, const QRectF& dest_rect, const QImage& source, const QRectF& src_rect,
                   const ToneMatrix& matrix = ToneMatrix::Identity(), int source_height = 0);

  // The target rows [RowBegin, RowEnd) and columns [ColumnBegin, ColumnEnd) the mapping writes;
  // empty when it draws nothing.
  bool Empty() const { return empty_; }
  int RowBegin() const { return y_first_; }
  int RowEnd() const { return y_first_ + static_cast<int>(rows_.size()); }
  int ColumnBegin() const { return x_first_; }
  int ColumnEnd() const { return x_first_ + static_cast<int>(cols_.size()); }

  // Blends target row y (RowBegin <= y < RowEnd), columns [x_begin, x_end) cut to the written
  // columns, over line, which holds that target row with column 0 at line[0].
  void BlendRow(int y, std::uint32_t* line, int x_begin, int x_end) const;

  // The two source rows (or columns) that target row y (column x) samples, and whether that
  // target pixel lies wholly inside dest_rect on that axis. Source indexes may be out of range.
  struct Taps {
    int first, second;
    bool full;
  };
  Taps RowTaps(int y) const;
  Taps ColumnTaps(int x) const;

  // How many source rows, from the top, the target rows [RowBegin, row_end) read: 0..source height.
  int SourceRowsFor(int row_end) const;
  // The first source row target rows from row on read (the source height when they read none).
  int FirstSourceRowFrom(int row) const;

  // What BlendRow lays over the target for a wholly covered pixel whose four samples all equal
  // this premultiplied pixel: the pixel through the matrix.
  std::uint32_t FlatPixel(std::uint32_t premultiplied) const;

 private:
  struct Tap {
    int i0, i1;
    std::uint32_t f;    // 0..256, weight of i1
    std::uint32_t cov;  // 0..256, share of the target pixel inside dest_rect
  };
  static std::vector<Tap> MakeTaps(int first, int count, double dest_origin, double dest_size,
                                   double src_origin, double src_size, int image_size);

  const std::uint32_t* SourceRow(int y) const {
    return reinterpret_cast<const std::uint32_t*>(
        source_.constScanLine(held_rows_ < height_ ? y % held_rows_ : y));
  }

  QImage source_;
  int height_ = 0;     // the source picture's height
  int held_rows_ = 0;  // the rows source_ holds: height_, or fewer held cyclically
  ToneMatrix matrix_;
  MatrixKind kind_ = MatrixKind::Identity;
  std::uint32_t alpha256_ = 256;
  bool opaque_format_ = false;
  bool empty_ = true;
  int x_first_ = 0, y_first_ = 0;
  std::vector<Tap> cols_, rows_;
  std::vector<std::uint64_t> col_weights_;  // each column's f in four 16-bit lanes
  std::vector<float> opaque_lut_;           // the general matrix's rows 0..2 for each channel value
  int inner_begin_ = 0, inner_end_ = 0;     // indexes into cols_
};

// Lays the premultiplied pixel over line[begin..end) (source-over), as BlendRow does for a flat source.
void BlendPixelOverRow(std::uint32_t* line, int begin, int end, std::uint32_t premultiplied);
