// Parsing of the tone options.
#include "app/render_options.h"

#include <QStringList>
#include <cmath>
#include <optional>

#include "base/strict_int.h"

namespace {

constexpr const char* kTone = "--tone";
constexpr const char* kKnobs = "--knobs";

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
      const std::optional<qint64> knob = ParseInteger(parts[i].trimmed(), kToneKnobMin, kToneKnobMax);
      if (!knob) return fail();
      p[i] = static_cast<int>(*knob);
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
