// The colour-matrix image drawer: a bilinear sampler with transparent outside, parallel by rows.
#include "compose/colour_matrix.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "compose/parallel_rows.h"

namespace {

enum class MatrixKind { Identity, AlphaScale, General };

MatrixKind KindOf(const ToneMatrix& m) {
  ToneMatrix alpha_only = m;
  alpha_only.At(3, 3) = 1.0f;
  if (!alpha_only.IsIdentity()) return MatrixKind::General;
  return m.At(3, 3) == 1.0f ? MatrixKind::Identity : MatrixKind::AlphaScale;
}

inline std::uint32_t Premultiply(float r, float g, float b, float a) {
  const auto clamp = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
  a = clamp(a);
  const int ai = static_cast<int>(a * 255.0f + 0.5f);
  const int ri = static_cast<int>(clamp(r) * a * 255.0f + 0.5f);
  const int gi = static_cast<int>(clamp(g) * a * 255.0f + 0.5f);
  const int bi = static_cast<int>(clamp(b) * a * 255.0f + 0.5f);
  return static_cast<std::uint32_t>(ai) << 24 | static_cast<std::uint32_t>(std::min(ri, ai)) << 16 |
         static_cast<std::uint32_t>(std::min(gi, ai)) << 8 | static_cast<std::uint32_t>(std::min(bi, ai));
}

// One premultiplied pixel through the matrix (unpremultiplied in, unpremultiplied maths, premultiplied out).
inline std::uint32_t ThroughMatrix(std::uint32_t p, const ToneMatrix& m) {
  const int a8 = static_cast<int>(p >> 24);
  float in[5] = {0, 0, 0, a8 / 255.0f, 1.0f};
  if (a8 > 0) {
    in[0] = std::min(1.0f, static_cast<float>((p >> 16) & 0xFF) / a8);
    in[1] = std::min(1.0f, static_cast<float>((p >> 8) & 0xFF) / a8);
    in[2] = std::min(1.0f, static_cast<float>(p & 0xFF) / a8);
  }
  float out[4];
  for (int j = 0; j < 4; ++j)
    out[j] = in[0] * m.At(0, j) + in[1] * m.At(1, j) + in[2] * m.At(2, j) + in[3] * m.At(3, j) + m.At(4, j);
  return Premultiply(out[0], out[1], out[2], out[3]);
}

// Multiplies all four premultiplied channels by f256/256.
inline std::uint32_t ScaleAlpha(std::uint32_t p, std::uint32_t f256) {
  const std::uint32_t rb = (((p & 0x00FF00FF) * f256) >> 8) & 0x00FF00FF;
  const std::uint32_t ag = ((((p >> 8) & 0x00FF00FF) * f256)) & 0xFF00FF00;
  return rb | ag;
}

inline std::uint32_t Over(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t sa = s >> 24;
  if (sa == 255) return s;
  if (sa == 0 && s == 0) return d;
  const std::uint32_t inv = 255 - sa;
  // d * inv / 255 per channel, rounded, two channels at a time.
  std::uint32_t rb = (d & 0x00FF00FF) * inv + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  std::uint32_t ag = ((d >> 8) & 0x00FF00FF) * inv + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return s + (rb | ag);
}

// Bilinear blend of four premultiplied pixels; fx, fy are 0..256 weights of the right/lower pixels.
inline std::uint32_t Bilinear(std::uint32_t tl, std::uint32_t tr, std::uint32_t bl, std::uint32_t br, std::uint32_t fx,
                              std::uint32_t fy) {
  const auto lerp = [](std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    const std::uint32_t rb_a = a & 0x00FF00FF, rb_b = b & 0x00FF00FF;
    const std::uint32_t ag_a = (a >> 8) & 0x00FF00FF, ag_b = (b >> 8) & 0x00FF00FF;
    const std::uint32_t rb = ((rb_a * (256 - f) + rb_b * f) >> 8) & 0x00FF00FF;
    const std::uint32_t ag = (ag_a * (256 - f) + ag_b * f) & 0xFF00FF00;
    return rb | ag;
  };
  return lerp(lerp(tl, tr, fx), lerp(bl, br, fx), fy);
}

// Where each target column (or row) samples the source: two source indexes (-1 or past the
// end for outside) with the weight of the second, and the coverage of the target pixel.
struct Tap {
  int i0, i1;
  std::uint32_t f;    // 0..256, weight of i1
  std::uint32_t cov;  // 0..256, share of the target pixel inside dest_rect
};

// Samples beyond an image edge that lies inside the source rectangle are transparent (the outside
// contributes nothing); at an edge of the source rectangle itself the edge pixel is repeated, so
// the dest rectangle's own edge is softened once, by coverage, not twice.
std::vector<Tap> Taps(int first, int count, double dest_origin, double dest_size, double src_origin, double src_size,
                      int image_size) {
  std::vector<Tap> taps(static_cast<std::size_t>(count));
  const double ratio = src_size / dest_size;
  const int lo = src_origin >= 0 ? static_cast<int>(std::floor(src_origin)) : INT_MIN;
  const int hi = src_origin + src_size <= image_size ? static_cast<int>(std::ceil(src_origin + src_size)) - 1 : INT_MAX;
  for (int k = 0; k < count; ++k) {
    const int t = first + k;
    const double centre = src_origin + (t + 0.5 - dest_origin) * ratio - 0.5;
    const double floor_c = std::floor(centre);
    const double cover = std::clamp(std::min(t + 1.0, dest_origin + dest_size) - std::max<double>(t, dest_origin), 0.0, 1.0);
    taps[k].i0 = static_cast<int>(std::clamp(floor_c, -2.0, 2.0e9));
    taps[k].f = static_cast<std::uint32_t>(std::lround((centre - floor_c) * 256.0));
    if (taps[k].f == 256) {
      ++taps[k].i0;
      taps[k].f = 0;
    }
    taps[k].cov = static_cast<std::uint32_t>(std::lround(cover * 256.0));
    taps[k].i1 = std::clamp(taps[k].i0 + 1, lo, hi);
    taps[k].i0 = std::clamp(taps[k].i0, lo, hi);
  }
  return taps;
}

}  // namespace

float AlphaScaleFactor(int opacity) { return static_cast<float>(opacity * 100 / 255) * 0.01f; }

void SetAlphaScale(int opacity, ToneMatrix& attributes) {
  attributes = ToneMatrix::Identity();
  attributes.At(3, 3) = AlphaScaleFactor(opacity);
}

void DrawImageRect(QImage& target, const QRectF& dest_rect, const QImage& source_in, const QRectF& src_rect,
                   const ToneMatrix& matrix) {
  if (target.isNull() || source_in.isNull() || dest_rect.width() <= 0 || dest_rect.height() <= 0 ||
      src_rect.width() <= 0 || src_rect.height() <= 0)
    return;
  Q_ASSERT(target.format() == QImage::Format_ARGB32_Premultiplied);
  const QImage source =
      (source_in.format() == QImage::Format_ARGB32_Premultiplied || source_in.format() == QImage::Format_RGB32)
          ? source_in
          : source_in.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const MatrixKind kind = KindOf(matrix);
  const float alpha = matrix.At(3, 3);
  if (kind == MatrixKind::AlphaScale && alpha <= 0.0f) return;
  const std::uint32_t alpha256 = static_cast<std::uint32_t>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 256.0f));

  const int x_first = std::max(0, static_cast<int>(std::floor(dest_rect.left())));
  const int x_end = std::min(target.width(), static_cast<int>(std::ceil(dest_rect.right())));
  const int y_first = std::max(0, static_cast<int>(std::floor(dest_rect.top())));
  const int y_end = std::min(target.height(), static_cast<int>(std::ceil(dest_rect.bottom())));
  if (x_first >= x_end || y_first >= y_end) return;

  const std::vector<Tap> cols =
      Taps(x_first, x_end - x_first, dest_rect.left(), dest_rect.width(), src_rect.left(), src_rect.width(),
           source.width());
  const std::vector<Tap> rows =
      Taps(y_first, y_end - y_first, dest_rect.top(), dest_rect.height(), src_rect.top(), src_rect.height(),
           source.height());
  const int sw = source.width();
  const int sh = source.height();
  const bool opaque_format = source.format() == QImage::Format_RGB32;
  uchar* const target_bits = target.bits();  // detaches here, never inside the threads
  const qsizetype target_stride = target.bytesPerLine();

  ParallelRows(y_end - y_first, x_end - x_first, [&](int first, int end) {
    for (int r = first; r < end; ++r) {
      const Tap& ty = rows[r];
      auto* out = reinterpret_cast<std::uint32_t*>(target_bits + (y_first + r) * target_stride) + x_first;
      const int y0 = ty.i0, y1 = ty.i1;
      const std::uint32_t* row0 =
          (y0 >= 0 && y0 < sh) ? reinterpret_cast<const std::uint32_t*>(source.constScanLine(y0)) : nullptr;
      const std::uint32_t* row1 =
          (y1 >= 0 && y1 < sh) ? reinterpret_cast<const std::uint32_t*>(source.constScanLine(y1)) : nullptr;
      if (!row0 && !row1) continue;
      for (int c = 0, n = x_end - x_first; c < n; ++c) {
        const Tap& tx = cols[c];
        const int x0 = tx.i0, x1 = tx.i1;
        const bool in0 = x0 >= 0 && x0 < sw, in1 = x1 >= 0 && x1 < sw;
        if (!in0 && !in1) continue;
        std::uint32_t tl = 0, tr = 0, bl = 0, br = 0;
        if (row0) {
          if (in0) tl = row0[x0];
          if (in1) tr = row0[x1];
        }
        if (row1) {
          if (in0) bl = row1[x0];
          if (in1) br = row1[x1];
        }
        if (opaque_format) {
          // RGB32 leaves the top byte undefined in principle; it is alpha 255 for us.
          if (row0 && in0) tl |= 0xFF000000u;
          if (row0 && in1) tr |= 0xFF000000u;
          if (row1 && in0) bl |= 0xFF000000u;
          if (row1 && in1) br |= 0xFF000000u;
        }
        std::uint32_t p = (tx.f == 0 && ty.f == 0) ? tl : Bilinear(tl, tr, bl, br, tx.f, ty.f);
        if (kind == MatrixKind::General) p = ThroughMatrix(p, matrix);
        std::uint32_t scale = (tx.cov * ty.cov + 128) >> 8;
        if (kind == MatrixKind::AlphaScale) scale = (scale * alpha256 + 128) >> 8;
        if (scale < 256) p = ScaleAlpha(p, scale);
        out[c] = Over(p, out[c]);
      }
    }
  });
}

void ApplyColourMatrix(QImage& image, const ToneMatrix& matrix) {
  if (KindOf(matrix) == MatrixKind::Identity || image.isNull()) return;
  if (image.format() != QImage::Format_ARGB32_Premultiplied)
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int width = image.width();
  uchar* const bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  ParallelRows(image.height(), width, [&](int first, int end) {
    for (int y = first; y < end; ++y) {
      auto* line = reinterpret_cast<std::uint32_t*>(bits + y * stride);
      for (int x = 0; x < width; ++x) line[x] = ThroughMatrix(line[x], matrix);
    }
  });
}
