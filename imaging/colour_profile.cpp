// Colour conversion into sRGB through Little CMS 2.
#include "imaging/colour_profile.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
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

QString ConvertToSrgb(QImage& image, QByteArrayView icc_profile) {
  const Profile source = OpenProfile(icc_profile);
  if (!source) return QStringLiteral("its colour profile is damaged; the colours are read as sRGB");
  if (cmsGetColorSpace(source.get()) != cmsSigRgbData)
    return QStringLiteral("its colour profile is not for RGB pictures; the colours are read as sRGB");
  const Profile target(cmsCreate_sRGBProfile());
  cmsUInt32Number format = TYPE_BGRA_8;
  if (image.format() == QImage::Format_ARGB32_Premultiplied)
    format = TYPE_BGRA_8_PREMUL;
  else if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
    image.convertTo(QImage::Format_ARGB32);
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
  static std::shared_ptr<void> last_transform;
  {
    const std::lock_guard lock(mutex);
    if (last_transform && icc_profile == last_profile)
      return std::unique_ptr<SrgbRowConverter>(new SrgbRowConverter(last_transform));
  }
  const Profile source = OpenProfile(icc_profile);
  if (!source || cmsGetColorSpace(source.get()) != cmsSigRgbData) return nullptr;
  const Profile target(cmsCreate_sRGBProfile());
  // As ConvertToSrgb makes it for RGB32 pictures, so both give the same pixels.
  cmsHTRANSFORM made =
      cmsCreateTransform(source.get(), TYPE_BGRA_8, target.get(), TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC,
                         cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE);
  if (made == nullptr) return nullptr;
  std::shared_ptr<void> transform(made, TransformDeleter());
  {
    const std::lock_guard lock(mutex);
    last_profile = icc_profile.toByteArray();
    last_transform = transform;
  }
  return std::unique_ptr<SrgbRowConverter>(new SrgbRowConverter(std::move(transform)));
}

void SrgbRowConverter::Convert(uchar* row, int width) const {
  cmsDoTransform(transform_.get(), row, row, static_cast<cmsUInt32Number>(width));
}

QImage CmykToSrgb(const QByteArray& cmyk, int width, int height, bool inverted, QByteArrayView icc_profile,
                  QString* problem) {
  const Profile source = OpenProfile(icc_profile);
  if (!source) {
    *problem = QStringLiteral("its colour profile is damaged; the colours are read without it");
    return QImage();
  }
  if (cmsGetColorSpace(source.get()) != cmsSigCmykData) {
    *problem = QStringLiteral("its colour profile is not for CMYK pictures; the colours are read without it");
    return QImage();
  }
  const Profile target(cmsCreate_sRGBProfile());
  const std::unique_ptr<void, TransformDeleter> transform(
      cmsCreateTransform(source.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, target.get(), TYPE_BGRA_8,
                         INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE));
  if (!transform || cmyk.size() < qsizetype{width} * height * 4) {
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
