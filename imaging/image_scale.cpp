// Area-average and linear scaling, one axis at a time, in fixed point.
#include "imaging/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/parallel_rows.h"
#include "imaging/image_buffer.h"

namespace {

constexpr int kWeightBits = 14;
constexpr std::uint32_t kWeightOne = 1u << kWeightBits;

// For every output pixel of one axis, the source pixels it takes and their weights.
struct AxisWeights {
  std::vector<int> first;              // the first source pixel of output pixel i
  std::vector<int> count;              // how many follow it
  std::vector<std::uint32_t> weights;  // count[i] weights of output pixel i, at offset[i]
  std::vector<std::size_t> offset;
};

AxisWeights WeightsFor(int source, int target) {
  AxisWeights axis;
  axis.first.resize(static_cast<std::size_t>(target));
  axis.count.resize(static_cast<std::size_t>(target));
  axis.offset.resize(static_cast<std::size_t>(target));
  const double scale = static_cast<double>(source) / target;
  std::vector<std::pair<int, double>> taps;
  for (int i = 0; i < target; ++i) {
    taps.clear();
    if (scale > 1.0) {
      // The source span [lo, hi) the output pixel covers; each source pixel by its share of it.
      const double lo = i * scale, hi = std::min<double>(source, (i + 1) * scale);
      for (int j = static_cast<int>(std::floor(lo)); j < source && j < hi; ++j) {
        const double share = (std::min(hi, j + 1.0) - std::max(lo, static_cast<double>(j))) / scale;
        if (share > 0) taps.emplace_back(j, share);
      }
    } else {
      // The output pixel's centre between the two nearest source centres.
      const double centre = (i + 0.5) * scale - 0.5;
      const double floor_centre = std::floor(centre);
      const double f = centre - floor_centre;
      const int j0 = std::clamp(static_cast<int>(floor_centre), 0, source - 1);
      const int j1 = std::clamp(static_cast<int>(floor_centre) + 1, 0, source - 1);
      if (j0 == j1) {
        taps.emplace_back(j0, 1.0);
      } else {
        taps.emplace_back(j0, 1.0 - f);
        taps.emplace_back(j1, f);
      }
    }
    // Fixed point rounded along the running sum, so each weight is within one of its share and
    // all of them sum to one exactly.
    std::vector<std::uint32_t> fixed(taps.size());
    double running = 0;
    std::uint32_t given = 0;
    for (std::size_t k = 0; k < taps.size(); ++k) {
      running += taps[k].second;
      const auto upto =
          k + 1 == taps.size() ? kWeightOne : static_cast<std::uint32_t>(std::lround(running * kWeightOne));
      fixed[k] = upto > given ? upto - given : 0;
      given += fixed[k];
    }
    // Leading and trailing zero weights are dropped.
    std::size_t begin = 0, end = fixed.size();
    while (begin + 1 < end && fixed[begin] == 0) ++begin;
    while (end - 1 > begin && fixed[end - 1] == 0) --end;
    const auto index = static_cast<std::size_t>(i);
    axis.first[index] = taps[begin].first;
    axis.count[index] = static_cast<int>(end - begin);
    axis.offset[index] = axis.weights.size();
    axis.weights.insert(axis.weights.end(), fixed.begin() + static_cast<std::ptrdiff_t>(begin),
                        fixed.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return axis;
}

}  // namespace

QImage ScaleImage(const QImage& image, QSize size) {
  if (image.isNull() || size.isEmpty()) return QImage();
  const bool opaque = image.format() == QImage::Format_RGB32;
  const QImage source = opaque || image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage result = NewImage(size.width(), size.height(), QImage::Format_ARGB32_Premultiplied);
  if (source.isNull() || result.isNull()) return QImage();
  const int width = size.width();
  const AxisWeights across = WeightsFor(source.width(), width);
  const AxisWeights down = WeightsFor(source.height(), size.height());
  const std::uint32_t alpha = opaque ? 0xFF000000u : 0u;
  uchar* const out_bits = result.bits();  // detaches here, never inside the threads
  const qsizetype out_stride = result.bytesPerLine();

  // One source row across: four 16-bit channels an output pixel, 7 bits below the level.
  constexpr int kAcrossBits = 7;
  const auto row_across = [&](int y, std::int16_t* into) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y));
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(1 << (kWeightBits - kAcrossBits - 1));
    const __m128i opaque_bits = _mm_set1_epi32(static_cast<int>(alpha));
    for (int x = 0; x + 1 < width; x += 2) {
      __m128i sums[2];
      for (int n = 0; n < 2; ++n) {
        const auto i = static_cast<std::size_t>(x + n);
        const std::uint32_t* w = across.weights.data() + across.offset[i];
        const std::uint32_t* p = row + across.first[i];
        __m128i sum = zero;
        for (int k = 0; k < across.count[i]; ++k) {
          // The pixel's channels as 16-bit values with zeros between: times the weight in each.
          const __m128i pixel = _mm_or_si128(_mm_cvtsi32_si128(static_cast<int>(p[k])), opaque_bits);
          const __m128i channels = _mm_unpacklo_epi16(_mm_unpacklo_epi8(pixel, zero), zero);
          sum = _mm_add_epi32(sum, _mm_madd_epi16(channels, _mm_set1_epi32(static_cast<int>(w[k]))));
        }
        sums[n] = _mm_srli_epi32(_mm_add_epi32(sum, half), kWeightBits - kAcrossBits);
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(into + 4 * static_cast<std::size_t>(x)),
                       _mm_packs_epi32(sums[0], sums[1]));
    }
    for (int x = width & ~1; x < width; ++x) {
#else
    for (int x = 0; x < width; ++x) {
#endif
      const auto i = static_cast<std::size_t>(x);
      const std::uint32_t* w = across.weights.data() + across.offset[i];
      const std::uint32_t* p = row + across.first[i];
      std::uint32_t sums[4] = {0, 0, 0, 0};
      for (int k = 0; k < across.count[i]; ++k) {
        const std::uint32_t pixel = p[k] | alpha;
        for (int ch = 0; ch < 4; ++ch) sums[ch] += w[k] * ((pixel >> (8 * ch)) & 0xFF);
      }
      for (int ch = 0; ch < 4; ++ch)
        into[4 * i + static_cast<std::size_t>(ch)] = static_cast<std::int16_t>(
            (sums[ch] + (1u << (kWeightBits - kAcrossBits - 1))) >> (kWeightBits - kAcrossBits));
    }
  };

  ParallelRows(size.height(), qint64{source.width()} * 2, [&](int first_row, int end_row) {
    // Bands of output rows: the source rows a band reads are taken across once into rows_across.
    constexpr int kBand = 16;
    const std::size_t row_length = static_cast<std::size_t>(width) * 4;
    std::vector<std::int16_t> rows_across;
    std::vector<std::uint32_t> sums(row_length);
    for (int top = first_row; top < end_row; top += kBand) {
      const int bottom = std::min(end_row, top + kBand);
      const int source_first = down.first[static_cast<std::size_t>(top)];
      const auto last = static_cast<std::size_t>(bottom - 1);
      const int source_end = down.first[last] + down.count[last];
      rows_across.resize(static_cast<std::size_t>(source_end - source_first) * row_length);
      for (int y = source_first; y < source_end; ++y)
        row_across(y, rows_across.data() + static_cast<std::size_t>(y - source_first) * row_length);
      for (int y = top; y < bottom; ++y) {
        const auto i = static_cast<std::size_t>(y);
        const std::uint32_t* w = down.weights.data() + down.offset[i];
        std::fill(sums.begin(), sums.end(), 0u);
        for (int k = 0; k < down.count[i]; ++k) {
          const std::int16_t* v =
              rows_across.data() + static_cast<std::size_t>(down.first[i] + k - source_first) * row_length;
          const std::uint32_t weight = w[k];
          for (std::size_t c = 0; c < row_length; ++c) sums[c] += weight * static_cast<std::uint16_t>(v[c]);
        }
        // Back to 8 bits, rounded: at most 255 x 128 x 16384, within 32 bits.
        constexpr int kShift = kWeightBits + kAcrossBits;
        constexpr std::uint32_t kHalf = 1u << (kShift - 1);
        auto* out = reinterpret_cast<std::uint32_t*>(out_bits + y * out_stride);
        for (int x = 0; x < width; ++x) {
          const std::uint32_t* p = sums.data() + 4 * static_cast<std::size_t>(x);
          out[x] = ((p[3] + kHalf) >> kShift) << 24 | ((p[2] + kHalf) >> kShift) << 16 |
                   ((p[1] + kHalf) >> kShift) << 8 | ((p[0] + kHalf) >> kShift);
        }
      }
    }
  });
  return result;
}
