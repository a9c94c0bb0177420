// Four neighbouring pixels at a time with SSE2: bilinear samples, the colour matrix on opaque
// pixels, the alpha scale and the over blend, each giving the bits of the one-pixel forms.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace pixel_quad {

// Two pixels of a source row, [left, right], in the low half; left_index + 1 is usually
// right_index, and then one load fetches both.
inline __m128i Pair(const std::uint32_t* row, int left_index, int right_index) {
  if (right_index == left_index + 1)
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + left_index));
  return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row[left_index])),
                            _mm_cvtsi32_si128(static_cast<int>(row[right_index])));
}

// Per channel (x (256 - f) + y f) >> 8 on 16-bit lanes. Never above 255 x 256, so the unsigned
// 16-bit products and their sum are exact.
inline __m128i Lerp16(__m128i x, __m128i y, __m128i f) {
  const __m128i g = _mm_sub_epi16(_mm_set1_epi16(256), f);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, g), _mm_mullo_epi16(y, f)), 8);
}

// The horizontal blends of two target pixels on one source row: pairs a and b ([left, right] each,
// in the low halves) with weights f holding the right pixel's weight four times for a, then for b.
// Eight 16-bit channels out, a's then b's.
inline __m128i Across(__m128i a, __m128i b, __m128i f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lefts_rights = _mm_unpacklo_epi32(a, b);  // a.left, b.left, a.right, b.right
  return Lerp16(_mm_unpacklo_epi8(lefts_rights, zero), _mm_unpackhi_epi8(lefts_rights, zero), f);
}

// Four bilinear samples from their horizontal blends on the upper and lower row (16-bit channels,
// pixels 0 and 1 in the first vector of each, 2 and 3 in the second), fy the lower row's weight in
// every lane: the blend down, packed into four pixels.
inline __m128i Down(__m128i upper01, __m128i upper23, __m128i lower01, __m128i lower23, __m128i fy) {
  return _mm_packus_epi16(Lerp16(upper01, lower01, fy), Lerp16(upper23, lower23, fy));
}

// True when all four pixels have alpha 255.
inline bool AllOpaque(__m128i p) {
  const __m128i ones = _mm_set1_epi32(-1);
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(p, _mm_set1_epi32(0x00FFFFFF)), ones)) == 0xFFFF;
}

// Every channel of the four pixels times scale (0..256), shifted down by 8.
inline __m128i ScaleAll(__m128i p, int scale) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i s = _mm_set1_epi16(static_cast<short>(scale));
  const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(p, zero), s), 8);
  const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(p, zero), s), 8);
  return _mm_packus_epi16(lo, hi);
}

// s over d for four premultiplied pixels: per channel s + d x (255 - alpha(s)) / 255, rounded as
// (t + (t >> 8)) >> 8 with t = d x inv + 128. Nothing carries: a premultiplied channel never
// exceeds its alpha.
inline __m128i Over(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
  const auto blend = [&](__m128i s16, __m128i d16) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(full, alpha)), half);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  const __m128i lo = blend(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
  const __m128i hi = blend(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
  return _mm_add_epi8(_mm_packus_epi16(lo, hi), s);
}

// The columns of a 5 x 5 matrix, each element in all four lanes: one lane per pixel.
struct MatrixLanes {
  __m128 m[5][4];  // [row][output channel R', G', B', A']
  // The alpha column is (0, 0, 0, 1, 0): an opaque pixel stays opaque, its A' exactly 1.
  bool keeps_opaque = false;
};

inline MatrixLanes LanesOf(const float* matrix25) {
  MatrixLanes lanes;
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 4; ++column) lanes.m[row][column] = _mm_set1_ps(matrix25[row * 5 + column]);
  lanes.keeps_opaque = matrix25[3] == 0.0f && matrix25[8] == 0.0f && matrix25[13] == 0.0f &&
                       matrix25[18] == 1.0f && matrix25[23] == 0.0f;
  return lanes;
}

// Four opaque pixels through the matrix, one pixel per lane. Each lane does the arithmetic of the
// one-pixel form for alpha 255 in its order: channels over 255, (((R m0 + G m1) + B m2) + m3) + m4
// (alpha 1 times row 3 is row 3), clamped to 0..1, colours times alpha times 255 and alpha times
// 255, each plus a half and truncated, colours at most alpha.
inline __m128i OpaqueThroughMatrix(__m128i p, const MatrixLanes& k) {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128 scale = _mm_set1_ps(255.0f);
  const __m128 r = _mm_div_ps(_mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(p, 16), byte)), scale);
  const __m128 g = _mm_div_ps(_mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(p, 8), byte)), scale);
  const __m128 b = _mm_div_ps(_mm_cvtepi32_ps(_mm_and_si128(p, byte)), scale);
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), half = _mm_set1_ps(0.5f);
  __m128 out[4];
  if (k.keeps_opaque) {
    // A' = ((0 + 0) + 0) + 1 + 0 = 1 exactly, so alpha is 255 and a colour times alpha is the
    // colour itself, never above 255: the same bits without the alpha arithmetic.
    for (int j = 0; j < 3; ++j) {
      __m128 v = _mm_add_ps(_mm_mul_ps(r, k.m[0][j]), _mm_mul_ps(g, k.m[1][j]));
      v = _mm_add_ps(v, _mm_mul_ps(b, k.m[2][j]));
      v = _mm_add_ps(_mm_add_ps(v, k.m[3][j]), k.m[4][j]);
      out[j] = _mm_min_ps(_mm_max_ps(v, zero), one);
    }
    const auto colour = [&](__m128 c) { return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(c, scale), half)); };
    return _mm_or_si128(
        _mm_or_si128(_mm_set1_epi32(static_cast<int>(0xFF000000u)), _mm_slli_epi32(colour(out[0]), 16)),
        _mm_or_si128(_mm_slli_epi32(colour(out[1]), 8), colour(out[2])));
  }
  for (int j = 0; j < 4; ++j) {
    __m128 v = _mm_add_ps(_mm_mul_ps(r, k.m[0][j]), _mm_mul_ps(g, k.m[1][j]));
    v = _mm_add_ps(v, _mm_mul_ps(b, k.m[2][j]));
    v = _mm_add_ps(_mm_add_ps(v, k.m[3][j]), k.m[4][j]);
    out[j] = _mm_min_ps(_mm_max_ps(v, zero), one);  // max first: a NaN becomes 0, as in one pixel
  }
  const __m128i a = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(out[3], scale), half));
  const auto colour = [&](__m128 c) {
    const __m128i v = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_mul_ps(c, out[3]), scale), half));
    return _mm_min_epi16(v, a);  // 0..255 in 32-bit lanes: the 16-bit minimum is the minimum
  };
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(a, 24), _mm_slli_epi32(colour(out[0]), 16)),
                      _mm_or_si128(_mm_slli_epi32(colour(out[1]), 8), colour(out[2])));
}

}  // namespace pixel_quad

#endif
