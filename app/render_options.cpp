// Parsing of the tone and caption look options.
#include "app/render_options.h"

#include <QStringList>
#include <cmath>

namespace {

constexpr const char* kTone = "--tone";
constexpr const char* kKnobs = "--knobs";
constexpr const char* kCaptionStyle = "--caption-style";
constexpr const char* kCaptionColour = "--caption-colour";
constexpr const char* kCaptionShadow = "--caption-shadow";
constexpr const char* kCaptionOpacity = "--caption-opacity";

// count whole numbers 0..255 separated by commas; nullopt for anything else.
std::optional<QList<int>> Bytes(const QString& text, int count) {
  const QStringList parts = text.split(u',');
  if (parts.size() != count) return std::nullopt;
  QList<int> bytes;
  for (const QString& part : parts) {
    bool ok = false;
    const int n = part.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > 255) return std::nullopt;
    bytes << n;
  }
  return bytes;
}

}  // namespace

bool IsToneOption(const QString& option) {
  return option == QLatin1String(kTone) || option == QLatin1String(kKnobs);
}

std::optional<ToneValues> ParseToneOption(const QString& option, const QString& value, QString* error) {
  const QStringList parts = value.split(u',');
  const bool knobs = option == QLatin1String(kKnobs);
  const auto fail = [&] {
    *error = knobs ? QStringLiteral("--knobs needs three whole knob positions from %1 to %2, as C,B,H")
                         .arg(kToneKnobMin)
                         .arg(kToneKnobMax)
                   : QStringLiteral(
                         "--tone needs contrast 0..10, brightness -10..10 and saturation 0..10, as C,B,S");
    return std::nullopt;
  };
  if (parts.size() != 3) return fail();
  if (knobs) {
    int p[3];
    for (int i = 0; i < 3; ++i) {
      bool ok = false;
      p[i] = parts[i].trimmed().toInt(&ok);
      if (!ok || p[i] < kToneKnobMin || p[i] > kToneKnobMax) return fail();
    }
    return ReadToneKnobs({p[0], p[1], p[2]});
  }
  float v[3];
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    v[i] = parts[i].trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(v[i])) return fail();
  }
  const float low_brightness = -kToneOptionMax;
  if (v[0] < 0 || v[0] > kToneOptionMax || v[1] < low_brightness || v[1] > kToneOptionMax || v[2] < 0 ||
      v[2] > kToneOptionMax)
    return fail();
  return ToneValues{v[0], v[1], v[2]};
}

bool IsCaptionLookOption(const QString& option) {
  for (const char* name : {kCaptionStyle, kCaptionColour, kCaptionShadow, kCaptionOpacity})
    if (option == QLatin1String(name)) return true;
  return false;
}

bool ApplyCaptionLookOption(const QString& option, const QString& value, CaptionSettings& caption,
                            QString* error) {
  if (option == QLatin1String(kCaptionStyle)) {
    const std::pair<const char*, CaptionStyle> styles[] = {{"regular", CaptionStyle::Regular},
                                                           {"bold", CaptionStyle::Bold},
                                                           {"italic", CaptionStyle::Italic},
                                                           {"bold-italic", CaptionStyle::BoldItalic}};
    for (const auto& [name, style] : styles) {
      if (value.trimmed() == QLatin1String(name)) {
        caption.style = style;
        return true;
      }
    }
    *error = QStringLiteral("--caption-style needs regular, bold, italic or bold-italic");
    return false;
  }
  if (option == QLatin1String(kCaptionOpacity)) {
    const std::optional<QList<int>> n = Bytes(value, 2);
    if (!n) {
      *error = QStringLiteral(
          "--caption-opacity needs the face's and the shadow's opacity, 0..255 each, as "
          "FACE,SHADOW");
      return false;
    }
    caption.face_opacity = (*n)[0];
    caption.shadow_opacity = (*n)[1];
    return true;
  }
  const bool face = option == QLatin1String(kCaptionColour);
  const std::optional<QList<int>> rgb = Bytes(value, 3);
  if (!rgb) {
    *error = QStringLiteral("%1 needs red, green and blue, 0..255 each, as RRR,GGG,BBB")
                 .arg(QLatin1String(face ? kCaptionColour : kCaptionShadow));
    return false;
  }
  // A colour word 0x00BBGGRR, as the caption's colour boxes store it.
  const std::int32_t word = (*rgb)[0] | (*rgb)[1] << 8 | (*rgb)[2] << 16;
  (face ? caption.face_colour : caption.shadow_colour) = word;
  return true;
}
