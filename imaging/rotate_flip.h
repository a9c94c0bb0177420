// The eight rotate-flip operations: none or quarter turns clockwise, each optionally followed by a
// horizontal mirror.
#pragma once

// The numbers are the ones the geometric-edit history and the orientation arithmetic use.
enum class RotateFlipType : int {
  None = 0,
  Turn90 = 1,  // a quarter turn clockwise
  Turn180 = 2,
  Turn270 = 3,        // a quarter turn counter-clockwise
  Mirror = 4,         // horizontal mirror
  Turn90Mirror = 5,   // transposes
  Turn180Mirror = 6,  // flips vertically
  Turn270Mirror = 7,  // transverses
};

// True when the operation swaps width and height (the odd ones).
inline bool SwapsAxes(RotateFlipType type) { return (static_cast<int>(type) & 1) != 0; }

// The operation that turns a picture stored with EXIF orientation 1..8 upright; None for any other
// value.
RotateFlipType RotateFlipForOrientation(int orientation);
