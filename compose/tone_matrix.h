// The 5 x 5 colour matrix of the tone adjustments (contrast, brightness, saturation).
#pragma once

#include <array>

// Row-vector convention: (R, G, B, A, 1) of unpremultiplied components 0..1 times the matrix;
// m[row * 5 + column]. Identity until the tone knobs move.
struct ToneMatrix {
  std::array<float, 25> m{1, 0, 0, 0, 0,  //
                          0, 1, 0, 0, 0,  //
                          0, 0, 1, 0, 0,  //
                          0, 0, 0, 1, 0,  //
                          0, 0, 0, 0, 1};

  static ToneMatrix Identity() { return {}; }
  bool IsIdentity() const { return *this == ToneMatrix{}; }
  float& At(int row, int column) { return m[row * 5 + column]; }
  float At(int row, int column) const { return m[row * 5 + column]; }
  bool operator==(const ToneMatrix&) const = default;
};
