// The colour-matrix image drawer: a bilinear sampler with transparent outside, parallel by rows.
#include "compose/colour_matrix.h"

#include "compose/pixel_over.h"
#include "compose/pixel_quad_sse2.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/parallel_rows.h"

MatrixKind KindOf(const ToneMatrix& m) {
  ToneMatrix alpha_only = m;
  alpha_only.At(3, 3) = 1.0f;
  if (!alpha_only.IsIdentity()) return MatrixKind::General;
  return m.At(3, 3) == 1.0f ? MatrixKind::Identity : MatrixKind::AlphaScale;
}

namespace {

#if defined(__SSE2__)
// One premultiplied pixel through the matrix, four channels at a time: unpremultiplied in (each
// colour over alpha, at most 1), the rows summed in the same order as the scalar form, clamped and
// premultiplied out with the same roundings, so both forms give the same bits.
// R', G', B', A' clamped, premultiplied and rounded into a pixel.
inline std::uint32_t PremultiplySse2(__m128 out) {
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
  out = _mm_min_ps(_mm_max_ps(out, zero), one);
  const __m128 alpha = _mm_shuffle_ps(out, out, _MM_SHUFFLE(3, 3, 3, 3));
  // Colours times alpha times 255, alpha times 255, each plus a half and truncated.
  const __m128 scaled = _mm_mul_ps(_mm_mul_ps(out, alpha), _mm_set1_ps(255.0f));
  const __m128 alpha255 = _mm_mul_ps(alpha, _mm_set1_ps(255.0f));
  const __m128 with_alpha =
      _mm_shuffle_ps(scaled, _mm_unpackhi_ps(scaled, alpha255), _MM_SHUFFLE(3, 0, 1, 0));
  __m128i v = _mm_cvttps_epi32(_mm_add_ps(with_alpha, _mm_set1_ps(0.5f)));  // R, G, B, A
  v = _mm_min_epi16(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));      // colours at most alpha
  v = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 0, 1, 2));                        // B, G, R, A
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, v), v)));
}

inline std::uint32_t ThroughMatrixSse2(std::uint32_t p, const __m128 rows[5]) {
  const int a8 = static_cast<int>(p >> 24);
  const __m128i bytes = _mm_unpacklo_epi16(
      _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), _mm_setzero_si128()), _mm_setzero_si128());
  const __m128 channels = _mm_cvtepi32_ps(bytes);  // B, G, R, A
  const float a = static_cast<float>(a8) / 255.0f;
  __m128 c = _mm_setzero_ps();  // a transparent pixel has no colour
  if (a8 > 0) c = _mm_min_ps(_mm_div_ps(channels, _mm_set1_ps(static_cast<float>(a8))), _mm_set1_ps(1.0f));
  __m128 out = _mm_mul_ps(_mm_shuffle_ps(c, c, _MM_SHUFFLE(2, 2, 2, 2)), rows[0]);
  out = _mm_add_ps(out, _mm_mul_ps(_mm_shuffle_ps(c, c, _MM_SHUFFLE(1, 1, 1, 1)), rows[1]));
  out = _mm_add_ps(out, _mm_mul_ps(_mm_shuffle_ps(c, c, _MM_SHUFFLE(0, 0, 0, 0)), rows[2]));
  out = _mm_add_ps(out, _mm_mul_ps(_mm_set1_ps(a), rows[3]));
  out = _mm_add_ps(out, rows[4]);  // R', G', B', A'
  return PremultiplySse2(out);
}

// An opaque pixel through the matrix by table: lut holds (c / 255) x row k for every channel value
// c of R, G and B (k = 0, 1, 2), four floats each, so the sums are the very ones ThroughMatrixSse2
// forms for alpha 255 (where a x row 3 is row 3 itself), in the same order, and the bits agree.
inline std::uint32_t OpaqueThroughMatrixSse2(std::uint32_t p, const float* lut, const __m128 rows[5]) {
  __m128 out = _mm_loadu_ps(lut + ((p >> 16) & 0xFF) * 4);
  out = _mm_add_ps(out, _mm_loadu_ps(lut + (256 + ((p >> 8) & 0xFF)) * 4));
  out = _mm_add_ps(out, _mm_loadu_ps(lut + (512 + (p & 0xFF)) * 4));
  out = _mm_add_ps(out, rows[3]);
  out = _mm_add_ps(out, rows[4]);
  return PremultiplySse2(out);
}
#endif

#if !defined(__SSE2__)
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
inline std::uint32_t ThroughMatrixScalar(std::uint32_t p, const ToneMatrix& m) {
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
#endif

inline std::uint32_t ThroughMatrix(std::uint32_t p, const ToneMatrix& m) {
#if defined(__SSE2__)
  // Columns 0..3 of each row; the fifth column (alpha-independent constant) is not an output.
  const __m128 rows[5] = {_mm_loadu_ps(&m.m[0]), _mm_loadu_ps(&m.m[5]), _mm_loadu_ps(&m.m[10]),
                          _mm_loadu_ps(&m.m[15]), _mm_loadu_ps(&m.m[20])};
  return ThroughMatrixSse2(p, rows);
#else
  return ThroughMatrixScalar(p, m);
#endif
}

// Multiplies all four premultiplied channels by f256/256.
inline std::uint32_t ScaleAlpha(std::uint32_t p, std::uint32_t f256) {
  const std::uint32_t rb = (((p & 0x00FF00FF) * f256) >> 8) & 0x00FF00FF;
  const std::uint32_t ag = ((((p >> 8) & 0x00FF00FF) * f256)) & 0xFF00FF00;
  return rb | ag;
}

#if defined(__SSE2__)
// The same blend with SSE2 on [tl, tr] and [bl, br] in the low halves of top and bottom, wx and wy
// holding (256 - f, f) in every pair of 16-bit lanes: per channel (x (256 - f) + y f) >> 8 across,
// then down, as Bilinear computes it, so the two agree to the bit.
inline std::uint32_t BilinearSse2(__m128i top, __m128i bottom, __m128i wx, __m128i wy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i rows = _mm_unpacklo_epi32(top, bottom);                    // tl bl tr br
  const __m128i pairs = _mm_unpacklo_epi8(rows, _mm_srli_si128(rows, 8));  // tl/tr bytes, then bl/br
  const __m128i upper = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), wx), 8);
  const __m128i lower = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), wx), 8);
  const __m128i both = _mm_packs_epi32(upper, lower);                      // 4 upper, 4 lower channels
  const __m128i down = _mm_unpacklo_epi16(both, _mm_srli_si128(both, 8));  // upper/lower per channel
  const __m128i v = _mm_srli_epi32(_mm_madd_epi16(down, wy), 8);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, v), zero)));
}
#endif

// Bilinear blend of four premultiplied pixels; fx, fy are 0..256 weights of the right/lower pixels.
inline std::uint32_t Bilinear(std::uint32_t tl, std::uint32_t tr, std::uint32_t bl, std::uint32_t br,
                              std::uint32_t fx, std::uint32_t fy) {
  const auto lerp = [](std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    const std::uint32_t rb_a = a & 0x00FF00FF, rb_b = b & 0x00FF00FF;
    const std::uint32_t ag_a = (a >> 8) & 0x00FF00FF, ag_b = (b >> 8) & 0x00FF00FF;
    const std::uint32_t rb = ((rb_a * (256 - f) + rb_b * f) >> 8) & 0x00FF00FF;
    const std::uint32_t ag = (ag_a * (256 - f) + ag_b * f) & 0xFF00FF00;
    return rb | ag;
  };
  return lerp(lerp(tl, tr, fx), lerp(bl, br, fx), fy);
}

}  // namespace

float AlphaScaleFactor(int opacity) {
  // Opacities past either end act as the end: the scale never leaves 0..1.
  return static_cast<float>(std::clamp(opacity, 0, 255) * 100 / 255) * 0.01f;
}

void SetAlphaScale(int opacity, ToneMatrix& attributes) {
  attributes = ToneMatrix::Identity();
  attributes.At(3, 3) = AlphaScaleFactor(opacity);
}

ImageRectSampler::ImageRectSampler(QSize target_size, const QRectF& dest_rect, const QImage& source_in,
                                   const QRectF& src_rect, const ToneMatrix& matrix, int source_height)
    : matrix_(matrix) {
  if (source_in.isNull() || dest_rect.width() <= 0 || dest_rect.height() <= 0 || src_rect.width() <= 0 ||
      src_rect.height() <= 0)
    return;
  source_ = (source_in.format() == QImage::Format_ARGB32_Premultiplied ||
             source_in.format() == QImage::Format_RGB32)
                ? source_in
                : source_in.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  held_rows_ = source_.height();
  height_ = std::max(source_height, held_rows_);
  kind_ = KindOf(matrix);
  const float alpha = matrix.At(3, 3);
  if (kind_ == MatrixKind::AlphaScale && alpha <= 0.0f) return;
  alpha256_ = static_cast<std::uint32_t>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 256.0f));
  opaque_format_ = source_.format() == QImage::Format_RGB32;
  if (kind_ == MatrixKind::General) {
    // Each channel value over 255 times its row, as ThroughMatrix computes it for an opaque pixel.
    opaque_lut_.resize(3 * 256 * 4);
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 256; ++c)
        for (int j = 0; j < 4; ++j)
          opaque_lut_[static_cast<std::size_t>((k * 256 + c) * 4 + j)] =
              std::min(1.0f, static_cast<float>(c) / 255.0f) * matrix.At(k, j);
  }

  x_first_ = std::max(0, static_cast<int>(std::floor(dest_rect.left())));
  const int x_end = std::min(target_size.width(), static_cast<int>(std::ceil(dest_rect.right())));
  y_first_ = std::max(0, static_cast<int>(std::floor(dest_rect.top())));
  const int y_end = std::min(target_size.height(), static_cast<int>(std::ceil(dest_rect.bottom())));
  if (x_first_ >= x_end || y_first_ >= y_end) return;
  cols_ = MakeTaps(x_first_, x_end - x_first_, dest_rect.left(), dest_rect.width(), src_rect.left(),
                   src_rect.width(), source_.width());
  col_weights_.reserve(cols_.size());
  for (const Tap& t : cols_) col_weights_.push_back(t.f * 0x0001000100010001ull);
  rows_ = MakeTaps(y_first_, y_end - y_first_, dest_rect.top(), dest_rect.height(), src_rect.top(),
                   src_rect.height(), height_);
  // The run of columns whose two samples both lie in the image and whose pixel is wholly covered:
  // most of a row, and the part BlendRow takes without per-pixel checks.
  const int sw = source_.width();
  const auto inner = [&](const Tap& t) { return t.i0 >= 0 && t.i1 < sw && t.cov == 256; };
  int a = 0;
  while (a < static_cast<int>(cols_.size()) && !inner(cols_[a])) ++a;
  int b = a;
  while (b < static_cast<int>(cols_.size()) && inner(cols_[b])) ++b;
  inner_begin_ = a;
  inner_end_ = b;
  empty_ = false;
}

// Samples beyond an image edge that lies inside the source rectangle are transparent (the outside
// contributes nothing); at an edge of the source rectangle itself the edge pixel is repeated, so
// the dest rectangle's own edge is softened once, by coverage, not twice.
std::vector<ImageRectSampler::Tap> ImageRectSampler::MakeTaps(int first, int count, double dest_origin,
                                                              double dest_size, double src_origin,
                                                              double src_size, int image_size) {
  std::vector<Tap> taps(static_cast<std::size_t>(count));
  const double ratio = src_size / dest_size;
  const int lo = src_origin >= 0 ? static_cast<int>(std::floor(src_origin)) : INT_MIN;
  const int hi =
      src_origin + src_size <= image_size ? static_cast<int>(std::ceil(src_origin + src_size)) - 1 : INT_MAX;
  for (int k = 0; k < count; ++k) {
    const int t = first + k;
    const double centre = src_origin + (t + 0.5 - dest_origin) * ratio - 0.5;
    const double floor_c = std::floor(centre);
    const double cover =
        std::clamp(std::min(t + 1.0, dest_origin + dest_size) - std::max<double>(t, dest_origin), 0.0, 1.0);
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

ImageRectSampler::Taps ImageRectSampler::RowTaps(int y) const {
  const Tap& t = rows_[static_cast<std::size_t>(y - y_first_)];
  return {t.i0, t.i1, t.cov == 256};
}

ImageRectSampler::Taps ImageRectSampler::ColumnTaps(int x) const {
  const Tap& t = cols_[static_cast<std::size_t>(x - x_first_)];
  return {t.i0, t.i1, t.cov == 256};
}

int ImageRectSampler::SourceRowsFor(int row_end) const {
  if (empty_ || row_end <= RowBegin()) return 0;
  // The taps never move up as the target row moves down: the last row reads the lowest rows.
  const Tap& t = rows_[static_cast<std::size_t>(std::min(row_end, RowEnd()) - 1 - y_first_)];
  return std::clamp(std::max(t.i0, t.i1) + 1, 0, height_);
}

int ImageRectSampler::FirstSourceRowFrom(int row) const {
  if (empty_ || row >= RowEnd()) return height_;
  // The taps never move up as the target row moves down: the first row read reads the highest.
  const Tap& t = rows_[static_cast<std::size_t>(std::max(row, RowBegin()) - y_first_)];
  return std::clamp(std::min(t.i0, t.i1), 0, height_);
}

std::uint32_t ImageRectSampler::FlatPixel(std::uint32_t p) const {
  // A bilinear blend of four equal pixels is that pixel exactly; full coverage leaves only the matrix.
  if (kind_ == MatrixKind::General) p = ThroughMatrix(p, matrix_);
  if (kind_ == MatrixKind::AlphaScale && alpha256_ < 256) p = ScaleAlpha(p, alpha256_);
  return p;
}

void ImageRectSampler::BlendRow(int y, std::uint32_t* line, int x_begin, int x_end) const {
  if (empty_ || y < RowBegin() || y >= RowEnd()) return;
  const Tap& ty = rows_[static_cast<std::size_t>(y - y_first_)];
  const int sw = source_.width();
  const int sh = height_;
  const int y0 = ty.i0, y1 = ty.i1;
  const std::uint32_t* row0 = (y0 >= 0 && y0 < sh) ? SourceRow(y0) : nullptr;
  const std::uint32_t* row1 = (y1 >= 0 && y1 < sh) ? SourceRow(y1) : nullptr;
  if (!row0 && !row1) return;
  const int c_begin = std::max(x_begin, x_first_) - x_first_;
  const int c_end = std::min(x_end, ColumnEnd()) - x_first_;
  std::uint32_t* out = line + x_first_;

  const auto general = [&](int c) {
    const Tap& tx = cols_[static_cast<std::size_t>(c)];
    const int x0 = tx.i0, x1 = tx.i1;
    const bool in0 = x0 >= 0 && x0 < sw, in1 = x1 >= 0 && x1 < sw;
    if (!in0 && !in1) return;
    std::uint32_t tl = 0, tr = 0, bl = 0, br = 0;
    if (row0) {
      if (in0) tl = row0[x0];
      if (in1) tr = row0[x1];
    }
    if (row1) {
      if (in0) bl = row1[x0];
      if (in1) br = row1[x1];
    }
    if (opaque_format_) {
      // RGB32 leaves the top byte undefined in principle; it is alpha 255 for us.
      if (row0 && in0) tl |= 0xFF000000u;
      if (row0 && in1) tr |= 0xFF000000u;
      if (row1 && in0) bl |= 0xFF000000u;
      if (row1 && in1) br |= 0xFF000000u;
    }
    std::uint32_t p = (tx.f == 0 && ty.f == 0) ? tl : Bilinear(tl, tr, bl, br, tx.f, ty.f);
    if (kind_ == MatrixKind::General) p = ThroughMatrix(p, matrix_);
    std::uint32_t scale = (tx.cov * ty.cov + 128) >> 8;
    if (kind_ == MatrixKind::AlphaScale) scale = (scale * alpha256_ + 128) >> 8;
    if (scale < 256) p = ScaleAlpha(p, scale);
    out[c] = PixelOver(p, out[c]);
  };

  // The inner run, where all four samples exist and the pixel is wholly covered: the same
  // arithmetic as general() without its checks.
  const bool fast_row = row0 && row1 && ty.cov == 256;
  const int fast_begin = fast_row ? std::clamp(inner_begin_, c_begin, c_end) : c_end;
  const int fast_end = fast_row ? std::clamp(inner_end_, fast_begin, c_end) : c_end;
  for (int c = c_begin; c < fast_begin; ++c) general(c);
  if (fast_begin < fast_end) {
    const std::uint32_t fy = ty.f;
    const std::uint32_t alpha_mask = opaque_format_ ? 0xFF000000u : 0u;
    const std::uint32_t scale = kind_ == MatrixKind::AlphaScale ? ((256 * alpha256_ + 128) >> 8) : 256;
#if defined(__SSE2__)
    const bool general = kind_ == MatrixKind::General;
    const ToneMatrix& m = matrix_;
    const __m128 matrix_rows[5] = {_mm_loadu_ps(&m.m[0]), _mm_loadu_ps(&m.m[5]), _mm_loadu_ps(&m.m[10]),
                                   _mm_loadu_ps(&m.m[15]), _mm_loadu_ps(&m.m[20])};
    const __m128i mask = _mm_set1_epi32(static_cast<int>(alpha_mask));
    const __m128i wy = _mm_set1_epi32(static_cast<int>(fy << 16 | (256 - fy)));
    const auto one_pixel = [&](int c) {
      const Tap& tx = cols_[static_cast<std::size_t>(c)];
      const __m128i top = pixel_quad::Pair(row0, tx.i0, tx.i1);
      const __m128i bottom = pixel_quad::Pair(row1, tx.i0, tx.i1);
      const __m128i wx = _mm_set1_epi32(static_cast<int>(tx.f << 16 | (256 - tx.f)));
      std::uint32_t p = BilinearSse2(_mm_or_si128(top, mask), _mm_or_si128(bottom, mask), wx, wy);
      if (general)
        p = (p >> 24) == 255 ? OpaqueThroughMatrixSse2(p, opaque_lut_.data(), matrix_rows)
                             : ThroughMatrixSse2(p, matrix_rows);
      if (scale < 256) p = ScaleAlpha(p, scale);
      out[c] = PixelOver(p, out[c]);
    };
    // Four pixels at a time, each lane doing one_pixel's arithmetic.
    const pixel_quad::MatrixLanes lanes = pixel_quad::LanesOf(m.m.data());
    const __m128i fy16 = _mm_set1_epi16(static_cast<short>(fy));
    int c = fast_begin;
    for (; c + 4 <= fast_end; c += 4) {
      const Tap* t = &cols_[static_cast<std::size_t>(c)];
      const auto across = [&](const std::uint32_t* row, int k) {
        const __m128i a = _mm_or_si128(pixel_quad::Pair(row, t[k].i0, t[k].i1), mask);
        const __m128i b = _mm_or_si128(pixel_quad::Pair(row, t[k + 1].i0, t[k + 1].i1), mask);
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&col_weights_[c + k]));
        return pixel_quad::Across(a, b, f);
      };
      __m128i p = pixel_quad::Down(across(row0, 0), across(row0, 2), across(row1, 0), across(row1, 2), fy16);
      if (general) {
        if (pixel_quad::AllOpaque(p)) {
          p = pixel_quad::OpaqueThroughMatrix(p, lanes);
        } else {
          alignas(16) std::uint32_t pixels[4];
          _mm_store_si128(reinterpret_cast<__m128i*>(pixels), p);
          for (std::uint32_t& pixel : pixels)
            pixel = (pixel >> 24) == 255 ? OpaqueThroughMatrixSse2(pixel, opaque_lut_.data(), matrix_rows)
                                         : ThroughMatrixSse2(pixel, matrix_rows);
          p = _mm_load_si128(reinterpret_cast<const __m128i*>(pixels));
        }
      }
      if (scale < 256) p = pixel_quad::ScaleAll(p, static_cast<int>(scale));
      auto* target = reinterpret_cast<__m128i*>(out + c);
      _mm_storeu_si128(target, pixel_quad::AllOpaque(p) ? p : pixel_quad::Over(p, _mm_loadu_si128(target)));
    }
    for (; c < fast_end; ++c) one_pixel(c);
#else
    for (int c = fast_begin; c < fast_end; ++c) {
      const Tap& tx = cols_[static_cast<std::size_t>(c)];
      const std::uint32_t tl = row0[tx.i0] | alpha_mask;
      std::uint32_t p = tl;
      if (tx.f != 0 || fy != 0)
        p = Bilinear(tl, row0[tx.i1] | alpha_mask, row1[tx.i0] | alpha_mask, row1[tx.i1] | alpha_mask, tx.f,
                     fy);
      if (kind_ == MatrixKind::General) p = ThroughMatrix(p, matrix_);
      if (scale < 256) p = ScaleAlpha(p, scale);
      out[c] = PixelOver(p, out[c]);
    }
#endif
  }
  for (int c = fast_end; c < c_end; ++c) general(c);
}

void BlendPixelOverRow(std::uint32_t* line, int begin, int end, std::uint32_t p) {
  if (p == 0) return;
  if ((p >> 24) == 255) {
    std::fill(line + begin, line + end, p);
    return;
  }
#if defined(__SSE2__)
  // Over's arithmetic on four pixels at a time: per channel d x inv + 128, plus its high byte,
  // shifted down, plus the source. Nothing carries: a premultiplied channel never exceeds alpha.
  const __m128i zero = _mm_setzero_si128();
  const __m128i source = _mm_set1_epi32(static_cast<int>(p));
  const __m128i inv = _mm_set1_epi16(static_cast<short>(255 - (p >> 24)));
  const __m128i half = _mm_set1_epi16(128);
  const auto scale = [&](__m128i d) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(d, inv), half);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  for (; begin + 4 <= end; begin += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + begin));
    const __m128i blended =
        _mm_packus_epi16(scale(_mm_unpacklo_epi8(d, zero)), scale(_mm_unpackhi_epi8(d, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(line + begin), _mm_add_epi8(blended, source));
  }
#endif
  for (int x = begin; x < end; ++x) line[x] = PixelOver(p, line[x]);
}

void DrawImageRect(QImage& target, const QRectF& dest_rect, const QImage& source, const QRectF& src_rect,
                   const ToneMatrix& matrix) {
  if (target.isNull()) return;
  Q_ASSERT(target.format() == QImage::Format_ARGB32_Premultiplied);
  const ImageRectSampler sampler(target.size(), dest_rect, source, src_rect, matrix);
  if (sampler.Empty()) return;
  uchar* const target_bits = target.bits();  // detaches here, never inside the threads
  const qsizetype target_stride = target.bytesPerLine();
  const int first_row = sampler.RowBegin(), rows = sampler.RowEnd() - first_row;
  const int first_column = sampler.ColumnBegin(), end_column = sampler.ColumnEnd();
  ParallelRows(rows, end_column - first_column, [&](int first, int end) {
    for (int r = first; r < end; ++r) {
      auto* line = reinterpret_cast<std::uint32_t*>(target_bits + (first_row + r) * target_stride);
      sampler.BlendRow(first_row + r, line, first_column, end_column);
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
