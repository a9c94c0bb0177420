// Tone knob arithmetic and the tone matrix.
#include "edit/tone_knobs.h"

#include <algorithm>
#include <cmath>

namespace {

// Knob pixels per unit of the values, as single-precision floats: the panel's track less the knob.
constexpr float kTravel = static_cast<float>(kToneKnobPanelWidth - 20);

// The product a x b of two 5 x 5 matrices over columns 0..3; column 4 stays (0, 0, 0, 0, 1).
ToneMatrix Times(const ToneMatrix& a, const ToneMatrix& b) {
  ToneMatrix r;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 5; ++k) sum += a.At(i, k) * b.At(k, j);
      r.At(i, j) = sum;
    }
  }
  return r;
}

float KnobUnits(int position) {
  // Each step rounds to single precision, as the values are stored.
  const float scaled = static_cast<float>(position) * 40.0f;
  return scaled / kTravel;
}

int NearestKnob(double position) {
  if (std::isnan(position)) return kToneKnobStart;
  return static_cast<int>(std::lround(std::clamp(position, double{kToneKnobMin}, double{kToneKnobMax})));
}

}  // namespace

std::optional<int> KnobDragTarget(int position, int x, int drag_start) {
  if (x == drag_start) return std::nullopt;
  // 64-bit so that no pointer position can overflow the sum.
  const long long target = static_cast<long long>(position) + x - drag_start;
  if (target <= 0 || target >= 80) return std::nullopt;
  return static_cast<int>(target);
}

ToneValues ReadToneKnobs(ToneKnobPositions positions) {
  ToneValues v;
  v.saturation = KnobUnits(positions.saturation) * 0.05f;
  v.brightness = (KnobUnits(positions.brightness) - 20.0f) * 0.05f;
  v.contrast = KnobUnits(positions.contrast) * 0.05f;
  return v;
}

ToneKnobPositions KnobPositionsForTone(float contrast, float brightness, float saturation) {
  // Truncating these products, as a plain inverse would, loses a pixel for most positions (0.988235
  // x 85 x 0.5 is 41.99999): reopening the same values would creep the knobs left each time.
  const double travel = kTravel;
  return {NearestKnob(travel * contrast * 0.5), NearestKnob(travel * (1.0 + brightness) * 0.5),
          NearestKnob(travel * saturation * 0.49999999254941950)};
}

ToneMatrix BuildToneMatrix(float contrast, float brightness, float saturation) {
  ToneMatrix m;
  ToneMatrix k;
  k.At(0, 0) = k.At(1, 1) = k.At(2, 2) = contrast;
  m = Times(k, m);
  ToneMatrix l;
  l.At(3, 0) = l.At(3, 1) = l.At(3, 2) = brightness;
  m = Times(l, m);
  const float rest = 1.0f - saturation;
  const float weights[3] = {0.3086f, 0.6094f, 0.0820f};
  ToneMatrix s;
  s.m.fill(0.0f);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      s.At(row, column) = weights[row] * rest + (row == column ? saturation : 0.0f);
  s.At(3, 3) = 1.0f;
  return Times(s, m);
}
