// Colour conversion into sRGB through Little CMS 2.
#include "imaging/colour_profile.h"

#include <lcms2.h>

#include <QFile>
#include <QFileInfo>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>

#include "base/parallel_rows.h"

namespace {

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};

// Little CMS reports refused profiles through a process-wide handler; the caller's return values
// carry the verdict, so its lines are not printed.
void Silence() {
  static std::once_flag once;
  std::call_once(once, [] { cmsSetLogErrorHandler([](cmsContext, cmsUInt32Number, const char*) {}); });
}

Profile OpenProfile(QByteArrayView bytes) {
  Silence();
  if (bytes.size() < 132 || bytes.size() > (qsizetype{1} << 28)) return nullptr;
  return Profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
}

double SrgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// The parameters of Little CMS's parametric curve type 4: Y = (aX + b)^g for X >= d, cX below.
cmsToneCurve* BuildCurve(ToneCurve curve) {
  switch (curve) {
    case ToneCurve::Srgb: {
      const cmsFloat64Number p[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
      return cmsBuildParametricToneCurve(nullptr, 4, p);
    }
    case ToneCurve::Bt709: {
      const cmsFloat64Number p[5] = {1.0 / 0.45, 1.0 / 1.099, 0.099 / 1.099, 1.0 / 4.5, 0.081};
      return cmsBuildParametricToneCurve(nullptr, 4, p);
    }
    case ToneCurve::Linear:
      return cmsBuildGamma(nullptr, 1.0);
    case ToneCurve::Gamma22:
      return cmsBuildGamma(nullptr, 2.2);
    case ToneCurve::Gamma28:
      return cmsBuildGamma(nullptr, 2.8);
  }
  return nullptr;
}

bool Near(double a, double b, double tolerance) { return std::abs(a - b) <= tolerance; }

}  // namespace

bool IsSrgbPrimaries(const RgbPrimaries& p) {
  // File values are stored in steps of 0.00002 (HEIF) or coarser: a thousandth tells sRGB apart
  // from every other standard set (Display P3's red is 0.680, 0.320).
  constexpr double kTolerance = 0.001;
  return Near(p.red_x, 0.64, kTolerance) && Near(p.red_y, 0.33, kTolerance) &&
         Near(p.green_x, 0.30, kTolerance) && Near(p.green_y, 0.60, kTolerance) &&
         Near(p.blue_x, 0.15, kTolerance) && Near(p.blue_y, 0.06, kTolerance) &&
         Near(p.white_x, 0.3127, kTolerance) && Near(p.white_y, 0.3290, kTolerance);
}

QByteArray MakeRgbProfile(const RgbPrimaries& p, ToneCurve curve) {
  Silence();
  const cmsCIExyY white = {p.white_x, p.white_y, 1.0};
  const cmsCIExyYTRIPLE primaries = {
      {p.red_x, p.red_y, 1.0}, {p.green_x, p.green_y, 1.0}, {p.blue_x, p.blue_y, 1.0}};
  cmsToneCurve* tone = BuildCurve(curve);
  if (tone == nullptr) return QByteArray();
  cmsToneCurve* curves[3] = {tone, tone, tone};
  Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(tone);
  if (!profile) return QByteArray();
  cmsUInt32Number size = 0;
  if (!cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0) return QByteArray();
  QByteArray bytes(static_cast<qsizetype>(size), '\0');
  if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size)) return QByteArray();
  return bytes;
}

bool IsSrgbProfile(QByteArrayView icc_profile) {
  const Profile profile = OpenProfile(icc_profile);
  if (!profile || cmsGetColorSpace(profile.get()) != cmsSigRgbData) return false;
  // sRGB's colorants as the D50-adapted XYZ values every sRGB profile stores.
  const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
  const double expected[3][3] = {
      {0.4361, 0.2225, 0.0139}, {0.3851, 0.7169, 0.0971}, {0.1431, 0.0606, 0.7141}};
  for (int i = 0; i < 3; ++i) {
    const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile.get(), tags[i]));
    if (xyz == nullptr || !Near(xyz->X, expected[i][0], 0.003) || !Near(xyz->Y, expected[i][1], 0.003) ||
        !Near(xyz->Z, expected[i][2], 0.003))
      return false;
  }
  const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  for (const cmsTagSignature tag : curves) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile.get(), tag));
    if (curve == nullptr) return false;
    // Half a level of 8 bits at any of these points would show.
    for (const double x : {0.02, 0.1, 0.25, 0.5, 0.75, 0.95}) {
      if (!Near(cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(x)), SrgbDecode(x), 0.001))
        return false;
    }
  }
  return true;
}

// A display profile made of three tone curves and a matrix (as cameras', Adobe RGB and Display P3
// are) into sRGB: byte to linear light through a table per channel, the two profiles' colorant
// matrices, and linear light to sRGB's curve through a fine table. Within a level of Little CMS's
// own 8-bit transform, and several times faster; other profiles take Little CMS.
class SrgbRowConverter::Shaper {
 public:
  static std::shared_ptr<const Shaper> Make(void* profile, void* srgb_profile) {
    if (!cmsIsMatrixShaper(profile)) return nullptr;
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                          cmsSigBlueColorantTag};
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    auto shaper = std::make_shared<Shaper>();
    double source[3][3];  // rows X, Y, Z; columns red, green, blue
    for (int c = 0; c < 3; ++c) {
      const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, colorants[c]));
      const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curves[c]));
      if (xyz == nullptr || curve == nullptr) return nullptr;
      source[0][c] = xyz->X;
      source[1][c] = xyz->Y;
      source[2][c] = xyz->Z;
      for (int v = 0; v < 256; ++v) {
        const double linear = cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v / 255.0));
        shaper->linear_[c][v] = static_cast<std::int32_t>(std::lround(std::clamp(linear, 0.0, 1.0) * kOne));
        shaper->linear16_[c][v] = static_cast<std::int16_t>(shaper->linear_[c][v]);  // at most kOne
      }
      // A black above zero would be moved by black point compensation: Little CMS does that.
      if (cmsEvalToneCurveFloat(curve, 0.0f) > 1e-6f) return nullptr;
    }
    // sRGB's D50-adapted colorants, as Little CMS's own sRGB profile holds them.
    double srgb[3][3];
    for (int c = 0; c < 3; ++c) {
      const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb_profile, colorants[c]));
      if (xyz == nullptr) return nullptr;
      srgb[0][c] = xyz->X;
      srgb[1][c] = xyz->Y;
      srgb[2][c] = xyz->Z;
    }
    double inverse[3][3];
    if (!Invert(srgb, inverse)) return nullptr;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (int k = 0; k < 3; ++k) sum += inverse[r][k] * source[k][c];
        // Within what a sum of three products of 1.14 fixed-point numbers holds.
        if (std::abs(sum) > 2.0) return nullptr;
        shaper->matrix_[r][c] = static_cast<std::int32_t>(std::lround(sum * kOne));
        if (std::abs(shaper->matrix_[r][c]) > 32767) shaper->narrow_matrix_ = false;
      }
    for (int i = 0; i <= kOne; ++i) {
      const double x = double(i) / kOne;
      const double encoded = x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
      shaper->encode_[i] = static_cast<uchar>(std::lround(std::clamp(encoded, 0.0, 1.0) * 255.0));
    }
    return shaper;
  }

  // Qt's ARGB32 words; alpha is left as it is. Thirty-two pixels at a time where the processor has
  // AVX-512 (BW), eight where it has AVX2, when the matrix fits their 16-bit multiplies; the same
  // sums every way, so the pixels are too.
  void Convert(uchar* row, int width) const {
    int done = 0;
#if defined(__x86_64__)
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    static const bool has_avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    if (has_avx512 && narrow_matrix_) done = ConvertThirtyTwos(row, width);
    if (has_avx2 && narrow_matrix_) done += ConvertEights(row + std::size_t(done) * 4, width - done);
#endif
    ConvertEach(row + std::size_t(done) * 4, width - done);
  }

  // The plain way, a pixel at a time. The matrix is held in locals and each pixel read and written
  // as one word, so the compiler keeps everything in registers.
  void ConvertEach(uchar* row, int width) const {
    const std::int32_t m00 = matrix_[0][0], m01 = matrix_[0][1], m02 = matrix_[0][2];
    const std::int32_t m10 = matrix_[1][0], m11 = matrix_[1][1], m12 = matrix_[1][2];
    const std::int32_t m20 = matrix_[2][0], m21 = matrix_[2][1], m22 = matrix_[2][2];
    const std::int32_t* red = linear_[0];
    const std::int32_t* green = linear_[1];
    const std::int32_t* blue = linear_[2];
    const uchar* encode = encode_;
    const auto to_byte = [encode](std::int32_t sum) {
      return std::uint32_t{encode[std::clamp((sum + kOne / 2) >> 14, 0, kOne)]};
    };
    auto* pixels = reinterpret_cast<std::uint32_t*>(row);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[x];
      const std::int32_t r = red[(p >> 16) & 0xFF], g = green[(p >> 8) & 0xFF], b = blue[p & 0xFF];
      pixels[x] = (p & 0xFF000000u) | to_byte(m00 * r + m01 * g + m02 * b) << 16 |
                  to_byte(m10 * r + m11 * g + m12 * b) << 8 | to_byte(m20 * r + m21 * g + m22 * b);
    }
  }

#if defined(__x86_64__)
  // Whole groups of eight pixels; returns how many pixels it did. Linear values (at most 1 << 14)
  // and matrix entries (under 2 in 1.14) both fit 16 bits, so one multiply-add of 16-bit pairs
  // gives red * m0 + green * m1 and another blue * m2 + 1 * the rounding half.
  __attribute__((target("avx2"))) int ConvertEights(uchar* row, int width) const {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi32(kOne);
    __m256i red_green[3], blue_half[3];
    for (int c = 0; c < 3; ++c) {
      red_green[c] = _mm256_set1_epi32(Pair(matrix_[c][0], matrix_[c][1]));
      blue_half[c] = _mm256_set1_epi32(Pair(matrix_[c][2], kOne / 2));
    }
    const auto* encode = reinterpret_cast<const int*>(encode_);
    const int eights = width / 8 * 8;
    for (int x = 0; x < eights; x += 8) {
      auto* at = reinterpret_cast<__m256i*>(row + std::size_t(x) * 4);
      const __m256i p = _mm256_loadu_si256(at);
      const __m256i r =
          _mm256_i32gather_epi32(linear_[0], _mm256_and_si256(_mm256_srli_epi32(p, 16), byte), 4);
      const __m256i g =
          _mm256_i32gather_epi32(linear_[1], _mm256_and_si256(_mm256_srli_epi32(p, 8), byte), 4);
      const __m256i b = _mm256_i32gather_epi32(linear_[2], _mm256_and_si256(p, byte), 4);
      // red | green << 16 and blue | 1 << 16: the pairs the multiply-adds take.
      const __m256i rg = _mm256_or_si256(r, _mm256_slli_epi32(g, 16));
      const __m256i b1 = _mm256_or_si256(b, _mm256_set1_epi32(1 << 16));
      __m256i out = _mm256_and_si256(p, alpha);
      for (int c = 0; c < 3; ++c) {
        const __m256i sum =
            _mm256_add_epi32(_mm256_madd_epi16(rg, red_green[c]), _mm256_madd_epi16(b1, blue_half[c]));
        const __m256i index = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(sum, 14), zero), one);
        // Four bytes from each entry (the table has three to spare at its end), the first one kept.
        const __m256i encoded = _mm256_and_si256(_mm256_i32gather_epi32(encode, index, 1), byte);
        out = _mm256_or_si256(out, _mm256_slli_epi32(encoded, 16 - 8 * c));
      }
      _mm256_storeu_si256(at, out);
    }
    return eights;
  }

  // GCC 12's AVX-512 intrinsics start from an "undefined" register it then warns about (fixed in
  // GCC 13).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
  // Whole groups of 32 pixels; returns how many pixels it did. As ConvertEights, except that the
  // linear values come from 16-bit copies of the tables held in registers, by permutes instead of
  // gathers: a permute of two registers looks up 64 entries, four of them and two selects all 256.
  __attribute__((target("avx512f,avx512bw"))) int ConvertThirtyTwos(uchar* row, int width) const {
    const __m512i byte = _mm512_set1_epi32(0xFF);
    const __m512i ones16 = _mm512_set1_epi16(1);
    Tables512 t;
    for (int c = 0; c < 3; ++c) {
      for (int q = 0; q < 8; ++q) t.linear[c][q] = _mm512_loadu_si512(&linear16_[c][q * 32]);
      t.red_green[c] = _mm512_set1_epi32(Pair(matrix_[c][0], matrix_[c][1]));
      t.blue_half[c] = _mm512_set1_epi32(Pair(matrix_[c][2], kOne / 2));
    }
    t.encode = reinterpret_cast<const int*>(encode_);
    const int groups = width / 32 * 32;
    for (int x = 0; x < groups; x += 32) {
      uchar* at = row + std::size_t(x) * 4;
      const __m512i a = _mm512_loadu_si512(at), b = _mm512_loadu_si512(at + 64);
      // Each channel of both halves as 16-bit lanes: the pack takes four pixels of a, then four of
      // b, in each 128-bit block, and the unpacks below part them again in the same order.
      const __m512i r =
          LookUp(t.linear[0], _mm512_packus_epi32(_mm512_and_si512(_mm512_srli_epi32(a, 16), byte),
                                                  _mm512_and_si512(_mm512_srli_epi32(b, 16), byte)));
      const __m512i g =
          LookUp(t.linear[1], _mm512_packus_epi32(_mm512_and_si512(_mm512_srli_epi32(a, 8), byte),
                                                  _mm512_and_si512(_mm512_srli_epi32(b, 8), byte)));
      const __m512i bl =
          LookUp(t.linear[2], _mm512_packus_epi32(_mm512_and_si512(a, byte), _mm512_and_si512(b, byte)));
      _mm512_storeu_si512(at, Encode(t, a, _mm512_unpacklo_epi16(r, g), _mm512_unpacklo_epi16(bl, ones16)));
      _mm512_storeu_si512(at + 64,
                          Encode(t, b, _mm512_unpackhi_epi16(r, g), _mm512_unpackhi_epi16(bl, ones16)));
    }
    return groups;
  }

  struct Tables512 {
    __m512i linear[3][8];  // 32 16-bit entries each
    __m512i red_green[3], blue_half[3];
    const int* encode;
  };

  // table[index] for 16-bit lanes of 0..255.
  __attribute__((target("avx512f,avx512bw"))) static __m512i LookUp(const __m512i (&table)[8],
                                                                    __m512i index) {
    const __mmask32 high6 = _mm512_test_epi16_mask(index, _mm512_set1_epi16(64));
    const __mmask32 high7 = _mm512_test_epi16_mask(index, _mm512_set1_epi16(128));
    const __m512i q0 = _mm512_permutex2var_epi16(table[0], index, table[1]);
    const __m512i q1 = _mm512_permutex2var_epi16(table[2], index, table[3]);
    const __m512i q2 = _mm512_permutex2var_epi16(table[4], index, table[5]);
    const __m512i q3 = _mm512_permutex2var_epi16(table[6], index, table[7]);
    return _mm512_mask_blend_epi16(high7, _mm512_mask_blend_epi16(high6, q0, q1),
                                   _mm512_mask_blend_epi16(high6, q2, q3));
  }

  // Sixteen pixels p from their linear red | green << 16 and blue | 1 << 16, as ConvertEights.
  __attribute__((target("avx512f,avx512bw"))) static __m512i Encode(const Tables512& t, __m512i p, __m512i rg,
                                                                    __m512i b1) {
    const __m512i byte = _mm512_set1_epi32(0xFF);
    __m512i out = _mm512_and_si512(p, _mm512_set1_epi32(static_cast<int>(0xFF000000u)));
    for (int c = 0; c < 3; ++c) {
      const __m512i sum =
          _mm512_add_epi32(_mm512_madd_epi16(rg, t.red_green[c]), _mm512_madd_epi16(b1, t.blue_half[c]));
      const __m512i index = _mm512_min_epi32(
          _mm512_max_epi32(_mm512_srai_epi32(sum, 14), _mm512_setzero_si512()), _mm512_set1_epi32(kOne));
      const __m512i encoded = _mm512_and_si512(_mm512_i32gather_epi32(index, t.encode, 1), byte);
      out = _mm512_or_si512(out, _mm512_slli_epi32(encoded, 16 - 8 * c));
    }
    return out;
  }

#pragma GCC diagnostic pop

  // Two 16-bit values as one 32-bit lane, low first.
  static int Pair(std::int32_t low, std::int32_t high) {
    return static_cast<int>((static_cast<std::uint32_t>(low) & 0xFFFFu) | static_cast<std::uint32_t>(high)
                                                                              << 16);
  }
#endif

 private:
  // Linear light and the matrix in 1.14 fixed point, as Little CMS's own 8-bit matrix-shaper path.
  static constexpr int kOne = 1 << 14;

  static bool Invert(const double m[3][3], double out[3][3]) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (std::abs(det) < 1e-12) return false;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        // The cofactor of (c, r), over the determinant.
        const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
        out[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
      }
    return true;
  }

  std::int32_t linear_[3][256] = {};
  std::int16_t linear16_[3][256] = {};  // the same, for ConvertThirtyTwos
  std::int32_t matrix_[3][3] = {};
  bool narrow_matrix_ = true;  // every entry within 16 bits
  uchar encode_[kOne + 1 + 3] = {};
};

QString ConvertToSrgb(QImage& image, QByteArrayView icc_profile) {
  const Profile source = OpenProfile(icc_profile);
  if (!source) return QStringLiteral("its colour profile is damaged; the colours are read as sRGB");
  if (cmsGetColorSpace(source.get()) != cmsSigRgbData)
    return QStringLiteral("its colour profile is not for RGB pictures; the colours are read as sRGB");
  if (image.format() != QImage::Format_ARGB32_Premultiplied) {
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
      image.convertTo(QImage::Format_ARGB32);
    // Straight colours: the row converter, the same a streaming decoder uses.
    const std::unique_ptr<SrgbRowConverter> converter = SrgbRowConverter::Make(icc_profile);
    if (!converter) return QStringLiteral("its colour profile cannot be used; the colours are read as sRGB");
    const int width = image.width();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    ParallelRows(image.height(), width, [&](int first, int end) {
      for (int y = first; y < end; ++y) converter->Convert(bits + y * stride, width);
    });
    return QString();
  }
  const Profile target(cmsCreate_sRGBProfile());
  const cmsUInt32Number format = TYPE_BGRA_8_PREMUL;
  // One transform shared by the threads: without the one-pixel cache it keeps no state per call.
  const std::unique_ptr<void, TransformDeleter> transform(
      cmsCreateTransform(source.get(), format, target.get(), format, INTENT_RELATIVE_COLORIMETRIC,
                         cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE));
  if (!transform) return QStringLiteral("its colour profile cannot be used; the colours are read as sRGB");
  const int width = image.width();
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  ParallelRows(image.height(), width, [&](int first, int end) {
    for (int y = first; y < end; ++y) {
      uchar* row = bits + y * stride;
      cmsDoTransform(transform.get(), row, row, static_cast<cmsUInt32Number>(width));
    }
  });
  return QString();
}

std::unique_ptr<SrgbRowConverter> SrgbRowConverter::Make(QByteArrayView icc_profile) {
  static std::mutex mutex;
  static QByteArray last_profile;
  static std::shared_ptr<const SrgbRowConverter> last;
  {
    const std::lock_guard lock(mutex);
    if (last && icc_profile == last_profile) return std::make_unique<SrgbRowConverter>(*last);
  }
  const Profile source = OpenProfile(icc_profile);
  if (!source || cmsGetColorSpace(source.get()) != cmsSigRgbData) return nullptr;
  const Profile target(cmsCreate_sRGBProfile());
  auto converter = std::make_shared<SrgbRowConverter>();
  converter->shaper_ = Shaper::Make(source.get(), target.get());
  if (!converter->shaper_) {
    // As ConvertToSrgb makes it for RGB32 pictures, so both give the same pixels.
    cmsHTRANSFORM made =
        cmsCreateTransform(source.get(), TYPE_BGRA_8, target.get(), TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC,
                           cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE);
    if (made == nullptr) return nullptr;
    converter->transform_ = std::shared_ptr<void>(made, TransformDeleter());
  }
  {
    const std::lock_guard lock(mutex);
    last_profile = icc_profile.toByteArray();
    last = converter;
  }
  return std::make_unique<SrgbRowConverter>(*converter);
}

void SrgbRowConverter::Convert(uchar* row, int width) const {
  if (shaper_) {
    shaper_->Convert(row, width);
  } else {
    cmsDoTransform(transform_.get(), row, row, static_cast<cmsUInt32Number>(width));
  }
}

namespace {

// The transform from a CMYK profile into sRGB, or null with the reason in *problem. The last one
// made is kept: a folder of CMYK photos mostly shares one profile (the standard one, when they
// carry none), and reading and preparing a press profile costs tens of milliseconds a photo.
std::shared_ptr<void> CmykTransform(QByteArrayView icc_profile, bool inverted, QString* problem) {
  static std::mutex mutex;
  static QByteArray last_profile;
  static bool last_inverted = false;
  static std::shared_ptr<void> last;
  {
    const std::lock_guard lock(mutex);
    if (last && last_inverted == inverted && icc_profile == last_profile) return last;
  }
  const Profile source = OpenProfile(icc_profile);
  if (!source) {
    *problem = QStringLiteral("its colour profile is damaged; the colours are read without it");
    return nullptr;
  }
  if (cmsGetColorSpace(source.get()) != cmsSigCmykData) {
    *problem = QStringLiteral("its colour profile is not for CMYK pictures; the colours are read without it");
    return nullptr;
  }
  const Profile target(cmsCreate_sRGBProfile());
  // Without the one-pixel cache a transform may run on several threads at once.
  cmsHTRANSFORM made =
      cmsCreateTransform(source.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, target.get(), TYPE_BGRA_8,
                         INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE);
  if (made == nullptr) {
    *problem = QStringLiteral("its colour profile cannot be used; the colours are read without it");
    return nullptr;
  }
  std::shared_ptr<void> transform(made, TransformDeleter());
  const std::lock_guard lock(mutex);
  last_profile = icc_profile.toByteArray();
  last_inverted = inverted;
  last = transform;
  return transform;
}

}  // namespace

QImage CmykToSrgb(const QByteArray& cmyk, int width, int height, bool inverted, QByteArrayView icc_profile,
                  QString* problem) {
  const std::shared_ptr<void> transform = CmykTransform(icc_profile, inverted, problem);
  if (!transform) return QImage();
  if (cmyk.size() < qsizetype{width} * height * 4) {
    *problem = QStringLiteral("its colour profile cannot be used; the colours are read without it");
    return QImage();
  }
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(0xFF000000u);  // the transform leaves the fourth byte, which RGB32 wants opaque
  const auto* ink = reinterpret_cast<const uchar*>(cmyk.constData());
  ParallelRows(height, width, [&](int first, int end) {
    for (int y = first; y < end; ++y)
      cmsDoTransform(transform.get(), ink + qsizetype{y} * width * 4, image.scanLine(y),
                     static_cast<cmsUInt32Number>(width));
  });
  return image;
}

QByteArrayView StandardCmykProfile() {
  static const QByteArray bytes = [] {
    const QString path = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
    // A few hundred kilobytes as shipped; anything far larger, or not a plain file, is not it.
    constexpr qint64 kMaxBytes = qint64{4} << 20;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0 || info.size() > kMaxBytes) return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    QByteArray data = file.read(kMaxBytes + 1);
    return data.size() <= kMaxBytes ? data : QByteArray();
  }();
  return bytes;
}

const QByteArray& SrgbProfile() {
  static const QByteArray bytes = [] {
    Silence();
    const Profile profile(cmsCreate_sRGBProfile());
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size)) return QByteArray();
    QByteArray data(static_cast<qsizetype>(size), '\0');
    if (!cmsSaveProfileToMem(profile.get(), data.data(), &size) || data.size() < 36) return QByteArray();
    // Little CMS stamps the profile with the time it was made: a fixed date instead (2000-01-01),
    // so the same picture always gives the same file.
    static constexpr char kDate[12] = {0x07, char(0xD0), 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    std::copy(kDate, kDate + 12, data.begin() + 24);
    return data;
  }();
  return bytes;
}
