// Colour management through Little CMS 2: pictures in an embedded profile turned into sRGB, the
// profiles made from a file's primaries and tone curve, and the sRGB profile outputs carry.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <memory>

// The chromaticities of a set of RGB primaries and its white point (CIE xy).
struct RgbPrimaries {
  double red_x = 0.64, red_y = 0.33, green_x = 0.30, green_y = 0.60, blue_x = 0.15, blue_y = 0.06;
  double white_x = 0.3127, white_y = 0.3290;
};

enum class ToneCurve { Srgb, Bt709, Linear, Gamma22, Gamma28 };

// True when the primaries are sRGB's (BT.709's, within the rounding of 16-bit file values).
bool IsSrgbPrimaries(const RgbPrimaries& primaries);

// An RGB display profile with those primaries and tone curve; empty when Little CMS cannot make it.
QByteArray MakeRgbProfile(const RgbPrimaries& primaries, ToneCurve curve);

// Turns image (Format_RGB32, Format_ARGB32 or Format_ARGB32_Premultiplied; alpha kept) from the
// colours of the ICC profile into sRGB, relative colorimetric with black point compensation, on all
// cores. A profile that Little CMS refuses, or one of another colour model (grey, CMYK, Lab), leaves
// the pixels as they are and returns the one-line reason; empty on success. RGB profiles only.
QString ConvertToSrgb(QImage& image, QByteArrayView icc_profile);

// The conversion of Format_RGB32 rows from an RGB profile into sRGB, made once and used from any
// thread: the same pixels as ConvertToSrgb gives, a row at a time, for a decoder that converts rows
// as they come. The last one made is kept, so a run of photos with one profile makes it once.
class SrgbRowConverter {
 public:
  // Null when ConvertToSrgb would refuse the profile (it then says why).
  static std::unique_ptr<SrgbRowConverter> Make(QByteArrayView icc_profile);
  void Convert(uchar* row, int width) const;

  class Shaper;  // the fast way for profiles of tone curves and a matrix

 private:
  std::shared_ptr<const Shaper> shaper_;
  std::shared_ptr<void> transform_;  // Little CMS's, for every other profile
};

// CMYK ink values (C, M, Y, K bytes, rows of width * 4 bytes; inverted: 255 is no ink, as Adobe's
// files store them) into a new Format_RGB32 image in sRGB through the CMYK profile, relative
// colorimetric with black point compensation. A null image, and the one-line reason in *problem,
// when Little CMS refuses the profile or it is not a CMYK one.
QImage CmykToSrgb(const QByteArray& cmyk, int width, int height, bool inverted, QByteArrayView icc_profile,
                  QString* problem);

// The standard CMYK profile a CMYK photo without a profile of its own is read through: Ghostscript's
// default CMYK profile (SWOP-like press conditions, Debian's libgs-common), read once. Empty when it
// is not installed or not a plain file of sensible size; the photo then takes Qt's plain
// conversion.
QByteArrayView StandardCmykProfile();

// The sRGB profile the outputs carry (made once, Little CMS's own sRGB).
const QByteArray& SrgbProfile();

// True when the profile describes sRGB itself (its colorant and tone curves are sRGB's): such
// pictures need no conversion and cost nothing.
bool IsSrgbProfile(QByteArrayView icc_profile);
