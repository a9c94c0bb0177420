// The tone knobs of the "Adjust" page: their drag rule, the contrast, brightness and saturation
// their positions stand for, the colour matrix those values make, and the way back to positions.
#pragma once

#include <optional>

#include "compose/tone_matrix.h"

// The left edges of the knobs B1 (contrast), B2 (brightness) and B3 (saturation) in their 105-pixel
// panel; a drag keeps each within 1..79, and 42 is where they start.
struct ToneKnobPositions {
  int contrast = 42;
  int brightness = 42;
  int saturation = 42;
  bool operator==(const ToneKnobPositions&) const = default;
};

// Contrast, brightness and saturation as the edit state stores them.
struct ToneValues {
  float contrast = 1.0f;
  float brightness = 0.0f;
  float saturation = 1.0f;
  bool operator==(const ToneValues&) const = default;
};

inline constexpr int kToneKnobPanelWidth = 105;
inline constexpr int kToneKnobStart = 42;
inline constexpr int kToneKnobMin = 1;
inline constexpr int kToneKnobMax = 79;

// Where a knob at position goes when the pointer, pressed at drag_start inside it, is at x: the
// position plus the travel, or nullopt (stay) when the pointer has not moved or the knob would
// leave 1..79.
std::optional<int> KnobDragTarget(int position, int x, int drag_start);

// The values the positions stand for, in single precision: one pixel of travel is
// 40 / 85 x 0.05 = 0.023529; 42 gives c = s = 0.988235, b = -0.011765.
ToneValues ReadToneKnobs(ToneKnobPositions positions);

// The knob positions that give back those values: (105 - 20) x c x 0.5, (105 - 20) x (1 + b) x 0.5
// and (105 - 20) x s x 0.49999999254941950, rounded to the nearest pixel and kept within 1..79
// (NaN goes to the start position), so every position read by ReadToneKnobs comes back unchanged.
ToneKnobPositions KnobPositionsForTone(float contrast, float brightness, float saturation);

// The colour matrix S x L x K of saturation s, brightness b (added in proportion to alpha) and
// contrast c: R' = c (s R + (1 - s) Y + b A) with Y = 0.3086 R + 0.6094 G + 0.0820 B, and A' = A.
ToneMatrix BuildToneMatrix(float contrast, float brightness, float saturation);
